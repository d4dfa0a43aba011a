// The drawing backend (OpenGL 3.3 core in the window layer's SDL windows): how the program
// picks it, and what tests can observe of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <d3d9.h>

namespace d3d9 {

enum class BackendKind { Null, Gl };

struct BackendChoice {
    BackendKind kind = BackendKind::Null;
    // Why OpenGL cannot be used; empty when it can.
    std::string reason;
};

// Devices created afterwards draw through OpenGL when a 3.3 core context can be made (a
// display, or SDL's offscreen driver with Mesa), else they use the null backend and the
// choice says why. Call before the windows are made: they must be able to carry a context.
BackendChoice chooseBackend();

// The backend for devices created afterwards, whatever is available (tests).
void useBackend(BackendKind kind);

// Pixels of a back buffer, row 0 at the top, 4 bytes each in R, G, B, A order.
struct BackBufferImage {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> rgba;

    // The pixel as 0xAARRGGBB.
    D3DCOLOR pixel(UINT x, UINT y) const;
};

// The back buffer as drawn since the last Present; false for a device that does not draw.
bool readBackBuffer(IDirect3DDevice9* device, BackBufferImage& image);
bool writePng(const BackBufferImage& image, const std::string& path);

struct DrawingStats {
    std::uint64_t stateCalls = 0;         // GL calls that changed pipeline state
    std::uint64_t shadersTranslated = 0;  // SPIR-V or fixed-function stages made into GL shaders
    std::uint64_t programsLinked = 0;
    std::uint64_t drawsSkipped = 0;  // draws whose shaders could not be built
    std::string lastError;           // the GL compiler's or linker's last complaint
};

// False for a device that does not draw.
bool drawingStats(IDirect3DDevice9* device, DrawingStats& stats);

}  // namespace d3d9
