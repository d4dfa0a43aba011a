// Vertex layouts: FVF codes and declarations.
#pragma once

#include <vector>

#include <d3d9.h>

namespace d3dx9 {

// 0 for an unknown type.
UINT declTypeSize(BYTE type);

// The elements an FVF describes, without the end marker; false when it describes none.
bool fvfElements(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size);

// The elements of a declaration up to its end marker (without it); false when no end
// marker comes within MAXD3DDECLLENGTH elements.
bool declarationElements(const D3DVERTEXELEMENT9* declaration,
                         std::vector<D3DVERTEXELEMENT9>& elements);

// The FVF whose layout is exactly these elements, or 0.
DWORD fvfOfElements(const std::vector<D3DVERTEXELEMENT9>& elements);

// Bytes per vertex of one stream: the end of its furthest element.
UINT streamVertexSize(const std::vector<D3DVERTEXELEMENT9>& elements, DWORD stream);

}  // namespace d3dx9
