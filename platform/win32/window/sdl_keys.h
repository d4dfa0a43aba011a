// SDL key codes to Windows virtual keys.
#pragma once

#include <SDL.h>

#include "win32/types.h"

namespace win32 {

// 0 for keys the game cannot see.
WPARAM virtualKeyFor(SDL_Keycode key);

}  // namespace win32
