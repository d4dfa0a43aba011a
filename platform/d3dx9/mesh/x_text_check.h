// A check of a .x file before it reaches the importer, which would otherwise size its arrays
// from a damaged count (a "-1" becomes four billion vertices) or index past them.
#pragma once

#include <cstddef>

namespace d3dx9 {

// False when the text ("txt ") or binary ("bin ") form declares what its data cannot be:
// in a Mesh, MeshNormals, MeshTextureCoords, MeshVertexColors, MeshMaterialList, SkinWeights
// or AnimationKey block a count that is negative, not a whole number, or larger than the
// numbers left in the file can fill; a face of no corners, or a corner past its vertices or
// normals; a SkinWeights vertex past its mesh's vertices; a MeshMaterialList with face
// indices whose first object is not a Material, or that gives its mesh more face materials
// than faces (a second list with indices does); where the importer reads objects by name
// (the file's top, a frame, a mesh, a material list, a material, an animation), anything
// but an object or a closing brace, which it would take for an object to skip up to the
// next opening brace, past the end of its block; in a block it skips, a text string holding
// a brace or a comment; a name or string longer than the importer
// holds; blocks nested deeper than it follows; more data objects (frames, meshes, materials,
// animations, keys) than a budget of the importer's memory for the file's size allows; a
// binary length that passes the end, or a binary float read from an integer list. Files in
// other forms pass unchecked.
bool xCountsPlausible(const char* data, std::size_t size);

}  // namespace d3dx9
