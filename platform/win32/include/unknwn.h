// IUnknown: the reference-counted base of every COM-shaped object of the platform layer
// (Direct3D, D3DX, DirectInput, DirectMusic). Objects die when their count reaches 0;
// Release returns the count left.
#pragma once

#include <windows.h>

#define STDMETHODCALLTYPE

extern const IID IID_IUnknown;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects are destroyed by Release only.
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;
