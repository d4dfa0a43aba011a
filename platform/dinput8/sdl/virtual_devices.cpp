// The test seam's virtual devices, through SDL's virtual joystick driver.
#include <SDL.h>

#include "dinput8/test_seam.h"
#include "sdl/joystick_subsystem.h"

namespace dinput8_test {

namespace {

SDL_JoystickType sdlType(VirtualKind kind) {
    switch (kind) {
        case VirtualKind::Wheel:
            return SDL_JOYSTICK_TYPE_WHEEL;
        case VirtualKind::Pedals:
            return SDL_JOYSTICK_TYPE_THROTTLE;
        case VirtualKind::Gamepad:
            return SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        case VirtualKind::Joystick:
            break;
    }
    return SDL_JOYSTICK_TYPE_UNKNOWN;
}

SDL_Joystick* joystickOf(void* joystick) {
    return static_cast<SDL_Joystick*>(joystick);
}

// The subsystem stays up while any virtual device lives, so a device outlives the
// DirectInput objects of a test.
std::shared_ptr<dinput8::JoystickSubsystem>& virtualSubsystem() {
    static std::shared_ptr<dinput8::JoystickSubsystem> subsystem;
    return subsystem;
}
int liveVirtualDevices = 0;

}  // namespace

VirtualDevice::VirtualDevice(VirtualKind kind, int axes, int buttons, const char* name) {
    if (!virtualSubsystem()) {
        virtualSubsystem() = dinput8::JoystickSubsystem::acquire();
    }
    ++liveVirtualDevices;
    SDL_VirtualJoystickDesc description{};
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = static_cast<Uint16>(sdlType(kind));
    description.naxes = static_cast<Uint16>(axes);
    description.nbuttons = static_cast<Uint16>(buttons);
    description.name = name;
    const int index = SDL_JoystickAttachVirtualEx(&description);
    if (index < 0) {
        return;
    }
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick == nullptr) {
        SDL_JoystickDetachVirtual(index);
        return;
    }
    joystick_ = joystick;
    instanceId_ = SDL_JoystickInstanceID(joystick);
    if (kind == VirtualKind::Gamepad) {
        for (int trigger : {SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT}) {
            if (trigger < axes) {
                SDL_JoystickSetVirtualAxis(joystick, trigger, SDL_JOYSTICK_AXIS_MIN);
            }
        }
    }
    SDL_JoystickUpdate();
}

VirtualDevice::~VirtualDevice() {
    detach();
    if (--liveVirtualDevices == 0) {
        virtualSubsystem().reset();
    }
}

void VirtualDevice::setAxis(int axis, int value) {
    if (joystick_ != nullptr) {
        SDL_JoystickSetVirtualAxis(joystickOf(joystick_), axis,
                                   static_cast<Sint16>(value < -32768  ? -32768
                                                       : value > 32767 ? 32767
                                                                       : value));
    }
}

void VirtualDevice::setButton(int button, bool down) {
    if (joystick_ != nullptr) {
        SDL_JoystickSetVirtualButton(joystickOf(joystick_), button, down ? 1 : 0);
    }
}

void VirtualDevice::detach() {
    if (joystick_ == nullptr) {
        return;
    }
    SDL_JoystickClose(joystickOf(joystick_));
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == instanceId_) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
    SDL_JoystickUpdate();
}

}  // namespace dinput8_test
