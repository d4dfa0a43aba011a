// The interface of every runtime part of a visual effect, and of the effect itself.
#pragma once

#include <d3dx9math.h>

#include <cstdint>

namespace kesh {
namespace effect {

// Parameter ids. A component ignores the ids it does not use; both component kinds take any
// matrix id as their world matrix.
enum EffectParameter {
    kWorldMatrix = 0,  // setMatrix
    kAge = 1,          // setFloat: seconds since the effect was created
    kHidden = 2,       // setInt on the effect: 1 hides it, 0 shows it
};

// Pass bits of render: plain meshes draw with bit 0, billboards with bit 1.
enum EffectPassBits : std::uint32_t {
    kPlainMeshPass = 0x1,
    kBillboardPass = 0x2,
};

class EffectComponent {
public:
    virtual ~EffectComponent() = default;
    virtual void render(std::uint32_t layer, std::uint32_t passMask) = 0;
    virtual void setMatrix(int id, const D3DXMATRIX& m) = 0;
    virtual void setInt(int id, int value) = 0;
    virtual void setVector(int id, const D3DXVECTOR4& v) = 0;
    virtual void setFloat(int id, float value) = 0;
};

}  // namespace effect
}  // namespace kesh
