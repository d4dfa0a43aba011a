// A check of the counts in the mesh blocks of a text .x file before the file reaches the
// importer, which would otherwise size its arrays from a damaged count (a "-1" becomes
// four billion vertices).
#pragma once

#include <cstddef>

namespace d3dx9 {

// False when a Mesh, MeshNormals, MeshTextureCoords, MeshVertexColors or MeshMaterialList
// block of a text .x file declares a count that is negative, not a whole number, or larger
// than the numbers left in the file can fill. Files in other forms pass unchecked.
bool xTextCountsPlausible(const char* data, std::size_t size);

}  // namespace d3dx9
