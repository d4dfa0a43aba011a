// Sizes of formats, vertex elements and primitives.
#pragma once

#include <vector>

#include <d3d9.h>

namespace d3d9 {

bool isBlockCompressed(D3DFORMAT format);
// Bytes per pixel of an uncompressed format (bytes per 4x4 block when compressed); 0 for
// formats that cannot hold pixels.
UINT formatBytes(D3DFORMAT format);
bool isDepthFormat(D3DFORMAT format);

// 0 for an unknown type.
UINT declTypeSize(BYTE type);

// The elements an FVF describes (without the end marker) and the vertex size; false when
// the FVF describes no valid vertex.
bool fvfLayout(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size);

// Vertices (or indices) read by a number of primitives; 0 for an unknown type.
UINT verticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount);

}  // namespace d3d9
