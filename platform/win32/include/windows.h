// The Win32 interface of the platform layer: base types, the kernel calls and (with the
// window layer) the user-interface calls the game makes, implemented over POSIX and SDL2.
#pragma once

#include "win32/exceptions.h"
#include "win32/format.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/types.h"
#include "win32/user.h"
