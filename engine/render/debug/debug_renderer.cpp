#include "engine/render/debug/debug_renderer.h"

#include <cmath>

#include "engine/core/errors.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"

namespace kesh {

DebugRenderer* theDebugRenderer = nullptr;

namespace {

constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};

void toFloats(std::uint32_t argb, float rgba[4]) {
    rgba[0] = ((argb >> 16) & 0xFF) / 255.0f;
    rgba[1] = ((argb >> 8) & 0xFF) / 255.0f;
    rgba[2] = (argb & 0xFF) / 255.0f;
    rgba[3] = ((argb >> 24) & 0xFF) / 255.0f;
}

}  // namespace

DebugRenderer::DebugRenderer(DxDevice* dxDevice, const std::string& name)
    : device(dxDevice), effectName(name) {
    D3DXCreateSphere(device->getDevice(), 1.0f, 5, 5, sphereMesh.out(), nullptr);
    D3DXCreateBox(device->getDevice(), 1.0f, 1.0f, 1.0f, boxMesh.out(), nullptr);
    font = std::make_unique<Font>(device, FontDesc{8, "Lucida"});
}

void DebugRenderer::addSphere(const D3DXVECTOR3* centre, float radius, std::uint32_t color,
                              std::uint32_t flags) {
    sphereQueue.add() = {*centre, radius, color, flags};
}

void DebugRenderer::addBox(const D3DXMATRIX* world, std::uint32_t color, std::uint32_t flags) {
    boxQueue.add() = {*world, color, flags};
}

void DebugRenderer::addScreenText(const std::wstring& text, std::uint32_t color) {
    ScreenText& line = screenQueue.add();
    line.text.assign(text);
    line.color = color;
}

void DebugRenderer::addScreenText(const std::string& text, std::uint32_t color) {
    ScreenText& line = screenQueue.add();
    line.text.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        line.text[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    line.color = color;
}

void DebugRenderer::addWorldText(const std::wstring& text, const D3DXVECTOR3* position,
                                 std::uint32_t color) {
    WorldText& label = worldQueue.add();
    label.text.assign(text);
    label.color = color;
    label.position = *position;
}

void DebugRenderer::clear() {
    sphereQueue.clear();
    boxQueue.clear();
    screenQueue.clear();
    worldQueue.clear();
}

void DebugRenderer::setShapeParameters(ID3DXEffect* effect, const D3DXMATRIX& world,
                                       const CameraView& camera, std::uint32_t color,
                                       std::uint32_t flags) {
    // Unchecked on purpose: a parameter the effect lacks is skipped.
    D3DXMATRIX wvp;
    D3DXMatrixMultiply(&wvp, &world, &camera.viewProjection);
    effect->SetMatrix(fx::kWorldViewProjection, &wvp);
    effect->SetInt("cColor", static_cast<INT>(color));
    effect->SetInt("g_fillmode", (flags & DebugWireframe) != 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    effect->SetBool("do_z_enable", (flags & DebugDepth) != 0);
    // The embedded effect names its cull mode "do_cull_mode"; files may use "do_culling".
    const INT cull = (flags & DebugCull) != 0 ? D3DCULL_CW : D3DCULL_NONE;
    effect->SetInt("do_culling", cull);
    effect->SetInt("do_cull_mode", cull);
    const bool blend = (color >> 24) < 255;
    effect->SetBool("do_alpha_blend", blend);
    if (blend) {
        effect->SetInt("srcBlend", D3DBLEND_SRCALPHA);
        effect->SetInt("dstBlend", D3DBLEND_INVSRCALPHA);
    }
}

void DebugRenderer::drawShapes(ID3DXEffect* effect, const CameraView& camera) {
    EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
    while (pass.current < pass.count) {
        if (sphereMesh) {
            for (const Sphere& sphere : sphereQueue) {
                D3DXMATRIX scaling, translation, world;
                D3DXMatrixScaling(&scaling, sphere.radius, sphere.radius, sphere.radius);
                D3DXMatrixTranslation(&translation, sphere.centre.x, sphere.centre.y,
                                      sphere.centre.z);
                D3DXMatrixMultiply(&world, &scaling, &translation);
                setShapeParameters(effect, world, camera, sphere.color, sphere.flags);
                effect->CommitChanges();
                sphereMesh->DrawSubset(0);
            }
        }
        if (boxMesh) {
            for (const Box& box : boxQueue) {
                setShapeParameters(effect, box.world, camera, box.color, box.flags);
                effect->CommitChanges();
                boxMesh->DrawSubset(0);
            }
        }
        pass.next();
    }
    pass.end();
}

void DebugRenderer::drawShadowed(const std::wstring& text, RECT rect, std::uint32_t color,
                                 DWORD format) {
    RECT shadow{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    font->drawText(text.c_str(), -1, &shadow, kBlack, format);
    float rgba[4];
    toFloats(color, rgba);
    font->drawText(text.c_str(), -1, &rect, rgba, format);
}

void DebugRenderer::drawScreenTexts(LONG top) {
    const LONG width = static_cast<LONG>(device->getViewport().Width);
    LONG y = top;
    for (const ScreenText& line : screenQueue) {
        RECT rect{3, y, width, 0};
        font->measureText(line.text.c_str(), -1, &rect, 0);
        drawShadowed(line.text, rect, line.color, 0);
        y += rect.bottom - rect.top;
    }
}

void DebugRenderer::drawWorldTexts(const CameraView& camera) {
    const double width = device->getViewport().Width;
    const double height = device->getViewport().Height;
    for (const WorldText& label : worldQueue) {
        D3DXVECTOR3 projected;
        D3DXVec3TransformCoord(&projected, &label.position, &camera.viewProjection);
        if (!std::isfinite(projected.x) || !std::isfinite(projected.y)) {
            continue;
        }
        const double sx = std::trunc((projected.x + 1.0) * width * 0.5);
        const double sy = std::trunc((1.0 - projected.y) * height * 0.5);
        if (sx < -200.0 || sx > width + 200.0 || sy < -200.0 || sy > height + 200.0) {
            continue;
        }
        const LONG x = static_cast<LONG>(sx), y = static_cast<LONG>(sy);
        RECT rect{x, y, x, y};
        font->measureText(label.text.c_str(), -1, &rect, DT_SINGLELINE);
        drawShadowed(label.text, rect, label.color, DT_SINGLELINE);
    }
}

void DebugRenderer::draw(const CameraView& camera, LONG textTop) {
    if (theEffectCache == nullptr) {
        throwRuntimeError(L"DebugRenderer::draw: no effect cache");
    }
    drawShapes(theEffectCache->fetch(ResourceId(effectName)), camera);
    drawScreenTexts(textTop);
    drawWorldTexts(camera);
}

}  // namespace kesh
