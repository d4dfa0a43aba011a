// IUnknown: the reference-counted base of every COM-shaped object of the platform layer.
// Objects die when their count reaches 0; Release returns the count left.
#pragma once

#include <windows.h>

#ifndef MORVALE_IUNKNOWN_DEFINED
#define MORVALE_IUNKNOWN_DEFINED

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects are destroyed by Release only.
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

#endif
