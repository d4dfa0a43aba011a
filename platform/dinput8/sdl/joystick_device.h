// A joystick, wheel, pedal set or game controller as SDL sees it.
#pragma once

#include <memory>

#include "core/backend.h"
#include "sdl/joystick_subsystem.h"

namespace dinput8 {

// Null when the device at this SDL index cannot be opened.
std::unique_ptr<Backend> makeJoystick(std::shared_ptr<JoystickSubsystem> subsystem, int index);

}  // namespace dinput8
