// SDL's video subsystem, started the same way by every layer that needs it.
#pragma once

namespace win32 {

// SDL_InitSubSystem(SDL_INIT_VIDEO), tried again for a moment when a display is named but
// cannot be reached. Pair each success with SDL_QuitSubSystem(SDL_INIT_VIDEO).
bool startSdlVideo();

}  // namespace win32
