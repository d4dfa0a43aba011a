// MessageBoxW: a test's handler when one is set; otherwise standard error, plus the window
// layer's box once its video system is up, except on the crash path.
#include <unistd.h>

#include <atomic>
#include <utility>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/seams.h"

namespace {

win32::MessageBoxHandler& messageBoxHandler() {
    static win32::MessageBoxHandler handler;
    return handler;
}

std::atomic<win32::detail::MessageBoxPresenter> presenter{nullptr};

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    // Windows shows "Error" for a box without a caption.
    const wchar_t* shownCaption = caption != nullptr ? caption : L"Error";
    const wchar_t* shownText = text != nullptr ? text : L"";
    if (messageBoxHandler()) {
        return messageBoxHandler()(win32::MessageBoxCall{owner, shownText, shownCaption, type});
    }
    win32::detail::MessageBoxPresenter present = presenter.load();
    if (present != nullptr && !win32::detail::isCrashing()) {
        present(shownText, shownCaption);
        return IDOK;
    }
    // Written without allocating: the crash handler reports through here.
    win32::detail::writeWide(STDERR_FILENO, shownCaption);
    win32::detail::writeBytes(STDERR_FILENO, ": ", 2);
    win32::detail::writeWide(STDERR_FILENO, shownText);
    win32::detail::writeBytes(STDERR_FILENO, "\n", 1);
    return IDOK;
}

namespace win32 {

namespace detail {

void setMessageBoxPresenter(MessageBoxPresenter newPresenter) {
    presenter.store(newPresenter);
}

}  // namespace detail

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(messageBoxHandler(), std::move(handler));
}

}  // namespace win32
