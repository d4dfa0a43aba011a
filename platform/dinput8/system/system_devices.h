// The system keyboard and mouse, whose state comes from the window layer's input hook.
#pragma once

#include <memory>

#include "core/backend.h"

namespace dinput8 {

std::unique_ptr<Backend> makeKeyboard();
std::unique_ptr<Backend> makeMouse();

}  // namespace dinput8
