// The plain Direct3D 9 value types shared by <d3d9types.h> and the D3DX math: a vector,
// a row-major 4x4 matrix, a float colour and the packed 32-bit ARGB colour.
#pragma once

#include <cstdint>

typedef std::uint32_t D3DCOLOR;

// Bytes in memory: blue, green, red, alpha (0xAARRGGBB read as a little-endian u32).
#define D3DCOLOR_ARGB(a, r, g, b)                                                         \
    ((D3DCOLOR)((((std::uint32_t)(a)&0xffu) << 24) | (((std::uint32_t)(r)&0xffu) << 16) | \
                (((std::uint32_t)(g)&0xffu) << 8) | ((std::uint32_t)(b)&0xffu)))
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xff, r, g, b)

typedef struct _D3DVECTOR {
    float x;
    float y;
    float z;
} D3DVECTOR;

typedef struct _D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
} D3DCOLORVALUE;

// Row-major: _11.._14 is the first row, and a point is a row vector multiplied on the left.
typedef struct _D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
} D3DMATRIX;
