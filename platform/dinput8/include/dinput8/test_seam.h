// Test seam of the DirectInput layer: virtual joysticks (wheels, pedals, gamepads) through
// SDL's virtual joystick driver, forced window focus and injected failures. The keyboard and
// the mouse are scripted through the window layer's seams (win32/window_seams.h).
#pragma once

#include <dinput.h>

#include <string>

namespace dinput8_test {

enum class VirtualKind {
    Wheel,     // an SDL wheel: raw joystick, no game-controller mapping
    Pedals,    // an SDL throttle device with axes only
    Joystick,  // a plain raw joystick
    Gamepad,   // an SDL game controller (standard axes and buttons, known mapping)
};

// A virtual device, attached for the object's lifetime; it appears at the next enumeration.
// Raw axis values are SDL's (-32768..32767) and reach the devices at their next Poll.
// A gamepad's axes and buttons are numbered as SDL's controller axes and buttons
// (0 left x, 1 left y, 2 right x, 3 right y, 4 left trigger, 5 right trigger; button 0 A);
// its triggers rest at -32768.
class VirtualDevice {
public:
    VirtualDevice(VirtualKind kind, int axes, int buttons, const char* name);
    ~VirtualDevice();
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    void setAxis(int axis, int value);
    void setButton(int button, bool down);
    // Unplugs the device now (the destructor then does nothing).
    void detach();
    bool attached() const { return joystick_ != nullptr; }

private:
    void* joystick_ = nullptr;  // the seam's own open SDL_Joystick
    int instanceId_ = -1;
};

enum class Foreground {
    FromWindow,  // the window layer's focus: foreground unless focus was lost
    Forced,      // every window is in the foreground
    Background,  // no window is: foreground devices lose acquisition at their next call
};
void setForeground(Foreground foreground);

enum class Call { SetProperty, BuildActionMap, GetDeviceData };
// Calls of the devices whose instance name is deviceName (every device when empty) fail
// with result until clearFailures.
void failCall(Call call, HRESULT result, const std::wstring& deviceName = std::wstring());
void clearFailures();

// Live DirectInput objects and devices made by the layer.
int liveObjects();

// FromWindow focus, no failures, no key or mouse button held.
void reset();

}  // namespace dinput8_test
