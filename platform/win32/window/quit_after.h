// The posted quit after a number of idle turns of the message pump: how a test (or a script
// that starts the game) ends a run from outside. Off unless MORVALE_QUIT_AFTER_FRAMES is set
// or a test asks for it; then each PeekMessageW that finds nothing counts one turn.
#pragma once

namespace win32::detail {

// Called by PeekMessageW when it found no message.
void noteIdleTurn();

// One frame on for the frame-locked performance counter (MORVALE_CLOCK_FRAME_MS; the kernel's
// clock); nothing while it is off.
void advanceFrameClock();

}  // namespace win32::detail
