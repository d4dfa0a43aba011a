// An immediate-mode overlay for development views: spheres, boxes and lines of text queued
// by any part of the system during a frame and drawn over the scene at its end. The frame
// empties the queues at its start.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/render/camera_view.h"
#include "engine/render/debug/debug_queue.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/gui/font.h"
#include "win32/com_ptr.h"

namespace kesh {

// Flags of spheres and boxes.
enum DebugShapeFlags : std::uint32_t {
    DebugWireframe = 1,  // else solid
    DebugDepth = 2,      // depth test and writes, else neither
    DebugCull = 4,       // clockwise culling, else none
};

class DebugRenderer {
public:
    struct Sphere {
        D3DXVECTOR3 centre;
        float radius;
        std::uint32_t color;
        std::uint32_t flags;
    };
    struct Box {
        D3DXMATRIX world;  // places the unit box
        std::uint32_t color;
        std::uint32_t flags;
    };
    struct ScreenText {
        std::wstring text;
        std::uint32_t color;
    };
    struct WorldText {
        std::wstring text;
        std::uint32_t color;
        D3DXVECTOR3 position;
    };

    // The effect is fetched from the effect cache by name at every draw. A mesh that
    // cannot be made leaves its shapes undrawn. Throws when the font cannot be made.
    DebugRenderer(DxDevice* device, const std::string& effectName);
    DebugRenderer(const DebugRenderer&) = delete;
    DebugRenderer& operator=(const DebugRenderer&) = delete;

    void addSphere(const D3DXVECTOR3* centre, float radius, std::uint32_t color,
                   std::uint32_t flags);
    void addBox(const D3DXMATRIX* world, std::uint32_t color, std::uint32_t flags);
    void addScreenText(const std::wstring& text, std::uint32_t color);
    // The same for narrow text, widened unit by unit as toWide does, without a wide copy
    // of its own: the screen log hands every line over this way.
    void addScreenText(const std::string& text, std::uint32_t color);
    void addWorldText(const std::wstring& text, const D3DXVECTOR3* position, std::uint32_t color);
    void clear();

    // Draws everything queued, shapes first, then the text column from (3, textTop), then
    // the world labels; the queues are kept. Throws when the effect cannot be fetched or run.
    void draw(const CameraView& camera, LONG textTop = 3);

    const DebugQueue<Sphere>& spheres() const { return sphereQueue; }
    const DebugQueue<Box>& boxes() const { return boxQueue; }
    const DebugQueue<ScreenText>& screenTexts() const { return screenQueue; }
    const DebugQueue<WorldText>& worldTexts() const { return worldQueue; }

private:
    void setShapeParameters(ID3DXEffect* effect, const D3DXMATRIX& world, const CameraView& camera,
                            std::uint32_t color, std::uint32_t flags);
    void drawShapes(ID3DXEffect* effect, const CameraView& camera);
    void drawScreenTexts(LONG top);
    void drawWorldTexts(const CameraView& camera);
    void drawShadowed(const std::wstring& text, RECT rect, std::uint32_t color, DWORD format);

    DxDevice* device;
    std::string effectName;
    win32::ComPtr<ID3DXMesh> sphereMesh;
    win32::ComPtr<ID3DXMesh> boxMesh;
    std::unique_ptr<Font> font;  // after the meshes, so that it is destroyed first
    DebugQueue<Sphere> sphereQueue;
    DebugQueue<Box> boxQueue;
    DebugQueue<ScreenText> screenQueue;
    DebugQueue<WorldText> worldQueue;
};

// The process-wide debug renderer, published by the game object; null outside its lifetime.
extern DebugRenderer* theDebugRenderer;

}  // namespace kesh
