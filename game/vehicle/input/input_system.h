// The player's driving controls through DirectInput action mapping: every keyboard, mouse
// and game controller is mapped onto the driving actions, and each physics step folds the
// buffered events of all of them into one DrivingInput, choosing between the controllers,
// the mouse and the keys.
#pragma once

#include <dinput.h>

#include <memory>
#include <utility>
#include <vector>

#include "game/vehicle/input/driving_actions.h"
#include "game/vehicle/input/driving_input.h"
#include "win32/com_ptr.h"

class InputSystem {
public:
    // Creates DirectInput for the executable's module and maps the driving actions onto
    // every attached device, each set to the window's foreground, non-exclusive level.
    // Throws std::runtime_error when DirectInput cannot be created.
    explicit InputSystem(HWND window);
    // Unacquires and releases every device, then DirectInput itself.
    ~InputSystem();
    InputSystem(const InputSystem&) = delete;
    InputSystem& operator=(const InputSystem&) = delete;

    // Reads up to 10 events from each device and fills out: with the joystick flag the
    // largest controller values win, with the mouse flag the mouse steering may beat them,
    // and a held key beats both (scaled by keySensitivity); the mouse buttons count as keys
    // with the mouse flag only. The handbrake is Space, the middle mouse button with the
    // mouse flag and a controller's brake button with the joystick flag. Allocates nothing.
    void poll(DrivingInput& out);

    // Keeps a copy of format (its action array must outlive this object or the next call).
    // With enumerate, drops every device and enumerates them afresh through addDevice;
    // without, maps format onto the devices kept. Returns the first failure.
    HRESULT applyActionFormat(const DIACTIONFORMATW& format, bool enumerate);
    // Sets the device up for the kept format and keeps it; a device that fails any step
    // is not kept and the failure returned (E_INVALIDARG for a null device).
    HRESULT addDevice(const DIDEVICEINSTANCEW* instance, IDirectInputDevice8W* device);

    // Mouse steering starts centred whenever it is switched on.
    void setMouseEnabled(bool enabled);
    void setJoystickEnabled(bool enabled) { joystickEnabled = enabled; }
    bool isMouseEnabled() const { return mouseEnabled; }
    bool isJoystickEnabled() const { return joystickEnabled; }

    // The factor of a winning key value; 0 until the play stage sets it.
    double keySensitivity;

private:
    using Device = std::pair<win32::ComPtr<IDirectInputDevice8W>, std::unique_ptr<DeviceState>>;

    void readEvents(const DIDEVICEOBJECTDATA& event, DeviceState& state);
    void releaseDevices();

    double mouseSteering;
    double keyAccelerate;
    double mouseButtonAccelerate;  // -1, 0 or 1 from the left and right mouse buttons
    double keySteering;
    GUID actionMapGuid;
    HWND window;
    std::vector<Device> devices;
    win32::ComPtr<IDirectInput8W> directInput;
    DIACTIONW actions[kDrivingActionCount];
    DIACTIONFORMATW actionFormat;
    bool mouseEnabled;
    bool joystickEnabled;
};
