// Wide text (UTF-32 wchar_t) to UTF-8, the encoding of file names and of SDL; code points
// that are not characters become U+FFFD.
#pragma once

#include <string>

namespace win32 {

std::string toUtf8(const std::wstring& text);

}  // namespace win32
