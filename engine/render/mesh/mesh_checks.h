// Checks that mesh records hold together before a mesh is built from them: a damaged file
// must fail as a bad file, never index outside a list.
#pragma once

#include "engine/render/mesh/mesh_records.h"

namespace kesh {

// Throws kesh::stream::error 1 unless every triangle list used has one entry per triangle,
// every index lies inside the list it indexes (for a uv set: two floats at dim times the
// index), every uv set used has a dim of 2 or more and every face material indexes the
// material list; and unless every position a triangle uses and every part box is finite.
void checkMeshRecords(const maya_common::data::tri_mesh& mesh);

}  // namespace kesh
