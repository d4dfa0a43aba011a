#include "core/input_hub.h"

#include <algorithm>
#include <iterator>

#include "core/device.h"

namespace dinput8 {

InputHub& InputHub::instance() {
    static InputHub hub;
    return hub;
}

void InputHub::add(Device* device) {
    if (devices_.empty()) {
        win32::setInputListener(this);
    }
    devices_.push_back(device);
}

void InputHub::remove(Device* device) {
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
    // Key states stay known between devices: a key held while the game re-enumerates is
    // still down for the next keyboard device.
}

bool InputHub::buttonDown(int button) const {
    return button >= 0 && button < 3 && buttons_[button];
}

void InputHub::forgetHeld() {
    std::fill(std::begin(keys_), std::end(keys_), false);
    std::fill(std::begin(buttons_), std::end(buttons_), false);
}

void InputHub::keyChanged(HWND, BYTE dik, bool down) {
    keys_[dik] = down;
    for (Device* device : devices_) {
        device->keyChanged(dik, down);
    }
}

void InputHub::mouseButtonChanged(HWND, int button, bool down) {
    if (button < 0 || button >= 3) {
        return;
    }
    buttons_[button] = down;
    for (Device* device : devices_) {
        device->mouseButtonChanged(button, down);
    }
}

void InputHub::mouseMoved(HWND, int dx, int dy) {
    for (Device* device : devices_) {
        device->mouseMoved(dx, dy);
    }
}

void InputHub::focusChanged(HWND window, bool focused) {
    if (focused) {
        return;
    }
    for (Device* device : devices_) {
        device->windowLostFocus(window);
    }
}

}  // namespace dinput8
