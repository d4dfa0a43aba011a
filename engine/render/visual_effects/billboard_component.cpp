#include "engine/render/visual_effects/billboard_component.h"

#include <cmath>

#include "engine/render/quad/quad_batcher.h"

namespace kesh {
namespace effect {

namespace {

std::uint32_t channel(float value) {
    if (value >= 1.0f) {
        return 255;
    }
    if (value <= 0.0f) {
        return 0;
    }
    return static_cast<std::uint32_t>(value * 255.0f + 0.5f);
}

}  // namespace

BillboardComponent::BillboardComponent(EffectContext* context,
                                       const BillboardComponentParams& params)
    : context(context), params(params) {
    D3DXMatrixIdentity(&matrix_);
    updateSphere();
}

void BillboardComponent::setMatrix(int, const D3DXMATRIX& m) {
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, params.size.x, params.size.y, 1.0f);
    D3DXMatrixMultiply(&matrix_, &scaling, &m);
    updateSphere();
}

void BillboardComponent::updateSphere() {
    float squares = 0.0f;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            squares += matrix_.m[row][column] * matrix_.m[row][column];
        }
    }
    sphere_[0] = matrix_._41;
    sphere_[1] = matrix_._42;
    sphere_[2] = matrix_._43;
    sphere_[3] = std::sqrt(squares);
}

std::uint32_t BillboardComponent::batchFlags() const {
    // Blend mode 2 has no flag of its own: such billboards are drawn without blending.
    std::uint32_t flags = params.blendMode == 1 ? QuadAdditive : 0u;
    if (params.zTest) {
        flags |= QuadDepthTest;
    }
    if (params.zWrite) {
        flags |= QuadDepthWrite;
    }
    if (params.noCull) {
        flags |= QuadNoCull;
    }
    return flags;
}

D3DCOLOR BillboardComponent::colour() const {
    return channel(params.color.a) << 24 | channel(params.color.r) << 16 |
           channel(params.color.g) << 8 | channel(params.color.b);
}

void BillboardComponent::render(std::uint32_t layer, std::uint32_t passMask) {
    if (layer != params.layer || (passMask & kBillboardPass) == 0) {
        return;
    }
    if (!context->sphereVisible(sphere_)) {
        return;
    }
    context->countVisible(kBillboardComponent, 1);
    if (params.orientation == 0) {
        const float position[3] = {matrix_._41, matrix_._42, matrix_._43};
        const float size[2] = {params.size.x, params.size.y};
        context->batcher->addBillboard(params.texture.id, position, size, colour(), batchFlags());
    } else {
        context->batcher->addQuad(params.texture.id, &matrix_, colour(), batchFlags());
    }
}

}  // namespace effect
}  // namespace kesh
