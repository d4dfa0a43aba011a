// DirectInput's share of SDL: the joystick and game-controller subsystems, started while any
// DirectInput object, joystick device or virtual test device lives.
#pragma once

#include <memory>

namespace dinput8 {

class JoystickSubsystem {
public:
    // Null when SDL's joystick subsystem cannot start (then there are no joysticks).
    static std::shared_ptr<JoystickSubsystem> acquire();
    ~JoystickSubsystem();
    JoystickSubsystem(const JoystickSubsystem&) = delete;
    JoystickSubsystem& operator=(const JoystickSubsystem&) = delete;

    // Looks for devices plugged in or out since, and returns how many there are.
    int count();

private:
    JoystickSubsystem() = default;
};

}  // namespace dinput8
