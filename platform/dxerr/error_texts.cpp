// The DXGetError* calls over the one table.
#include <dxerr9.h>

#include "table/error_table.h"

namespace {

const wchar_t* const kUnknownName = L"Unknown";

// "Unknown error 0x88761234": an unknown code still names its value, so the message of a
// failed call can be traced.
template <typename Char>
const Char* unknownDescription(HRESULT code, Char* buffer) {
    const char* prefix = "Unknown error 0x";
    const char* digits = "0123456789ABCDEF";
    int used = 0;
    while (*prefix != '\0') {
        buffer[used++] = static_cast<Char>(*prefix++);
    }
    const auto value = static_cast<std::uint32_t>(code);
    for (int shift = 28; shift >= 0; shift -= 4) {
        buffer[used++] = static_cast<Char>(digits[(value >> shift) & 0xF]);
    }
    buffer[used] = 0;
    return buffer;
}

}  // namespace

const WCHAR* DXGetErrorString9W(HRESULT hr) {
    const dxerr::ErrorEntry* entry = dxerr::findError(hr);
    return entry != nullptr ? entry->wideName : kUnknownName;
}

const CHAR* DXGetErrorString9A(HRESULT hr) {
    const dxerr::ErrorEntry* entry = dxerr::findError(hr);
    return entry != nullptr ? entry->name : "Unknown";
}

const WCHAR* DXGetErrorDescription9W(HRESULT hr) {
    const dxerr::ErrorEntry* entry = dxerr::findError(hr);
    if (entry != nullptr) {
        return entry->wideDescription;
    }
    thread_local wchar_t buffer[32];
    return unknownDescription(hr, buffer);
}

const CHAR* DXGetErrorDescription9A(HRESULT hr) {
    const dxerr::ErrorEntry* entry = dxerr::findError(hr);
    if (entry != nullptr) {
        return entry->description;
    }
    thread_local char buffer[32];
    return unknownDescription(hr, buffer);
}
