// Full screen through SDL's mode setting. A player whose game ends without releasing its
// device (a failure handler that rethrows, std::terminate) still gets the desktop's mode
// back: held windows are kept in a small table that an exit handler and a terminate
// handler walk. Fatal signals do not restore: SDL and the display server cannot be called
// from a signal handler, and the crash handler's signal path stays async-signal-safe.
#include "display/fullscreen.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <exception>
#include <vector>

#include "d3d9/display.h"
#include "win32/window_seams.h"

namespace d3d9 {

namespace {

struct ModeCalls {
    bool recording = false;
    std::vector<RecordedModeCall> record;
};

ModeCalls& modeCalls() {
    static ModeCalls calls;
    return calls;
}

// One game window holds a mode; a few more slots cover tests and odd programs.
std::array<HWND, 8> heldWindows{};
std::terminate_handler previousTerminate = nullptr;

void onTerminate() {
    restoreDesktopModes();
    if (previousTerminate != nullptr) {
        previousTerminate();
    }
    std::abort();
}

void installLastChance() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    // The record must outlive the exit handler, so it is made before the handler is
    // registered.
    modeCalls();
    std::atexit(restoreDesktopModes);
    previousTerminate = std::set_terminate(onTerminate);
}

// Whether the table holds the window (it has room for every window a program shows).
bool hold(HWND window) {
    for (HWND& slot : heldWindows) {
        if (slot == window) {
            return true;
        }
    }
    for (HWND& slot : heldWindows) {
        if (slot == nullptr) {
            slot = window;
            return true;
        }
    }
    return false;
}

// Whether the window still held its mode (the exit or terminate handler may have given
// it back already).
bool release(HWND window) {
    bool held = false;
    for (HWND& slot : heldWindows) {
        if (slot == window) {
            slot = nullptr;
            held = true;
        }
    }
    return held;
}

bool record(ModeCall call, HWND window, UINT width = 0, UINT height = 0, UINT refresh = 0) {
    ModeCalls& calls = modeCalls();
    if (!calls.recording) {
        return false;
    }
    calls.record.push_back({call, window, width, height, refresh});
    return true;
}

// The display's mode for the parameters: same size and format, the asked refresh rate
// unless it is 0 (any). Falls back to SDL's closest mode of that size.
bool findMode(SDL_Window* native, const D3DPRESENT_PARAMETERS& parameters, SDL_DisplayMode& found) {
    const int display = std::max(0, SDL_GetWindowDisplayIndex(native));
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) != 0) {
            continue;
        }
        if (static_cast<UINT>(mode.w) == parameters.BackBufferWidth &&
            static_cast<UINT>(mode.h) == parameters.BackBufferHeight &&
            displayFormatOf(mode.format) == parameters.BackBufferFormat &&
            (parameters.FullScreen_RefreshRateInHz == 0 ||
             static_cast<UINT>(mode.refresh_rate) == parameters.FullScreen_RefreshRateInHz)) {
            found = mode;
            return true;
        }
    }
    SDL_DisplayMode wanted{};
    wanted.w = static_cast<int>(parameters.BackBufferWidth);
    wanted.h = static_cast<int>(parameters.BackBufferHeight);
    wanted.refresh_rate = static_cast<int>(parameters.FullScreen_RefreshRateInHz);
    return SDL_GetClosestDisplayMode(display, &wanted, &found) != nullptr && found.w == wanted.w &&
           found.h == wanted.h;
}

HRESULT enterFullscreen(HWND window, const D3DPRESENT_PARAMETERS& parameters) {
    if (record(ModeCall::SetDisplayMode, window, parameters.BackBufferWidth,
               parameters.BackBufferHeight, parameters.FullScreen_RefreshRateInHz)) {
        record(ModeCall::EnterFullscreen, window);
        return D3D_OK;
    }
    auto* native = static_cast<SDL_Window*>(win32::sdlWindow(window));
    if (native == nullptr) {
        // A headless window has no display to switch; it stays as it is.
        return D3D_OK;
    }
    SDL_DisplayMode mode{};
    if (!findMode(native, parameters, mode) || SDL_SetWindowDisplayMode(native, &mode) != 0 ||
        SDL_SetWindowFullscreen(native, SDL_WINDOW_FULLSCREEN) != 0) {
        return D3DERR_NOTAVAILABLE;
    }
    // Direct3D shows a full-screen device's window at once. SDL switches a window only once
    // it is shown, and reports the switch done whether or not anybody carried it out: a
    // window left at its windowed size would show the picture shrunk, so that is a failure.
    ShowWindow(window, SW_SHOWNORMAL);
    return win32::confirmFullscreen(window, mode.w, mode.h) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

void leaveFullscreen(HWND window) {
    if (record(ModeCall::LeaveFullscreen, window)) {
        return;
    }
    // Leaving full screen puts the desktop's mode back; a window already destroyed has
    // given its mode back itself.
    if (auto* native = static_cast<SDL_Window*>(win32::sdlWindow(window))) {
        SDL_SetWindowFullscreen(native, 0);
    }
}

}  // namespace

FullscreenMode::~FullscreenMode() {
    restore();
}

HRESULT FullscreenMode::apply(HWND window, const D3DPRESENT_PARAMETERS& parameters) {
    if (parameters.Windowed) {
        restore();
        return D3D_OK;
    }
    if (window_ != nullptr && window_ != window) {
        restore();
    }
    installLastChance();
    const HRESULT result = enterFullscreen(window, parameters);
    if (FAILED(result)) {
        restore();
        return result;
    }
    window_ = window;
    inTable_ = hold(window);
    return D3D_OK;
}

void FullscreenMode::restore() {
    if (window_ == nullptr) {
        return;
    }
    if (release(window_) || !inTable_) {
        leaveFullscreen(window_);
    }
    window_ = nullptr;
}

void restoreDesktopModes() {
    for (HWND& slot : heldWindows) {
        if (slot != nullptr) {
            const HWND window = slot;
            slot = nullptr;
            leaveFullscreen(window);
        }
    }
}

void setModeCallRecording(bool on) {
    modeCalls().recording = on;
}

bool modeCallRecording() {
    return modeCalls().recording;
}

std::vector<RecordedModeCall> recordedModeCalls() {
    return modeCalls().record;
}

void clearRecordedModeCalls() {
    modeCalls().record.clear();
}

}  // namespace d3d9
