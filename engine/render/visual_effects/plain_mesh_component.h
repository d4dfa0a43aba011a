// A ".wfm" mesh drawn with "effect_plain_mesh.fx": its texture scrolls with the effect's
// age, depth and blending as its description says.
#pragma once

#include "engine/render/mesh/mesh_info.h"
#include "engine/render/visual_effects/effect_component.h"
#include "engine/render/visual_effects/effect_context.h"
#include "engine/render/visual_effects/effect_params.h"

namespace kesh {
namespace effect {

class PlainMeshComponent : public EffectComponent {
public:
    // Fetches the mesh from theMeshInfoCache for its bounding sphere; throws when the cache
    // cannot give it.
    PlainMeshComponent(EffectContext* context, const PlainMeshComponentParams& params);

    // Draws with layer equal to its own and the plain-mesh pass bit set, when its sphere is
    // in view.
    void render(std::uint32_t layer, std::uint32_t passMask) override;
    void setMatrix(int id, const D3DXMATRIX& m) override;
    void setInt(int, int) override {}
    void setVector(int, const D3DXVECTOR4&) override {}
    void setFloat(int id, float value) override;

    // The mesh's sphere placed by the world matrix.
    BoundingSphere worldSphere() const;

private:
    EffectContext* context;
    BoundingSphere sphere;
    PlainMeshComponentParams params;
    D3DXMATRIX world;
    float age = 0.0f;
};

}  // namespace effect
}  // namespace kesh
