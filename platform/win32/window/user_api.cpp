// The Win32 window calls over the window system.
#include <atomic>
#include <cstring>

#include "window/native_events.h"
#include "window/quit_after.h"
#include "window/window_system.h"

namespace {

using win32::Window;
using win32::WindowSystem;

WindowSystem& windows() {
    return WindowSystem::instance();
}

// Icons, cursors and device contexts are distinct handles that nothing dereferences.
template <class Handle>
Handle newHandle() {
    static std::atomic<ULONG_PTR> next{0x7f000000};
    return reinterpret_cast<Handle>(next.fetch_add(0x10));
}

HDC screenDc() {
    static const HDC dc = newHandle<HDC>();
    return dc;
}

}  // namespace

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) {
    return windowClass != nullptr ? windows().registerClass(*windowClass) : 0;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    return windows().unregisterClass(className) ? TRUE : FALSE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    return windows().createWindow(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menu, instance, param);
}

BOOL DestroyWindow(HWND window) {
    return windows().destroyWindow(window) ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    return windows().find(window) != nullptr ? TRUE : FALSE;
}

HWND GetDesktopWindow() {
    return windows().desktopHandle();
}

HMENU GetMenu(HWND) {
    return nullptr;
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    window->visible = command != SW_HIDE;
    windows().moveWindow(*window, window->rect);
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) {
        win32::minimized(windows(), *window);
    } else if (command == SW_RESTORE && window->minimized) {
        win32::restored(windows(), *window);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    return IsWindow(window);
}

namespace {

// The desktop answers with its own rectangle, a window with the one `pick` chooses.
template <class Pick>
BOOL windowRectangle(HWND handle, LPRECT rect, Pick pick) {
    if (rect == nullptr) {
        return FALSE;
    }
    if (handle == windows().desktopHandle()) {
        *rect = windows().desktopRect();
        return TRUE;
    }
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    *rect = pick(*window);
    return TRUE;
}

}  // namespace

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    return windowRectangle(handle, rect, [](const Window& window) { return window.rect; });
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    return windowRectangle(handle, rect,
                           [](const Window& window) { return windows().clientRect(window); });
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD) {
    if (rect == nullptr) {
        return FALSE;
    }
    const RECT insets = windows().frameInsets(style, menu != FALSE);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
    Window* window = windows().find(handle);
    if (window == nullptr || width < 0 || height < 0) {
        return FALSE;
    }
    windows().moveWindow(*window, {x, y, x + width, y + height});
    return TRUE;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    window->title = text != nullptr ? text : L"";
    windows().moveWindow(*window, window->rect);
    return TRUE;
}

namespace {

// The window's extra bytes hold values at byte offsets. The whole value must fit: a 4-byte
// slot cannot hold a 64-bit pointer. Both give 0 (and change nothing) when it does not.
template <class T>
T readExtra(const Window& window, int index) {
    T value = 0;
    if (static_cast<size_t>(index) + sizeof(T) <= window.extra.size()) {
        std::memcpy(&value, window.extra.data() + index, sizeof value);
    }
    return value;
}

template <class T>
T exchangeExtra(Window& window, int index, T value) {
    if (static_cast<size_t>(index) + sizeof(T) > window.extra.size()) {
        return 0;
    }
    const T previous = readExtra<T>(window, index);
    std::memcpy(window.extra.data() + index, &value, sizeof value);
    return previous;
}

}  // namespace

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return 0;
    }
    if (index >= 0) {
        return exchangeExtra<LONG_PTR>(*window, index, value);
    }
    LONG_PTR previous = 0;
    switch (index) {
        case GWL_STYLE:
            previous = static_cast<LONG_PTR>(window->style);
            window->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(window->exStyle);
            window->exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_USERDATA:
            previous = window->userData;
            window->userData = value;
            break;
        case GWLP_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(window->procedure);
            window->procedure = reinterpret_cast<WNDPROC>(value);
            break;
        default:
            return 0;
    }
    return previous;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return 0;
    }
    if (index >= 0) {
        return readExtra<LONG_PTR>(*window, index);
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG_PTR>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(window->exStyle);
        case GWLP_USERDATA:
            return window->userData;
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->procedure);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        default:
            return 0;
    }
}

LONG SetWindowLongW(HWND handle, int index, LONG value) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return 0;
    }
    if (index >= 0) {
        return exchangeExtra<LONG>(*window, index, value);
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        return static_cast<LONG>(
            SetWindowLongPtrW(handle, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
    }
    return 0;
}

LONG GetWindowLongW(HWND handle, int index) {
    Window* window = windows().find(handle);
    if (window == nullptr) {
        return 0;
    }
    if (index >= 0) {
        return readExtra<LONG>(*window, index);
    }
    if (index == GWL_STYLE) {
        return static_cast<LONG>(window->style);
    }
    if (index == GWL_EXSTYLE) {
        return static_cast<LONG>(window->exStyle);
    }
    return 0;
}

ULONG_PTR SetClassLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window* window = windows().find(handle);
    win32::WindowClass* windowClass = window != nullptr ? windows().classOf(*window) : nullptr;
    if (windowClass == nullptr) {
        return 0;
    }
    HICON* slot = index == GCL_HICON     ? &windowClass->icon
                  : index == GCL_HICONSM ? &windowClass->iconSmall
                                         : nullptr;
    if (slot == nullptr) {
        return 0;
    }
    const auto previous = reinterpret_cast<ULONG_PTR>(*slot);
    *slot = reinterpret_cast<HICON>(value);
    return previous;
}

DWORD SetClassLongW(HWND handle, int index, LONG value) {
    return static_cast<DWORD>(SetClassLongPtrW(handle, index, value));
}

HICON LoadIconW(HINSTANCE, LPCWSTR) {
    return newHandle<HICON>();
}
HCURSOR LoadCursorW(HINSTANCE, LPCWSTR) {
    return newHandle<HCURSOR>();
}
HICON CopyIcon(HICON icon) {
    return icon != nullptr ? newHandle<HICON>() : nullptr;
}
BOOL DestroyIcon(HICON icon) {
    return icon != nullptr ? TRUE : FALSE;
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (message == nullptr) {
        return FALSE;
    }
    if (windows().peek(*message, window, filterMin, filterMax, (remove & PM_REMOVE) != 0)) {
        return TRUE;
    }
    win32::detail::noteIdleTurn();
    return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    return message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_KEYUP)
               ? TRUE
               : FALSE;
}

LRESULT DispatchMessageW(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    return windows().send(message->hwnd, message->message, message->wParam, message->lParam);
}

int TranslateAcceleratorW(HWND, HACCEL, LPMSG) {
    return 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && windows().find(window) == nullptr) {
        return FALSE;
    }
    win32::postMessage(windows(), window, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windows().send(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    windows().postQuit(exitCode);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCCREATE:
            return TRUE;
        default:
            return 0;
    }
}

HDC GetDC(HWND) {
    return screenDc();
}
int ReleaseDC(HWND, HDC dc) {
    return dc == screenDc() ? 1 : 0;
}

int GetDeviceCaps(HDC dc, int index) {
    if (dc != screenDc()) {
        return 0;
    }
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}
