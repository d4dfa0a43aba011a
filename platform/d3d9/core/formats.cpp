#include "core/formats.h"

namespace d3d9 {

bool isBlockCompressed(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_DXT1:
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return true;
        default:
            return false;
    }
}

UINT formatBytes(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8:
        case D3DFMT_P8:
        case D3DFMT_L8:
        case D3DFMT_A4L4:
        case D3DFMT_R3G3B2:
            return 1;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_A8R3G3B2:
        case D3DFMT_X4R4G4B4:
        case D3DFMT_A8P8:
        case D3DFMT_A8L8:
        case D3DFMT_V8U8:
        case D3DFMT_L6V5U5:
        case D3DFMT_D16_LOCKABLE:
        case D3DFMT_D15S1:
        case D3DFMT_D16:
        case D3DFMT_L16:
        case D3DFMT_R16F:
        case D3DFMT_CxV8U8:
        case D3DFMT_INDEX16:
        case D3DFMT_UYVY:
        case D3DFMT_YUY2:
        case D3DFMT_R8G8_B8G8:
        case D3DFMT_G8R8_G8B8:
            return 2;
        case D3DFMT_R8G8B8:
            return 3;
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A2B10G10R10:
        case D3DFMT_A8B8G8R8:
        case D3DFMT_X8B8G8R8:
        case D3DFMT_G16R16:
        case D3DFMT_A2R10G10B10:
        case D3DFMT_X8L8V8U8:
        case D3DFMT_Q8W8V8U8:
        case D3DFMT_V16U16:
        case D3DFMT_A2W10V10U10:
        case D3DFMT_D32:
        case D3DFMT_D24S8:
        case D3DFMT_D24X8:
        case D3DFMT_D24X4S4:
        case D3DFMT_D32F_LOCKABLE:
        case D3DFMT_D24FS8:
        case D3DFMT_INDEX32:
        case D3DFMT_G16R16F:
        case D3DFMT_R32F:
            return 4;
        case D3DFMT_A16B16G16R16:
        case D3DFMT_Q16W16V16U16:
        case D3DFMT_A16B16G16R16F:
        case D3DFMT_G32R32F:
            return 8;
        case D3DFMT_A32B32G32R32F:
            return 16;
        case D3DFMT_DXT1:
            return 8;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return 16;
        default:
            return 0;
    }
}

bool isDepthFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16_LOCKABLE:
        case D3DFMT_D32:
        case D3DFMT_D15S1:
        case D3DFMT_D24S8:
        case D3DFMT_D24X8:
        case D3DFMT_D24X4S4:
        case D3DFMT_D16:
        case D3DFMT_D32F_LOCKABLE:
        case D3DFMT_D24FS8:
            return true;
        default:
            return false;
    }
}

UINT declTypeSize(BYTE type) {
    static const UINT sizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};
    return type < sizeof(sizes) / sizeof(sizes[0]) ? sizes[type] : 0;
}

namespace {

void append(std::vector<D3DVERTEXELEMENT9>& elements, UINT& offset, BYTE type, BYTE usage,
            BYTE usageIndex) {
    elements.push_back(
        {0, static_cast<WORD>(offset), type, D3DDECLMETHOD_DEFAULT, usage, usageIndex});
    offset += declTypeSize(type);
}

}  // namespace

bool fvfLayout(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements, UINT& size) {
    elements.clear();
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

UINT verticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    switch (type) {
        case D3DPT_POINTLIST:
            return primitiveCount;
        case D3DPT_LINELIST:
            return primitiveCount * 2;
        case D3DPT_LINESTRIP:
            return primitiveCount + 1;
        case D3DPT_TRIANGLELIST:
            return primitiveCount * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return primitiveCount + 2;
        default:
            return 0;
    }
}

}  // namespace d3d9
