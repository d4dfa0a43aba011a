// Reference counting of the D3DX objects, and the holder of one reference.
#pragma once

#include <unknwn.h>

#include "win32/com_object.h"
#include "win32/com_ptr.h"

namespace d3dx9 {

template <class Interface>
using ComObject = win32::ComObject<Interface>;

// The layer's one reference holder under the name the D3DX code has always used.
template <class T>
using ComRef = win32::ComPtr<T>;

}  // namespace d3dx9
