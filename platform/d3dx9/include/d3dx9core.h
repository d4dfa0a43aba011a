// D3DX core: the result codes of the D3DX library, ID3DXBuffer (a block of bytes handed
// out by D3DX calls) and ID3DXFont (text drawn through the device as textured quads).
#pragma once

#include <d3d9.h>
#include <windows.h>

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

constexpr HRESULT D3DXERR_CANNOTMODIFYINDEXBUFFER = MAKE_D3DHRESULT(2900);
constexpr HRESULT D3DXERR_INVALIDMESH = MAKE_D3DHRESULT(2901);
constexpr HRESULT D3DXERR_CANNOTATTRSORT = MAKE_D3DHRESULT(2902);
constexpr HRESULT D3DXERR_INVALIDDATA = MAKE_D3DHRESULT(2905);
constexpr HRESULT D3DXERR_LOADEDMESHASNODATA = MAKE_D3DHRESULT(2906);

struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

// A zero-filled buffer of `size` bytes.
HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);

// Text is drawn without a sprite; the parameter exists for the call's shape only.
struct ID3DXSprite;
typedef ID3DXSprite* LPD3DXSPRITE;

typedef struct _D3DXFONT_DESCW {
    INT Height;  // negative: the character height in pixels; positive: the cell height
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    WCHAR FaceName[32];
} D3DXFONT_DESCW, *LPD3DXFONT_DESCW;

struct ID3DXFont : IUnknown {
    // AddRefs the device.
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    // The description as created; Height is the character height actually used (negative).
    virtual HRESULT GetDescW(D3DXFONT_DESCW* desc) = 0;
    // count -1: the text ends at its terminator. Returns the height of the text (with
    // DT_VCENTER or DT_BOTTOM: from rect->top to the bottom of the text), 0 on failure.
    // DT_CALCRECT: rect->right and bottom receive the extent; nothing is drawn. Drawing
    // leaves every device state as it found it.
    virtual INT DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, RECT* rect, DWORD format,
                          D3DCOLOR color) = 0;
    // Between the two, the font does not hold up a device Reset.
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXFont* LPD3DXFONT;

// The installed face closest to desc->FaceName, weight and slant.
HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc,
                                ID3DXFont** font);
