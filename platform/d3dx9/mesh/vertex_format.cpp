#include "mesh/vertex_format.h"

#include <algorithm>
#include <cstring>

#include "d3d9/vertex_layout.h"
#include "d3dx9mesh.h"

namespace d3dx9 {
namespace {

bool sameElement(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b) {
    return a.Stream == b.Stream && a.Offset == b.Offset && a.Type == b.Type &&
           a.Method == b.Method && a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

}  // namespace

UINT declTypeSize(BYTE type) {
    return d3d9::declTypeSize(type);
}

bool fvfElements(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size) {
    size = 0;
    return d3d9::fvfLayout(fvf, elements, size);
}

bool declarationElements(const D3DVERTEXELEMENT9* declaration,
                         std::vector<D3DVERTEXELEMENT9>& elements) {
    elements.clear();
    if (declaration == nullptr) {
        return false;
    }
    for (UINT i = 0; i < MAXD3DDECLLENGTH + 1; ++i) {
        if (declaration[i].Stream == 0xFF) {
            return true;
        }
        elements.push_back(declaration[i]);
    }
    return false;
}

DWORD fvfOfElements(const std::vector<D3DVERTEXELEMENT9>& elements) {
    DWORD fvf = 0;
    UINT textures = 0;
    for (const auto& element : elements) {
        switch (element.Usage) {
            case D3DDECLUSAGE_POSITION:
                fvf |= element.Type == D3DDECLTYPE_FLOAT4 ? D3DFVF_XYZW : D3DFVF_XYZ;
                break;
            case D3DDECLUSAGE_POSITIONT:
                fvf |= D3DFVF_XYZRHW;
                break;
            case D3DDECLUSAGE_NORMAL:
                fvf |= D3DFVF_NORMAL;
                break;
            case D3DDECLUSAGE_PSIZE:
                fvf |= D3DFVF_PSIZE;
                break;
            case D3DDECLUSAGE_COLOR:
                fvf |= element.UsageIndex == 0 ? D3DFVF_DIFFUSE : D3DFVF_SPECULAR;
                break;
            case D3DDECLUSAGE_TEXCOORD: {
                static const DWORD codes[] = {3, 0, 1, 2};  // FLOAT1..FLOAT4
                if (element.Type > D3DDECLTYPE_FLOAT4 || element.UsageIndex >= 8) {
                    return 0;
                }
                fvf |= codes[element.Type] << (16 + element.UsageIndex * 2);
                textures = std::max<UINT>(textures, element.UsageIndex + 1u);
                break;
            }
            default:
                return 0;
        }
    }
    fvf |= textures << D3DFVF_TEXCOUNT_SHIFT;
    std::vector<D3DVERTEXELEMENT9> check;
    UINT size = 0;
    if (!fvfElements(fvf, check, size) || check.size() != elements.size()) {
        return 0;
    }
    for (size_t i = 0; i < check.size(); ++i) {
        if (!sameElement(check[i], elements[i])) {
            return 0;
        }
    }
    return fvf;
}

UINT streamVertexSize(const std::vector<D3DVERTEXELEMENT9>& elements, DWORD stream) {
    UINT size = 0;
    for (const auto& element : elements) {
        if (element.Stream == stream) {
            size = std::max(size, element.Offset + declTypeSize(element.Type));
        }
    }
    return size;
}

}  // namespace d3dx9

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    std::vector<D3DVERTEXELEMENT9> elements;
    UINT size = 0;
    return d3dx9::fvfElements(fvf, elements, size) ? size : 0;
}

HRESULT D3DXDeclaratorFromFVF(DWORD fvf, D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) {
    std::vector<D3DVERTEXELEMENT9> elements;
    UINT size = 0;
    if (declaration == nullptr || !d3dx9::fvfElements(fvf, elements, size)) {
        return D3DERR_INVALIDCALL;
    }
    std::copy(elements.begin(), elements.end(), declaration);
    declaration[elements.size()] = D3DDECL_END();
    return D3D_OK;
}

UINT D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* declaration, DWORD stream) {
    std::vector<D3DVERTEXELEMENT9> elements;
    if (!d3dx9::declarationElements(declaration, elements)) {
        return 0;
    }
    return d3dx9::streamVertexSize(elements, stream);
}
