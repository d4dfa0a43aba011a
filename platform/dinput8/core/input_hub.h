// The one listener of the window layer's input hook: keeps what the keyboard and the mouse
// buttons hold and hands each report to every live device, which takes what it maps.
#pragma once

#include <vector>

#include "win32/input_hook.h"

namespace dinput8 {

class Device;

class InputHub : public win32::InputListener {
public:
    static InputHub& instance();

    void add(Device* device);
    void remove(Device* device);

    bool keyDown(BYTE dik) const { return keys_[dik]; }
    // 0 left, 1 right, 2 middle.
    bool buttonDown(int button) const;
    // Nothing held (the test seam's reset).
    void forgetHeld();

    void keyChanged(HWND window, BYTE dik, bool down) override;
    void mouseButtonChanged(HWND window, int button, bool down) override;
    void mouseMoved(HWND window, int dx, int dy) override;
    void focusChanged(HWND window, bool focused) override;

private:
    InputHub() = default;

    bool keys_[256] = {};
    bool buttons_[3] = {};
    std::vector<Device*> devices_;
};

}  // namespace dinput8
