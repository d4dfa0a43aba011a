// OutputDebugStringW and, until the window layer shows real boxes, MessageBoxW: both end on
// standard error unless a test has set its seam.
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

win32::MessageBoxHandler& messageBoxHandler() {
    static win32::MessageBoxHandler handler;
    return handler;
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

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    // Windows shows "Error" for a box without a caption.
    const wchar_t* shownCaption = caption != nullptr ? caption : L"Error";
    const wchar_t* shownText = text != nullptr ? text : L"";
    if (messageBoxHandler()) {
        return messageBoxHandler()(win32::MessageBoxCall{owner, shownText, shownCaption, type});
    }
    // Written without allocating: the crash handler reports through here.
    win32::detail::writeWide(STDERR_FILENO, shownCaption);
    win32::detail::writeBytes(STDERR_FILENO, ": ", 2);
    win32::detail::writeWide(STDERR_FILENO, shownText);
    win32::detail::writeBytes(STDERR_FILENO, "\n", 1);
    return IDOK;
}

namespace win32 {

DebugOutputSink setDebugOutputSink(DebugOutputSink sink) {
    return std::exchange(debugOutputSink(), std::move(sink));
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(messageBoxHandler(), std::move(handler));
}

}  // namespace win32
