// A placement read from a level file, made fit for the physics and the cameras: they take
// only finite matrices whose axes stand at right angles, so scale and skew in an otherwise
// sound matrix are straightened out, and a matrix that places nothing is refused.
#pragma once

#include <d3dx9math.h>

#include <string>

namespace kesh {
namespace data {

enum class PlacementScale {
    Drop,  // the axes come back of unit length: a car or a target is never scaled
    Keep,  // each axis keeps its length: a static's mesh is drawn and collides scaled
};

// m with its axes made orthonormal (the first kept in direction, the second turned in the
// plane of the first two, the third at right angles to both, so a mirrored matrix becomes
// the rotation it mirrors), its translation kept and its last column (0, 0, 0, 1). Throws
// std::runtime_error beginning with what when an entry is not finite, an axis has no length
// or the axes lie (nearly) in one plane.
D3DXMATRIX checkedPlacement(const D3DXMATRIX& m, PlacementScale scale, const std::string& what);

}  // namespace data
}  // namespace kesh
