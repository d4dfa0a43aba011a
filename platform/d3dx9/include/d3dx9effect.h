// D3DX effects: an effect file compiled at run time into techniques and passes whose state
// assignments go to the device, with parameters set by name. Handles are the parameter and
// technique names themselves. Effects never save or restore device state around Begin/End:
// every pass leaves what it set, as with D3DXFX_DONOTSAVESTATE.
#pragma once

#include <d3d9.h>

#include "d3dx9core.h"
#include "d3dx9math.h"

typedef const char* D3DXHANDLE;

struct D3DXMACRO {
    const char* Name;
    const char* Definition;
};
typedef D3DXMACRO* LPD3DXMACRO;

enum D3DXINCLUDE_TYPE { D3DXINC_LOCAL = 0, D3DXINC_SYSTEM = 1 };

// A caller's include handler. The effects of the game pass none: #include then resolves
// beside the including file (FromFile) or fails (memory and resources).
struct ID3DXInclude {
    virtual HRESULT Open(D3DXINCLUDE_TYPE type, const char* name, const void* parentData,
                         const void** data, UINT* bytes) = 0;
    virtual HRESULT Close(const void* data) = 0;

protected:
    ~ID3DXInclude() = default;
};
typedef ID3DXInclude* LPD3DXINCLUDE;

#define D3DXFX_DONOTSAVESTATE 0x1u
#define D3DXFX_DONOTSAVESHADERSTATE 0x2u
#define D3DXFX_DONOTSAVESAMPLERSTATE 0x4u

// Parameters of the same name (and shape) are shared by every effect created with the pool.
struct ID3DXEffectPool : IUnknown {};
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;

struct ID3DXEffect : IUnknown {
    // AddRef the returned object.
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetPool(ID3DXEffectPool** pool) = 0;

    // Setters and getters by parameter name. A name the effect lacks, or a value that does
    // not fit the parameter's type, returns D3DERR_INVALIDCALL and changes nothing.
    // SetInt on a float3/float4 stores the D3DCOLOR unpacked to (r, g, b, a) / 255.
    virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
    virtual HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) = 0;
    virtual HRESULT SetInt(D3DXHANDLE parameter, INT value) = 0;
    virtual HRESULT GetInt(D3DXHANDLE parameter, INT* value) = 0;
    virtual HRESULT SetFloat(D3DXHANDLE parameter, FLOAT value) = 0;
    virtual HRESULT GetFloat(D3DXHANDLE parameter, FLOAT* value) = 0;
    virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* value) = 0;
    virtual HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* value) = 0;
    virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* value) = 0;
    virtual HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* value) = 0;
    // The effect holds a reference to the texture until another is set; NULL unbinds.
    virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;
    // AddRefs the texture returned (NULL when none is set).
    virtual HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) = 0;

    // Technique handles are technique names. `after` NULL starts at the first technique;
    // the result is the next one, in file order, whose shaders run on the device.
    virtual HRESULT FindNextValidTechnique(D3DXHANDLE after, D3DXHANDLE* technique) = 0;
    virtual HRESULT ValidateTechnique(D3DXHANDLE technique) = 0;
    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
    virtual D3DXHANDLE GetCurrentTechnique() = 0;

    // Begin gives the current technique's pass count. BeginPass applies a pass's state
    // assignments, reading <param> values at that moment; CommitChanges re-applies those
    // whose parameters changed since, and the shader constants.
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    virtual HRESULT BeginPass(UINT pass) = 0;
    virtual HRESULT CommitChanges() = 0;
    virtual HRESULT EndPass() = 0;
    virtual HRESULT End() = 0;

    // Between the two, the effect does not hold up a device Reset.
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXEffect* LPD3DXEFFECT;

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool);

// `length` counts the text's bytes; a trailing NUL ends the text. Compiler messages come
// back in `errors` (NUL-terminated text, "name(line): error: ...") when it is not NULL.
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT length,
                         const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                         ID3DXEffectPool* pool, ID3DXEffect** effect, ID3DXBuffer** errors);
HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, const char* file,
                                  const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                  ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors);
// The RCDATA resource `name` of the program (names compare without regard to case).
HRESULT D3DXCreateEffectFromResourceW(IDirect3DDevice9* device, HMODULE module, const wchar_t* name,
                                      const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                      ID3DXEffectPool* pool, ID3DXEffect** effect,
                                      ID3DXBuffer** errors);
