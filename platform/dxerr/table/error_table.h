// The one table behind the DirectX error texts. To add codes, add lines to error_table.cpp.
#pragma once

#include <windows.h>

namespace dxerr {

struct ErrorEntry {
    HRESULT code;
    const char* name;
    const wchar_t* wideName;
    const char* description;
    const wchar_t* wideDescription;
};

// The entry of a code, or null when the table does not know it.
const ErrorEntry* findError(HRESULT code);

}  // namespace dxerr
