// The description of a visual effect: the parameter records of its components, as an
// effect text or a script gives them.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <vector>

#include "engine/core/resource/resource_id.h"

namespace kesh {
namespace effect {

// What every component kind shares; the base that scripts know as `_Component`.
struct ComponentParams {
    std::uint32_t layer = 0;
};

// A ".wfm" mesh drawn with a texture that scrolls with the effect's age.
struct PlainMeshComponentParams : ComponentParams {
    enum BlendMode { Opaque = 0, Additive = 1, AlphaBlended = 2 };

    ResourceId mesh;
    ResourceId texture;
    float uSpeed = 0.0f;
    float vSpeed = 0.0f;
    int blendMode = Opaque;
    bool zTest = true;
    bool zWrite = false;
};

// A textured quad: camera-facing (orientation 0) or placed by the world matrix.
struct BillboardComponentParams : ComponentParams {
    ResourceId texture;
    D3DXVECTOR2 size{1.0f, 1.0f};
    int orientation = 0;
    D3DXCOLOR color{1.0f, 1.0f, 1.0f, 1.0f};
    int blendMode = 0;  // only 1, additive, changes the drawing
    bool zTest = true;
    bool zWrite = false;
    bool noCull = false;
};

// The script class `Effect`: both lists in the order their components were given.
struct EffectParams {
    void addComponent(const PlainMeshComponentParams& component) {
        plainMeshes.push_back(component);
    }
    void addComponent(const BillboardComponentParams& component) {
        billboards.push_back(component);
    }

    std::vector<PlainMeshComponentParams> plainMeshes;
    std::vector<BillboardComponentParams> billboards;
};

}  // namespace effect
}  // namespace kesh
