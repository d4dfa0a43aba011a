// A textured, coloured quad handed to the quad batcher: camera-facing at the matrix's
// position (orientation 0), or the unit square placed by the whole matrix.
#pragma once

#include "engine/render/visual_effects/effect_component.h"
#include "engine/render/visual_effects/effect_context.h"
#include "engine/render/visual_effects/effect_params.h"

namespace kesh {
namespace effect {

class BillboardComponent : public EffectComponent {
public:
    BillboardComponent(EffectContext* context, const BillboardComponentParams& params);

    // Queues the quad with layer equal to its own and the billboard pass bit set, when its
    // sphere is in view.
    void render(std::uint32_t layer, std::uint32_t passMask) override;
    // The matrix becomes the size's scaling times m.
    void setMatrix(int id, const D3DXMATRIX& m) override;
    void setInt(int, int) override {}
    void setVector(int, const D3DXVECTOR4&) override {}
    void setFloat(int, float) override {}

    // The quad state flags of the batcher.
    std::uint32_t batchFlags() const;
    D3DCOLOR colour() const;
    const D3DXMATRIX& matrix() const { return matrix_; }
    // centre x, y, z and radius.
    const float* sphere() const { return sphere_; }

private:
    void updateSphere();

    EffectContext* context;
    BillboardComponentParams params;
    D3DXMATRIX matrix_;
    float sphere_[4];
};

}  // namespace effect
}  // namespace kesh
