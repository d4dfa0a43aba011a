#include "win32/input_hook.h"

#include "win32/user.h"
#include "window/native_events.h"
#include "window/window_system.h"

namespace win32 {

namespace {

InputListener* listener = nullptr;

// Set 1 scan codes of the keys the window layer can report; the extended ones carry 0x80 as
// DirectInput's codes do (DIK_LEFT 0xCB is E0 4B).
BYTE scanCodeOf(WPARAM key) {
    static const BYTE letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                     0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                     0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    static const BYTE digits[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
    static const BYTE functionKeys[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40,
                                          0x41, 0x42, 0x43, 0x44, 0x57, 0x58};
    static const BYTE numpad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    if (key >= 'A' && key <= 'Z') {
        return letters[key - 'A'];
    }
    if (key >= '0' && key <= '9') {
        return digits[key - '0'];
    }
    if (key >= VK_F1 && key <= VK_F12) {
        return functionKeys[key - VK_F1];
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
        return numpad[key - VK_NUMPAD0];
    }
    switch (key) {
        case VK_BACK:
            return 0x0E;
        case VK_TAB:
            return 0x0F;
        case VK_RETURN:
            return 0x1C;
        case VK_SHIFT:
            return 0x2A;
        case VK_CONTROL:
            return 0x1D;
        case VK_MENU:
            return 0x38;
        case VK_PAUSE:
            return 0xC5;
        case VK_CAPITAL:
            return 0x3A;
        case VK_ESCAPE:
            return 0x01;
        case VK_SPACE:
            return 0x39;
        case VK_PRIOR:
            return 0xC9;
        case VK_NEXT:
            return 0xD1;
        case VK_END:
            return 0xCF;
        case VK_HOME:
            return 0xC7;
        case VK_LEFT:
            return 0xCB;
        case VK_UP:
            return 0xC8;
        case VK_RIGHT:
            return 0xCD;
        case VK_DOWN:
            return 0xD0;
        case VK_INSERT:
            return 0xD2;
        case VK_DELETE:
            return 0xD3;
        case VK_MULTIPLY:
            return 0x37;
        case VK_ADD:
            return 0x4E;
        case VK_SUBTRACT:
            return 0x4A;
        case VK_DECIMAL:
            return 0x53;
        case VK_DIVIDE:
            return 0xB5;
        default:
            return 0;
    }
}

}  // namespace

void setInputListener(InputListener* newListener) {
    listener = newListener;
}

WindowFocus windowFocus(HWND handle) {
    const Window* window = WindowSystem::instance().find(handle);
    return window != nullptr ? window->focus : WindowFocus::NeverReported;
}

namespace detail {

void reportKey(HWND window, WPARAM virtualKey, bool down) {
    if (listener == nullptr) {
        return;
    }
    const BYTE dik = scanCodeOf(virtualKey);
    if (dik != 0) {
        listener->keyChanged(window, dik, down);
    }
}

void reportMouseButton(HWND window, int button, bool down) {
    if (listener != nullptr) {
        listener->mouseButtonChanged(window, button, down);
    }
}

void reportMouseMotion(HWND window, int dx, int dy) {
    if (listener != nullptr && (dx != 0 || dy != 0)) {
        listener->mouseMoved(window, dx, dy);
    }
}

void reportFocus(HWND window, bool focused) {
    if (listener != nullptr) {
        listener->focusChanged(window, focused);
    }
}

}  // namespace detail

}  // namespace win32
