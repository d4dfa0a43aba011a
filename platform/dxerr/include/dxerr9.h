// DirectX error texts: the name and a one-line description of every result code the
// platform layer can return (Direct3D 9, D3DX, DirectInput, DirectMusic, COM and the
// generic codes). Never null: a code that is not in the table gets "Unknown" and a
// description that quotes its value. The returned text stays valid for the life of the
// process, except an unknown code's description, which stays valid until the next call
// for an unknown code on the same thread.
#pragma once

#include <windows.h>

const WCHAR* DXGetErrorString9W(HRESULT hr);
const CHAR* DXGetErrorString9A(HRESULT hr);
const WCHAR* DXGetErrorDescription9W(HRESULT hr);
const CHAR* DXGetErrorDescription9A(HRESULT hr);

// This platform is always Unicode.
#define DXGetErrorString9 DXGetErrorString9W
#define DXGetErrorDescription9 DXGetErrorDescription9W
