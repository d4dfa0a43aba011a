// The small part of COM the game uses: IUnknown, apartment set-up and in-process object
// creation. Only the DirectMusic classes are creatable; everything else is reached
// through the factory functions of its own interface.
#pragma once

#include <unknwn.h>
#include <windows.h>

#define COINIT_MULTITHREADED 0x0u
#define COINIT_APARTMENTTHREADED 0x2u

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_INPROC_HANDLER 0x2u
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)

constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

// Counted: S_OK for the first call, S_FALSE for nested ones. Objects can only be created
// between the first CoInitializeEx and the matching last CoUninitialize.
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();

// Creates CLSID_DirectMusicPerformance or CLSID_DirectMusicLoader (the context must
// include CLSCTX_INPROC_SERVER, no aggregation). The object comes with one reference.
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                         LPVOID* object);
