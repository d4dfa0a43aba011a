#include "game/vehicle/input/input_system.h"

#include <algorithm>
#include <cmath>

#include "engine/core/errors.h"

namespace {

constexpr DWORD kEventsPerPoll = 10;
constexpr DWORD kDeadZone = 500;  // 5 % of every absolute axis
// A full steering axis reads 95 on many wheels: 0.95 x this is a full lock.
constexpr double kSteeringFactor = 1.0526316;
constexpr double kMouseSteeringFactor = 0.2;
constexpr DWORD kPressed = 0x80;

InputSource sourceOf(const DIDEVICEINSTANCEW* instance) {
    switch (instance == nullptr ? 0u : instance->dwDevType & 0xFFu) {
        case DI8DEVTYPE_KEYBOARD:
            return InputSource::Keyboard;
        case DI8DEVTYPE_MOUSE:
            return InputSource::Mouse;
        default:
            return InputSource::Controller;
    }
}

BOOL enumerateDevice(LPCDIDEVICEINSTANCEW instance, LPDIRECTINPUTDEVICE8W device, DWORD, DWORD,
                     LPVOID system) {
    // A device that cannot be set up is skipped; the others still count.
    static_cast<InputSystem*>(system)->addDevice(instance, device);
    return DIENUM_CONTINUE;
}

}  // namespace

InputSystem::InputSystem(HWND window)
    : keySensitivity(0.0),
      mouseSteering(0.0),
      keyAccelerate(0.0),
      mouseButtonAccelerate(0.0),
      keySteering(0.0),
      actionMapGuid(kDrivingActionMapGuid),
      window(window),
      actionFormat{},
      mouseEnabled(false),
      joystickEnabled(false) {
    const HRESULT created =
        DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                           reinterpret_cast<void**>(directInput.out()), nullptr);
    if (FAILED(created) || !directInput) {
        kesh::throwDxError(created, L"Failed to create DirectInput");
    }
    fillDrivingActions(actions);
    DIACTIONFORMATW format = makeDrivingActionFormat(actions);
    format.guidActionMap = actionMapGuid;
    applyActionFormat(format, true);
}

InputSystem::~InputSystem() {
    releaseDevices();
}

void InputSystem::setMouseEnabled(bool enabled) {
    if (enabled && !mouseEnabled) {
        mouseSteering = 0.0;
    }
    mouseEnabled = enabled;
}

void InputSystem::releaseDevices() {
    for (Device& device : devices) {
        device.first->Unacquire();
    }
    devices.clear();
}

HRESULT InputSystem::applyActionFormat(const DIACTIONFORMATW& format, bool enumerate) {
    actionFormat = format;
    if (enumerate) {
        releaseDevices();
        return directInput->EnumDevicesBySemantics(nullptr, &actionFormat, enumerateDevice, this,
                                                   0);
    }
    for (Device& device : devices) {
        device.first->Unacquire();
    }
    for (Device& device : devices) {
        HRESULT result = device.first->BuildActionMap(&actionFormat, nullptr, 0);
        if (SUCCEEDED(result)) {
            result = device.first->SetActionMap(&actionFormat, nullptr, 0);
        }
        if (FAILED(result)) {
            return result;
        }
    }
    return DI_OK;
}

HRESULT InputSystem::addDevice(const DIDEVICEINSTANCEW* instance, IDirectInputDevice8W* device) {
    if (device == nullptr) {
        return E_INVALIDARG;
    }
    device->Unacquire();
    HRESULT result = device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (SUCCEEDED(result)) {
        result = device->BuildActionMap(&actionFormat, nullptr, 0);
    }
    if (SUCCEEDED(result)) {
        result = device->SetActionMap(&actionFormat, nullptr, 0);
    }
    if (SUCCEEDED(result)) {
        DIPROPDWORD deadZone{};
        deadZone.diph.dwSize = sizeof(DIPROPDWORD);
        deadZone.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        deadZone.diph.dwObj = 0;
        deadZone.diph.dwHow = DIPH_DEVICE;
        deadZone.dwData = kDeadZone;
        result = device->SetProperty(DIPROP_DEADZONE, &deadZone.diph);
    }
    if (FAILED(result)) {
        return result;
    }
    auto state = std::make_unique<DeviceState>();
    state->source = sourceOf(instance);
    devices.emplace_back(win32::addRef(device), std::move(state));
    return DI_OK;
}

void InputSystem::readEvents(const DIDEVICEOBJECTDATA& event, DeviceState& state) {
    const double v = static_cast<LONG>(event.dwData) * 0.01;
    const bool pressed = event.dwData == kPressed;
    switch (event.uAppData) {
        case kActionSteer:
            state.steering = v * kSteeringFactor;
            break;
        case kActionMouseSteer:
            // Motion while mouse steering is off would turn the wheel the moment it goes on.
            if (mouseEnabled) {
                mouseSteering = std::clamp(mouseSteering + v * kMouseSteeringFactor, -1.0, 1.0);
            }
            break;
        case kActionTurnLeft:
            keySteering = pressed ? -1.0 : 0.0;
            break;
        case kActionTurnRight:
            keySteering = pressed ? 1.0 : 0.0;
            break;
        case kActionAccelerateAxis:
            state.acceleratorPart = -v;
            state.accelerate = std::clamp(state.acceleratorPart + state.brakePart, -1.0, 1.0);
            break;
        case kActionDecelerateAxis:
            state.brakePart = v;
            state.accelerate = std::clamp(state.acceleratorPart + state.brakePart, -1.0, 1.0);
            break;
        case kActionAccelerateKey:
            (state.source == InputSource::Mouse ? mouseButtonAccelerate : keyAccelerate) =
                pressed ? 1.0 : 0.0;
            break;
        case kActionDecelerateKey:
            (state.source == InputSource::Mouse ? mouseButtonAccelerate : keyAccelerate) =
                pressed ? -1.0 : 0.0;
            break;
        case kActionBrake:
            state.handbrake = pressed;
            break;
        default:
            break;
    }
}

void InputSystem::poll(DrivingInput& out) {
    for (Device& device : devices) {
        IDirectInputDevice8W* input = device.first.get();
        DeviceState& state = *device.second;
        // A device that cannot be acquired holds nothing. While the window is behind, no key
        // is held either: the layer's release events arrive only once it is back.
        const HRESULT acquired = input->Acquire();
        if (FAILED(acquired)) {
            const InputSource source = state.source;
            state = DeviceState{};
            state.source = source;
        }
        if (acquired == DIERR_OTHERAPPHASPRIO) {
            keySteering = 0.0;
            keyAccelerate = 0.0;
            mouseButtonAccelerate = 0.0;
        }
        input->Poll();
        DIDEVICEOBJECTDATA events[kEventsPerPoll];
        DWORD count = kEventsPerPoll;
        if (FAILED(input->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0))) {
            continue;
        }
        for (DWORD i = 0; i < count && i < kEventsPerPoll; ++i) {
            readEvents(events[i], state);
        }
    }

    out = DrivingInput{};
    for (const Device& device : devices) {
        const DeviceState& state = *device.second;
        const bool counts = state.source == InputSource::Keyboard ||
                            (state.source == InputSource::Mouse && mouseEnabled) ||
                            (state.source == InputSource::Controller && joystickEnabled);
        if (!counts) {
            continue;
        }
        if (state.handbrake) {
            out.handbrake = true;
        }
        if (state.source != InputSource::Controller) {
            continue;
        }
        if (std::fabs(state.steering) > std::fabs(out.steering)) {
            out.steering = state.steering;
            out.steeringAnalog = true;
        }
        if (std::fabs(state.accelerate) > std::fabs(out.accelerate)) {
            out.accelerate = state.accelerate;
            out.accelerateAnalog = true;
        }
    }
    if (mouseEnabled && std::fabs(mouseSteering) > std::fabs(out.steering)) {
        out.steering = mouseSteering;
        out.steeringAnalog = true;
    }
    // A key that wins is scaled once, and only its own value.
    if (std::fabs(keySteering) > std::fabs(out.steering)) {
        out.steering = keySteering * keySensitivity;
        out.steeringAnalog = false;
    }
    // With mouse steering on, the mouse buttons are accelerate and brake keys of their own.
    const double heldAccelerate =
        mouseEnabled && std::fabs(mouseButtonAccelerate) > std::fabs(keyAccelerate)
            ? mouseButtonAccelerate
            : keyAccelerate;
    if (std::fabs(heldAccelerate) > std::fabs(out.accelerate)) {
        out.accelerate = heldAccelerate * keySensitivity;
        out.accelerateAnalog = false;
    }
}
