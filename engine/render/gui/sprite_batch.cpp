#include "engine/render/gui/sprite_batch.h"

#include <d3dx9effect.h>

#include <algorithm>
#include <utility>

#include "engine/core/errors.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {

D3DXMATRIX screenMatrix(float width, float height) {
    D3DXMATRIX halfPixel, scaling, corner, product, screen;
    D3DXMatrixTranslation(&halfPixel, -0.5f, -0.5f, 0.0f);
    D3DXMatrixScaling(&scaling, 2.0f / width, -2.0f / height, 1.0f);
    D3DXMatrixTranslation(&corner, -1.0f, 1.0f, 0.0f);
    D3DXMatrixMultiply(&product, &halfPixel, &scaling);
    D3DXMatrixMultiply(&screen, &product, &corner);
    return screen;
}

SpriteBatch::SpriteBatch(DxDevice* dxDevice, std::string effect)
    : device(dxDevice),
      quads(std::make_unique<particle_quad_renderer<SpriteVertex>>(dxDevice, kQuadCapacity)),
      registration(dxDevice, quads.get()),
      effectName(std::move(effect)) {}

void SpriteBatch::clear() {
    // The storage stays: the next frame queues about as many items again.
    items.clear();
}

void SpriteBatch::enqueue(SpriteItem&& item) {
    // After the last item of its layer: a stable order, so that a page's background stays
    // under the buttons and digits queued after it at the same layer.
    const auto at = std::upper_bound(
        items.begin(), items.end(), item.layer,
        [](std::uint32_t layer, const SpriteItem& queued) { return layer < queued.layer; });
    items.insert(at, std::move(item));
}

void SpriteBatch::addSprite(int x, int y, std::uint32_t layer, const SpriteFrame& frame) {
    static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    addTintedSprite(x, y, layer, frame, kWhite);
}

void SpriteBatch::addTintedSprite(int x, int y, std::uint32_t layer, const SpriteFrame& frame,
                                  const float color[4]) {
    SpriteItem item;
    item.kind = SpriteItem::Sprite;
    item.layer = layer;
    item.x = x;
    item.y = y;
    item.frame = frame;
    std::copy(color, color + 4, item.color);
    enqueue(std::move(item));
}

void SpriteBatch::addText(const int rect[4], std::uint32_t layer, const std::wstring& text,
                          Font* font, const float color[4], std::uint32_t format) {
    SpriteItem item;
    item.kind = SpriteItem::Text;
    item.layer = layer;
    item.x = static_cast<int>(format);
    item.y = 0;
    std::copy(color, color + 4, item.color);
    item.text = text;
    std::copy(rect, rect + 4, item.rect);
    item.font = font;
    enqueue(std::move(item));
}

void SpriteBatch::drawSprite(ID3DXEffect* effect, const SpriteItem& item,
                             const D3DXMATRIX& screen) {
    const SpriteFrame& frame = item.frame;
    const float left = static_cast<float>(item.x);
    const float top = static_cast<float>(item.y);
    const float right = left + static_cast<float>(frame.width);
    const float bottom = top + static_cast<float>(frame.height);
    SpriteVertex* vertex = quads->lock(1);
    vertex[0] = SpriteVertex{left, top, 0.0f, frame.u0, frame.v0};
    vertex[1] = SpriteVertex{right, top, 0.0f, frame.u1, frame.v0};
    vertex[2] = SpriteVertex{right, bottom, 0.0f, frame.u1, frame.v1};
    vertex[3] = SpriteVertex{left, bottom, 0.0f, frame.u0, frame.v1};
    quads->unlock();

    // Unchecked on purpose: a parameter the effect lacks is skipped.
    effect->SetMatrix(fx::kWorldViewProjection, &screen);
    effect->SetTexture(fx::kTexture0, theTextureCache->fetch(frame.texture));
    const D3DXVECTOR4 color(item.color);
    effect->SetVector("sprite_color", &color);
    EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
    while (pass.current < pass.count) {
        quads->draw(1);
        pass.next();
    }
    pass.end();
}

void SpriteBatch::flush() {
    if (theEffectCache == nullptr || theTextureCache == nullptr) {
        throwRuntimeError(L"SpriteBatch::flush: no effect or texture cache");
    }
    const D3DVIEWPORT9& viewport = device->getViewport();
    const D3DXMATRIX screen =
        screenMatrix(static_cast<float>(viewport.Width), static_cast<float>(viewport.Height));
    ID3DXEffect* effect = theEffectCache->fetch(effectName);
    for (const SpriteItem& item : items) {
        if (item.kind == SpriteItem::Text) {
            if (item.font != nullptr) {
                RECT rect{item.rect[0], item.rect[1], item.rect[2], item.rect[3]};
                item.font->drawText(item.text.c_str(), static_cast<int>(item.text.size()), &rect,
                                    item.color, static_cast<DWORD>(item.x));
            }
        } else {
            drawSprite(effect, item, screen);
        }
    }
    effect->SetTexture(fx::kTexture0, nullptr);
}

}  // namespace kesh
