#include "engine/core/errors.h"

#include <dxerr9.h>

#include <stdexcept>

#include "engine/core/strings.h"

namespace kesh {

void throwRuntimeError(const std::wstring& message) {
    throw std::runtime_error(toNarrow(message));
}

void throwDxError(HRESULT hr, const std::wstring& message) {
    std::wstring text = message;
    text += L" (";
    text += DXGetErrorString9W(hr);
    text += L": ";
    text += DXGetErrorDescription9W(hr);
    text += L")";
    throw std::runtime_error(toNarrow(text));
}

}  // namespace kesh
