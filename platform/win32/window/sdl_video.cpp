#include "win32/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace win32 {

namespace {

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

bool drawsInMemory(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Whether SDL settled for a memory-only driver although nobody asked for one while a display
// is named: the display was not reached.
bool missedTheDisplay() {
    return !drawsInMemory(std::getenv("SDL_VIDEODRIVER")) &&
           drawsInMemory(SDL_GetCurrentVideoDriver());
}

}  // namespace

bool startSdlVideo() {
    // An X server whose last client has just left resets itself and drops the connections
    // made meanwhile, for a few milliseconds. On a bare server the game is its only client,
    // and the game itself closes a connection right before it opens the next (the OpenGL
    // probe, the mode list, the window): without trying again, one start in twenty lost its
    // window or its modes. Waits about 0.6 s in all before SDL's own outcome stands.
    const bool displayNamed = named("DISPLAY") || named("WAYLAND_DISPLAY");
    int pause = 10;
    for (int attempt = 0;; ++attempt) {
        const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        const bool lastAttempt = !displayNamed || attempt == 6;
        if (lastAttempt || (started && !missedTheDisplay())) {
            return started;
        }
        if (started) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        SDL_Delay(pause);
        pause *= 2;
    }
}

}  // namespace win32
