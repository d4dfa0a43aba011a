#include "sdl/joystick_subsystem.h"

#include <SDL.h>

namespace dinput8 {

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

}  // namespace

std::shared_ptr<JoystickSubsystem> JoystickSubsystem::acquire() {
    static std::weak_ptr<JoystickSubsystem> current;
    if (std::shared_ptr<JoystickSubsystem> running = current.lock()) {
        return running;
    }
    // Whether the game may read a device is the layer's own decision (its cooperative
    // levels); SDL must not drop joystick input because no window has focus, which under the
    // offscreen driver or without a window manager is always.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        return nullptr;
    }
    // Devices are read by their state; no one drains joystick events from SDL's queue.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    std::shared_ptr<JoystickSubsystem> started(new JoystickSubsystem);
    current = started;
    return started;
}

JoystickSubsystem::~JoystickSubsystem() {
    SDL_QuitSubSystem(kSubsystems);
}

int JoystickSubsystem::count() {
    SDL_JoystickUpdate();
    return SDL_NumJoysticks();
}

}  // namespace dinput8
