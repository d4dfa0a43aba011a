// The queue through which all 2D drawing goes: textured rectangles and text boxes in
// client-area pixels, filled during a frame and flushed in one go, back to front by layer.
// Rectangles are drawn one quad at a time with the owner's effect; texts through their Font.
// Per frame: clear, any number of adds, flush (inside the device's scene).
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/device/dx_device.h"
#include "engine/render/device/listener_registration.h"
#include "engine/render/gui/font.h"
#include "engine/render/gui/sprite_frame.h"
#include "engine/render/quad/particle_quad_renderer.h"
#include "engine/render/quad/quad_vertices.h"

namespace kesh {

struct SpriteItem {
    enum Kind : std::uint32_t { Sprite = 0, Text = 1 };

    std::uint32_t kind = Sprite;
    std::uint32_t layer = 0;                    // smaller layers are drawn first, further back
    int x = 0;                                  // left edge; for a text, its DT_* format flags
    int y = 0;                                  // top edge; 0 for a text
    SpriteFrame frame;                          // the default frame for a text
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // the sprite's tint or the text's colour
    std::wstring text;
    int rect[4] = {0, 0, 0, 0};  // left, top, right, bottom of a text's box
    Font* font = nullptr;        // not owned
};

class SpriteBatch {
public:
    static constexpr UINT kQuadCapacity = 128;

    // The effect is fetched from the effect cache by name at every flush. Throws when the
    // quad renderer's buffers cannot be made on a live device.
    SpriteBatch(DxDevice* device, std::string effectName);
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    void clear();
    void addSprite(int x, int y, std::uint32_t layer, const SpriteFrame& frame);
    void addTintedSprite(int x, int y, std::uint32_t layer, const SpriteFrame& frame,
                         const float color[4]);
    // A null font queues a text that is not drawn.
    void addText(const int rect[4], std::uint32_t layer, const std::wstring& text, Font* font,
                 const float color[4], std::uint32_t format);

    // Draws the queue in order and keeps it; items of one layer are drawn in the order they
    // were queued. Leaves "tex_0" null. Throws when the effect cannot be fetched or run or
    // the vertex buffer cannot be locked.
    void flush();

    // Sorted by layer; within a layer in the order queued.
    const std::vector<SpriteItem>& queue() const { return items; }
    particle_quad_renderer<SpriteVertex>* quadRenderer() const { return quads.get(); }

private:
    void enqueue(SpriteItem&& item);
    void drawSprite(ID3DXEffect* effect, const SpriteItem& item, const D3DXMATRIX& screen);

    std::vector<SpriteItem> items;
    DxDevice* device;
    std::unique_ptr<particle_quad_renderer<SpriteVertex>> quads;
    ListenerRegistration registration;  // ends before the renderer goes
    std::string effectName;
};

// Client-area pixels to clip space for a viewport of width x height: pixel (x, y) lands at
// (2(x - 0.5)/width - 1, 1 - 2(y - 0.5)/height), the half pixel putting texel centres on
// pixel centres.
D3DXMATRIX screenMatrix(float width, float height);

}  // namespace kesh
