// A placement read from a level file, made fit for the physics: ODE takes only a finite
// position and a rotation, so the scale, skew and mirror of a matrix are taken out of its
// axes, and a matrix from which no rotation can be had is refused. What is drawn keeps the
// file's matrix; only what collides (and the boxes the cameras test) takes this one.
#pragma once

#include <d3dx9math.h>

#include <string>

#include "engine/core/transform.h"

namespace kesh {
namespace data {

enum class PlacementScale {
    Drop,  // the scale comes back (1, 1, 1): a car is never scaled
    Keep,  // each axis keeps its length: a static's boxes collide at the size it is drawn
};

// m's translation, and the rotation of its axes made orthonormal: the first kept in
// direction, the second turned in the plane of the first two, the third at right angles to
// both. A mirrored matrix keeps the directions of its second and third axes (up and forward)
// and turns its first round, and with Keep that axis's scale is negative, so that the boxes
// of a mirrored static lie where it is drawn. One axis of no length (a flat sign or sheet) is
// made at right angles to the other two and keeps its length (about 0) with Keep. Throws
// std::runtime_error beginning with what when an entry of the first three columns is not
// finite, more than one axis has no length or the axes lie (nearly) in one plane.
kesh::Transform checkedPlacement(const D3DXMATRIX& m, PlacementScale scale,
                                 const std::string& what);

// Throws std::runtime_error beginning with what when an entry of m is not finite: such a
// matrix places nothing, and would carry NaN into the level's box.
void requireFinitePlacement(const D3DXMATRIX& m, const std::string& what);

}  // namespace data
}  // namespace kesh
