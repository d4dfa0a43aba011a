// Checks of the action format a caller hands in.
#pragma once

#include <dinput.h>

namespace dinput8 {

// The format's sizes are the layer's own structures and its action array is there.
bool validFormat(const DIACTIONFORMATW* format);

// The most events a device buffers, whatever a format asks for.
constexpr DWORD kMaxBufferedEvents = 1024;

}  // namespace dinput8
