// Sizes of formats, vertex elements and primitives.
#pragma once

#include <vector>

#include <d3d9.h>

#include "d3d9/vertex_layout.h"

namespace d3d9 {

bool isBlockCompressed(D3DFORMAT format);
// Bytes per pixel of an uncompressed format (bytes per 4x4 block when compressed); 0 for
// formats that cannot hold pixels.
UINT formatBytes(D3DFORMAT format);
bool isDepthFormat(D3DFORMAT format);

// Vertices (or indices) read by a number of primitives; 0 for an unknown type.
UINT verticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount);

}  // namespace d3d9
