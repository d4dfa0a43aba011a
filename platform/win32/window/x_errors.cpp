#include "window/x_errors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "window/native_events.h"
#include "window/window_system.h"

namespace win32 {

namespace {

thread_local bool quiet = false;

std::atomic<bool> errorNoted{false};
// The first error since the last report; written only while errorNoted is false.
XErrorEvent firstError{};

// Xlib's error callback runs with the connection's lock held: no request may be made here.
int noteError(Display*, XErrorEvent* error) {
    if (!quiet && !errorNoted.load()) {
        firstError = *error;
        errorNoted.store(true);
    }
    return 0;
}

// The connection is gone: nothing can be asked of the display any more, not even the mode
// back (the server gives up the client's windows itself). Xlib ends the process after this
// returns, through exit handlers that would talk to the display again; end it here instead.
int connectionLost(Display*) {
    static const char text[] = "morvale: the connection to the X server was lost\n";
    const ssize_t written = write(STDERR_FILENO, text, sizeof text - 1);
    static_cast<void>(written);
    _exit(1);
}

}  // namespace

void catchXErrors() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        XSetErrorHandler(noteError);
        XSetIOErrorHandler(connectionLost);
    }
}

void closeWindowsAfterXError(WindowSystem& system) {
    if (!errorNoted.load()) {
        return;
    }
    std::fprintf(stderr,
                 "morvale: X error %d (request %d.%d, resource 0x%lx): closing the windows\n",
                 firstError.error_code, firstError.request_code, firstError.minor_code,
                 firstError.resourceid);
    errorNoted.store(false);
    for (HWND handle : system.windows()) {
        postMessage(system, handle, WM_CLOSE, 0, 0);
    }
}

void answerHideOfLostWindow(void* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    auto* native = static_cast<SDL_Window*>(sdlWindow);
    if (native == nullptr || (SDL_GetWindowFlags(native) & SDL_WINDOW_SHOWN) == 0 ||
        !SDL_GetWindowWMInfo(native, &info) || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    Display* display = info.info.x11.display;
    XWindowAttributes attributes{};
    {
        const QuietXErrors quiet;
        if (XGetWindowAttributes(display, info.info.x11.window, &attributes) != 0) {
            return;
        }
    }
    XEvent unmapped{};
    unmapped.xunmap.type = UnmapNotify;
    unmapped.xunmap.display = display;
    unmapped.xunmap.event = info.info.x11.window;
    unmapped.xunmap.window = info.info.x11.window;
    XPutBackEvent(display, &unmapped);
}

QuietXErrors::QuietXErrors() : wasQuiet_(quiet) {
    quiet = true;
}

QuietXErrors::~QuietXErrors() {
    quiet = wasQuiet_;
}

}  // namespace win32
