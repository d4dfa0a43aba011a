// What the window layer hears of the keyboard, the mouse and window focus, published for the
// platform's DirectInput, which reads input as Windows' raw input would rather than through
// the message queue. Not for engine or game code.
#pragma once

#include "win32/types.h"

namespace win32 {

class InputListener {
public:
    // A key went down or up (auto-repeat is not reported); dik is the key's DirectInput code.
    virtual void keyChanged(HWND window, BYTE dik, bool down) = 0;
    // button 0 left, 1 right, 2 middle.
    virtual void mouseButtonChanged(HWND window, int button, bool down) = 0;
    // Relative motion in pixels (mickeys).
    virtual void mouseMoved(HWND window, int dx, int dy) = 0;
    virtual void focusChanged(HWND window, bool focused) = 0;

protected:
    ~InputListener() = default;
};

// One listener at a time; null stops the reports. Without a listener a report costs a test.
void setInputListener(InputListener* listener);

enum class WindowFocus {
    NeverReported,  // no focus event yet: the offscreen driver and the headless backend
    Focused,
    Lost
};
// NeverReported for a window that does not exist.
WindowFocus windowFocus(HWND window);

}  // namespace win32
