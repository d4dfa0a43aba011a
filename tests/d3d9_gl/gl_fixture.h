// A device on the drawing backend in a 64 x 48 SDL window (offscreen driver), helpers to
// draw screen-space quads through the fixed-function stages, and the read-back, kept as
// a PNG named after the test.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "win32/window_seams.h"

namespace d3d9::testing {

struct ColourVertex {
    float x, y, z;
    D3DCOLOR colour;
};
constexpr DWORD kColourFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct TexturedVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class GlDeviceTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    // Clip-space x and y of a point in back-buffer pixels (Direct3D's screen: y down).
    static float clipX(float x) { return x / kWidth * 2.0f - 1.0f; }
    static float clipY(float y) { return 1.0f - y / kHeight * 2.0f; }

    // A quad between screen points, clockwise on screen, positions passed through as clip
    // coordinates (no vertex shader).
    void drawQuad(float left, float top, float right, float bottom, D3DCOLOR colour,
                  float z = 0.5f);
    void drawTexturedQuad(float left, float top, float right, float bottom,
                          D3DCOLOR colour = 0xFFFFFFFF, float z = 0.5f);
    // Stage 0 passes the vertex colour through.
    void useDiffuse();
    IDirect3DTexture9* makeTexture(UINT width, UINT height, D3DFORMAT format,
                                   const std::vector<DWORD>& texels, UINT levels = 1);

    // Ends the scene, reads the back buffer and keeps it as <test name>.png.
    BackBufferImage picture();
    DrawingStats stats();

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS parameters{};
    bool inScene = false;
};

}  // namespace d3d9::testing
