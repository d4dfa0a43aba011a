#include "sdl/joystick_device.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace dinput8 {

namespace {

// An axis further than this from the middle when the device is mapped rests at an end: a
// pedal. Wheels, sticks and combined pedals rest in the middle.
constexpr int kPedalThreshold = 24576;

DWORD axisId(int index) {
    return DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(index);
}

DWORD buttonId(int index) {
    return DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(index);
}

// Device names are ASCII in practice; anything else shows as '?'.
void copyName(WCHAR* out, const char* name) {
    const char* text = name != nullptr ? name : "Joystick";
    std::size_t length = 0;
    for (; text[length] != '\0' && length < 259; ++length) {
        const auto unit = static_cast<unsigned char>(text[length]);
        out[length] = unit < 0x80 ? static_cast<WCHAR>(unit) : L'?';
    }
    out[length] = L'\0';
}

class Joystick : public Backend {
public:
    Joystick(std::shared_ptr<JoystickSubsystem> subsystem, SDL_Joystick* joystick,
             SDL_GameController* controller)
        : subsystem_(std::move(subsystem)), joystick_(joystick), controller_(controller) {
        const SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick_);
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        instance_.dwSize = sizeof instance_;
        std::memcpy(&instance_.guidProduct, guid.data, sizeof instance_.guidProduct);
        // The product identity with the SDL instance id folded in: two identical wheels
        // are two devices.
        instance_.guidInstance = instance_.guidProduct;
        instance_.guidInstance.Data1 ^= static_cast<DWORD>(id) + 1u;
        instance_.guidInstance.Data4[7] ^= 0x5A;
        if (controller_ != nullptr) {
            instance_.dwDevType = DI8DEVTYPE_GAMEPAD;
        } else {
            const SDL_JoystickType type = SDL_JoystickGetType(joystick_);
            instance_.dwDevType =
                type == SDL_JOYSTICK_TYPE_WHEEL || type == SDL_JOYSTICK_TYPE_THROTTLE
                    ? DI8DEVTYPE_DRIVING
                    : DI8DEVTYPE_JOYSTICK;
        }
        copyName(instance_.tszInstanceName, SDL_JoystickName(joystick_));
        copyName(instance_.tszProductName, SDL_JoystickName(joystick_));
    }

    ~Joystick() override {
        if (controller_ != nullptr) {
            SDL_GameControllerClose(controller_);
        } else {
            SDL_JoystickClose(joystick_);
        }
    }

    const DIDEVICEINSTANCEW& instance() const override { return instance_; }

    bool map(DWORD semantic, DeviceObject& object) override {
        if (controller_ != nullptr) {
            return mapController(semantic, object);
        }
        classify();
        switch (semantic) {
            case DIAXIS_DRIVINGR_STEER:
                return axis(centred_, 0, ObjectKind::Axis, object);
            case DIAXIS_DRIVINGR_ACCEL_AND_BRAKE:
                // A stick's second axis; a device with pedals uses them instead.
                return pedals_.empty() && axis(centred_, 1, ObjectKind::Axis, object);
            case DIAXIS_DRIVINGR_ACCELERATE:
                return axis(pedals_, 0, ObjectKind::Pedal, object);
            case DIAXIS_DRIVINGR_BRAKE:
                return axis(pedals_, 1, ObjectKind::Pedal, object);
            case DIBUTTON_DRIVINGR_BRAKE:
                if (SDL_JoystickNumButtons(joystick_) > 0) {
                    object = {buttonId(0), ObjectKind::Button};
                    return true;
                }
                return false;
            default:
                return false;
        }
    }

    bool kindOf(DWORD id, ObjectKind& kind) const override {
        const int index = static_cast<int>(DIDFT_GETINSTANCE(id));
        if ((id & 0xFFu) == DIDFT_PSHBUTTON) {
            kind = ObjectKind::Button;
            return controller_ != nullptr ? index < SDL_CONTROLLER_BUTTON_MAX
                                          : index < SDL_JoystickNumButtons(joystick_);
        }
        if ((id & 0xFFu) != DIDFT_ABSAXIS) {
            return false;
        }
        if (controller_ != nullptr) {
            kind = index == SDL_CONTROLLER_AXIS_TRIGGERLEFT ||
                           index == SDL_CONTROLLER_AXIS_TRIGGERRIGHT
                       ? ObjectKind::Pedal
                       : ObjectKind::Axis;
            return index < SDL_CONTROLLER_AXIS_MAX;
        }
        for (int pedal : pedals_) {
            if (pedal == index) {
                kind = ObjectKind::Pedal;
                return true;
            }
        }
        kind = ObjectKind::Axis;
        return index < SDL_JoystickNumAxes(joystick_);
    }

    bool polled() const override { return true; }

    bool attached() const override { return SDL_JoystickGetAttached(joystick_) == SDL_TRUE; }

    void update() override { SDL_JoystickUpdate(); }

    RawValue read(DWORD id) const override {
        const int index = static_cast<int>(DIDFT_GETINSTANCE(id));
        if ((id & 0xFFu) == DIDFT_PSHBUTTON) {
            const Uint8 down = controller_ != nullptr
                                   ? SDL_GameControllerGetButton(
                                         controller_, static_cast<SDL_GameControllerButton>(index))
                                   : SDL_JoystickGetButton(joystick_, index);
            return {down != 0 ? 1 : 0, 0, 1};
        }
        if (controller_ != nullptr) {
            const auto controllerAxis = static_cast<SDL_GameControllerAxis>(index);
            const bool trigger = controllerAxis == SDL_CONTROLLER_AXIS_TRIGGERLEFT ||
                                 controllerAxis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
            return {SDL_GameControllerGetAxis(controller_, controllerAxis),
                    trigger ? 0 : SDL_JOYSTICK_AXIS_MIN, SDL_JOYSTICK_AXIS_MAX};
        }
        return {SDL_JoystickGetAxis(joystick_, index), SDL_JOYSTICK_AXIS_MIN,
                SDL_JOYSTICK_AXIS_MAX};
    }

private:
    // Gamepads with a known mapping: the left stick steers, the right trigger accelerates,
    // the left one brakes, A is the brake button.
    bool mapController(DWORD semantic, DeviceObject& object) {
        SDL_GameControllerAxis controllerAxis = SDL_CONTROLLER_AXIS_INVALID;
        ObjectKind kind = ObjectKind::Axis;
        switch (semantic) {
            case DIAXIS_DRIVINGR_STEER:
                controllerAxis = SDL_CONTROLLER_AXIS_LEFTX;
                break;
            case DIAXIS_DRIVINGR_ACCELERATE:
                controllerAxis = SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
                kind = ObjectKind::Pedal;
                break;
            case DIAXIS_DRIVINGR_BRAKE:
                controllerAxis = SDL_CONTROLLER_AXIS_TRIGGERLEFT;
                kind = ObjectKind::Pedal;
                break;
            case DIBUTTON_DRIVINGR_BRAKE:
                if (SDL_GameControllerHasButton(controller_, SDL_CONTROLLER_BUTTON_A)) {
                    object = {buttonId(SDL_CONTROLLER_BUTTON_A), ObjectKind::Button};
                    return true;
                }
                return false;
            default:
                return false;
        }
        if (!SDL_GameControllerHasAxis(controller_, controllerAxis)) {
            return false;
        }
        object = {axisId(controllerAxis), kind};
        return true;
    }

    // Wheels and pedals are raw joysticks: which axis is what is told by where each rests,
    // read once, when the device is first mapped.
    void classify() {
        if (classified_) {
            return;
        }
        classified_ = true;
        SDL_JoystickUpdate();
        const int axes = SDL_JoystickNumAxes(joystick_);
        for (int i = 0; i < axes; ++i) {
            const int value = SDL_JoystickGetAxis(joystick_, i);
            (std::abs(value) >= kPedalThreshold ? pedals_ : centred_).push_back(i);
        }
    }

    static bool axis(const std::vector<int>& axes, std::size_t which, ObjectKind kind,
                     DeviceObject& object) {
        if (which >= axes.size()) {
            return false;
        }
        object = {axisId(axes[which]), kind};
        return true;
    }

    std::shared_ptr<JoystickSubsystem> subsystem_;
    SDL_Joystick* joystick_;
    SDL_GameController* controller_;
    DIDEVICEINSTANCEW instance_{};
    bool classified_ = false;
    std::vector<int> centred_;
    std::vector<int> pedals_;
};

}  // namespace

std::unique_ptr<Backend> makeJoystick(std::shared_ptr<JoystickSubsystem> subsystem, int index) {
    if (!subsystem) {
        return nullptr;
    }
    SDL_GameController* controller = nullptr;
    SDL_Joystick* joystick = nullptr;
    if (SDL_IsGameController(index)) {
        controller = SDL_GameControllerOpen(index);
        joystick = controller != nullptr ? SDL_GameControllerGetJoystick(controller) : nullptr;
        if (controller != nullptr && joystick == nullptr) {
            SDL_GameControllerClose(controller);
            controller = nullptr;
        }
    }
    if (joystick == nullptr) {
        joystick = SDL_JoystickOpen(index);
    }
    if (joystick == nullptr) {
        return nullptr;
    }
    return std::make_unique<Joystick>(std::move(subsystem), joystick, controller);
}

}  // namespace dinput8
