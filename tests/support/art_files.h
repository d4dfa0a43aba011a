// Art the tests write for themselves: a one-colour DDS texture and the records of a flat
// square mesh, both in the formats the engine's loaders read.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/mesh/mesh_records.h"

namespace morvale_testing {

// A width x height A8R8G8B8 DDS file of one level, texels row by row.
std::vector<std::uint8_t> ddsFile(UINT width, UINT height, const std::vector<D3DCOLOR>& texels);
// The same with every texel argb.
std::vector<std::uint8_t> solidDds(UINT width, UINT height, D3DCOLOR argb);

// A square of side 2 x half centred on (0, 0, z) in the x-y plane, two triangles wound
// counter-clockwise as seen from the origin, uv 0..1 over the first set, material 0 named
// materialName. Every corner of the second (lightmap) set is (0.125, 0.5): the centre of
// the first column of a 4-texel-wide lightmap.
maya_common::data::tri_mesh squareRecords(float half, float z, const std::string& materialName);

}  // namespace morvale_testing
