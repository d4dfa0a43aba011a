// Vertex layouts shared by the device and the utility library: what an FVF code describes
// and how big each declaration type is.
#pragma once

#include <vector>

#include <d3d9.h>

namespace d3d9 {

// Bytes of one D3DDECLTYPE; 0 for an unknown type.
UINT declTypeSize(BYTE type);

// The elements an FVF describes (without the end marker) and the vertex size; false when
// the FVF describes no valid vertex.
bool fvfLayout(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size);

}  // namespace d3d9
