// Position, rotation and scale of an object, convertible to and from a world matrix.
#pragma once

#include <d3dx9math.h>

namespace kesh {

struct Transform {
    constexpr Transform()
        : position(0.0f, 0.0f, 0.0f), rotation(0.0f, 0.0f, 0.0f, 1.0f), scale(1.0f, 1.0f, 1.0f) {}
    // Decomposes a rotation-scale-translation matrix (shear is not recovered). A basis row
    // of zero length gives scale 0 on its axis and the identity rotation.
    explicit Transform(const D3DXMATRIX& m);

    void assign(const Transform& other) { *this = other; }

    // Scales, then rotates, then translates a row vector.
    void toMatrix(D3DXMATRIX* out) const;
    void rotateVector(D3DXVECTOR3* out, const D3DXVECTOR3* v) const;

    D3DXVECTOR3 position;
    D3DXQUATERNION rotation;
    D3DXVECTOR3 scale;
};

// The neutral transform, for callers that need one to hand.
extern const Transform identityTransform;

// v rotated by q (q p q* in Hamilton notation).
void rotateByQuaternion(D3DXVECTOR3* out, const D3DXVECTOR3& v, const D3DXQUATERNION& q);

D3DXQUATERNION makeRotationQuaternion(const D3DXVECTOR3& axis, float angle);

}  // namespace kesh
