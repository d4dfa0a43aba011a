// OutputDebugStringW: standard error unless a test has set its sink.
#include <unistd.h>

#include <utility>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/seams.h"

namespace {

win32::DebugOutputSink& debugOutputSink() {
    static win32::DebugOutputSink sink;
    return sink;
}

}  // namespace

void OutputDebugStringW(LPCWSTR text) {
    if (text == nullptr) {
        return;
    }
    if (debugOutputSink()) {
        debugOutputSink()(text);
        return;
    }
    win32::detail::writeWide(STDERR_FILENO, text);
}

namespace win32 {

DebugOutputSink setDebugOutputSink(DebugOutputSink sink) {
    return std::exchange(debugOutputSink(), std::move(sink));
}

}  // namespace win32
