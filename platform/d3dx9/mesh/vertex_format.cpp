#include "mesh/vertex_format.h"

#include <algorithm>
#include <cstring>

#include "d3dx9mesh.h"

namespace d3dx9 {
namespace {

void append(std::vector<D3DVERTEXELEMENT9>& elements, UINT& offset, BYTE type, BYTE usage,
            BYTE usageIndex) {
    elements.push_back(
        {0, static_cast<WORD>(offset), type, D3DDECLMETHOD_DEFAULT, usage, usageIndex});
    offset += declTypeSize(type);
}

bool sameElement(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b) {
    return a.Stream == b.Stream && a.Offset == b.Offset && a.Type == b.Type &&
           a.Method == b.Method && a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

}  // namespace

UINT declTypeSize(BYTE type) {
    static const UINT sizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};
    return type < sizeof(sizes) / sizeof(sizes[0]) ? sizes[type] : 0;
}

bool fvfElements(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size) {
    elements.clear();
    size = 0;
    UINT offset = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    switch (position) {
        case D3DFVF_XYZ:
            append(elements, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
            break;
        case D3DFVF_XYZRHW:
            append(elements, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0);
            break;
        case D3DFVF_XYZW:
            append(elements, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0);
            break;
        case D3DFVF_XYZB1:
        case D3DFVF_XYZB2:
        case D3DFVF_XYZB3:
        case D3DFVF_XYZB4:
        case D3DFVF_XYZB5: {
            append(elements, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
            const UINT weights = (position - D3DFVF_XYZ) / 2;
            static const BYTE weightTypes[] = {D3DDECLTYPE_FLOAT1, D3DDECLTYPE_FLOAT2,
                                               D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                               D3DDECLTYPE_FLOAT4};
            append(elements, offset, weightTypes[weights - 1], D3DDECLUSAGE_BLENDWEIGHT, 0);
            if (weights == 5) {
                append(elements, offset, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_BLENDINDICES, 0);
            }
            break;
        }
        default:
            return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        append(elements, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
    }
    if (fvf & D3DFVF_PSIZE) {
        append(elements, offset, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0);
    }
    if (fvf & D3DFVF_DIFFUSE) {
        append(elements, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    }
    if (fvf & D3DFVF_SPECULAR) {
        append(elements, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
    }
    const UINT textures = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (textures > 8) {
        return false;
    }
    for (UINT i = 0; i < textures; ++i) {
        static const BYTE types[] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                     D3DDECLTYPE_FLOAT1};
        const DWORD sizeCode = (fvf >> (16 + i * 2)) & 3;
        append(elements, offset, types[sizeCode], D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(i));
    }
    size = offset;
    return true;
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
