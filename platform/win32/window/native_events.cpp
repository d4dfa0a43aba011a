#include "window/native_events.h"

namespace win32 {

void postMessage(WindowSystem& system, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG posted{};
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    system.post(posted);
}

void beginSizeMove(WindowSystem& system, Window& window) {
    postMessage(system, window.handle, WM_ENTERSIZEMOVE, 0, 0);
}

void resizedTo(WindowSystem& system, Window& window, int width, int height, WPARAM sizeType) {
    window.minimized = false;
    system.setClientSize(window, width, height);
    postMessage(system, window.handle, WM_SIZE, sizeType, MAKELPARAM(width, height));
}

void endSizeMove(WindowSystem& system, Window& window) {
    postMessage(system, window.handle, WM_EXITSIZEMOVE, 0, 0);
}

void minimized(WindowSystem& system, Window& window) {
    window.minimized = true;
    postMessage(system, window.handle, WM_SIZE, SIZE_MINIMIZED, 0);
}

void restored(WindowSystem& system, Window& window) {
    window.minimized = false;
    const RECT client = system.clientRect(window);
    postMessage(system, window.handle, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(client.right, client.bottom));
}

void keyChanged(WindowSystem& system, Window& window, WPARAM virtualKey, bool down, bool repeat) {
    // Repeat count 1; bit 30 is the previous key state, bit 31 the transition.
    LPARAM flags = 1;
    if (!down) {
        flags |= LPARAM{3} << 30;
    } else if (repeat) {
        flags |= LPARAM{1} << 30;
    }
    postMessage(system, window.handle, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, flags);
    if (!repeat) {
        detail::reportKey(window.handle, virtualKey, down);
    }
}

namespace {

// Client pixels to back-buffer pixels: the picture is stretched from the back buffer over the
// whole client area, of the given size.
LPARAM pointerPosition(const Window& window, int x, int y, LONG width, LONG height) {
    if (window.backBufferWidth > 0 && window.backBufferHeight > 0 && width > 0 && height > 0) {
        x = static_cast<int>(static_cast<long long>(x) * window.backBufferWidth / width);
        y = static_cast<int>(static_cast<long long>(y) * window.backBufferHeight / height);
    }
    return MAKELPARAM(x, y);
}

LPARAM pointerPosition(const WindowSystem& system, const Window& window, int x, int y) {
    const RECT client = system.clientRect(window);
    return pointerPosition(window, x, y, client.right, client.bottom);
}

}  // namespace

void mouseMoved(WindowSystem& system, Window& window, int x, int y, int dx, int dy,
                WPARAM buttons) {
    window.pointer = {x, y};
    postMessage(system, window.handle, WM_MOUSEMOVE, buttons,
                pointerPosition(system, window, x, y));
    detail::reportMouseMotion(window.handle, dx, dy);
}

void pointerArrived(WindowSystem& system, Window& window, int x, int y, WPARAM buttons) {
    const RECT client = system.clientRect(window);
    pointerArrived(system, window, x, y, client.right, client.bottom, buttons);
}

void pointerArrived(WindowSystem& system, Window& window, int x, int y, LONG width, LONG height,
                    WPARAM buttons) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    window.pointer = {x, y};
    postMessage(system, window.handle, WM_MOUSEMOVE, buttons,
                pointerPosition(window, x, y, width, height));
}

void mouseButtonChanged(WindowSystem& system, Window& window, int button, bool down, int x, int y) {
    static const UINT downMessages[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT upMessages[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    if (button < 1 || button > 3) {
        return;
    }
    const UINT message = down ? downMessages[button - 1] : upMessages[button - 1];
    postMessage(system, window.handle, message, 0, pointerPosition(system, window, x, y));
    detail::reportMouseButton(window.handle, button - 1, down);
}

void focusChanged(WindowSystem& system, Window& window, bool focused) {
    window.focus = focused ? WindowFocus::Focused : WindowFocus::Lost;
    postMessage(system, window.handle, WM_ACTIVATE, focused ? WA_ACTIVE : WA_INACTIVE, 0);
    detail::reportFocus(window.handle, focused);
}

}  // namespace win32
