#include "engine/core/log/outputs.h"

#include "engine/core/strings.h"

#include <windows.h>

namespace boost {
namespace log {

void debuggerAppender(const std::string&, const std::string& text) {
    OutputDebugStringW(kesh::toWide(text).c_str());
}

}  // namespace log
}  // namespace boost
