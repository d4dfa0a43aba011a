// Wide text (UTF-32 wchar_t) to UTF-8 for SDL.
#pragma once

#include <string>

namespace win32 {

std::string toUtf8(const std::wstring& text);

}  // namespace win32
