// Failures become std::runtime_error with a narrow text.
#pragma once

#include <windows.h>

#include <string>

namespace kesh {

// Throws std::runtime_error with toNarrow(message).
[[noreturn]] void throwRuntimeError(const std::wstring& message);

// Throws std::runtime_error with message + " (" + the DirectX name of hr + ": " + its
// description + ")", narrowed.
[[noreturn]] void throwDxError(HRESULT hr, const std::wstring& message);

}  // namespace kesh
