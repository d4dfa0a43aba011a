// Real windows through SDL2. SDL events become the messages Windows would post; a burst
// of resize events within one pump is bracketed like a border drag.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "kernel/internal.h"
#include "win32/sdl_video.h"
#include "win32/utf8.h"
#include "win32/window_seams.h"
#include "window/native_events.h"
#include "window/sdl_keys.h"
#include "window/window_system.h"
#include "window/x_errors.h"

namespace win32 {

namespace {

SDL_Rect shownGeometry(SDL_Window* native);
SDL_Point pointerOnScreen(SDL_Window* native);

class SdlBackend : public WindowBackend {
public:
    SdlBackend() = default;
    ~SdlBackend() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    bool create(Window& window) override {
        WindowSystem& system = WindowSystem::instance();
        const RECT client = system.clientRect(window);
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (window.style & WS_THICKFRAME) {
            flags |= SDL_WINDOW_RESIZABLE;
        }
        const std::string title = toUtf8(window.title);
        // A window manager puts its frame, not the client area, where a program asks: the
        // outer rectangle's corner is the place to ask for, or the frame's own title bar
        // pushes the window off the bottom of a screen it was fitted to.
        const int x = window.rect.left;
        const int y = window.rect.top;
        const int width = std::max<LONG>(1, client.right);
        const int height = std::max<LONG>(1, client.bottom);
        // Only a drawing backend needs OpenGL: without it no GL driver is loaded at all.
        SDL_Window* native = nullptr;
        if (system.openGLWindows()) {
            native =
                SDL_CreateWindow(title.c_str(), x, y, width, height, flags | SDL_WINDOW_OPENGL);
        }
        if (native == nullptr) {
            native = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
        }
        if (native == nullptr) {
            return false;
        }
        window.native = native;
        byId_[SDL_GetWindowID(native)] = window.handle;
        if (window.visible) {
            SDL_ShowWindow(native);
        }
        return true;
    }

    void destroy(Window& window) override {
        auto* native = static_cast<SDL_Window*>(window.native);
        if (native != nullptr) {
            byId_.erase(SDL_GetWindowID(native));
            answerHideOfLostWindow(native);
            SDL_DestroyWindow(native);
            window.native = nullptr;
        }
    }

    void update(Window& window) override {
        auto* native = static_cast<SDL_Window*>(window.native);
        if (native == nullptr) {
            return;
        }
        WindowSystem& system = WindowSystem::instance();
        const RECT client = system.clientRect(window);
        SDL_SetWindowTitle(native, toUtf8(window.title).c_str());
        SDL_SetWindowPosition(native, window.rect.left, window.rect.top);
        if (!window.minimized) {
            SDL_SetWindowSize(native, std::max<LONG>(1, client.right),
                              std::max<LONG>(1, client.bottom));
        }
        if (window.visible) {
            SDL_ShowWindow(native);
        } else {
            SDL_HideWindow(native);
        }
    }

    void pump(WindowSystem& system) override {
        closeWindowsAfterXError(system);
        std::set<HWND> resizing;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
                case SDL_QUIT:
                    for (HWND handle : system.windows()) {
                        postMessage(system, handle, WM_CLOSE, 0, 0);
                    }
                    break;
                case SDL_WINDOWEVENT:
                    windowEvent(system, event.window, resizing);
                    break;
                case SDL_KEYDOWN:
                case SDL_KEYUP:
                    if (Window* window = target(system, event.key.windowID)) {
                        const WPARAM key = virtualKeyFor(event.key.keysym.sym);
                        if (key != 0) {
                            keyChanged(system, *window, key, event.type == SDL_KEYDOWN,
                                       event.key.repeat != 0);
                        }
                    }
                    break;
                case SDL_MOUSEMOTION:
                    if (Window* window = target(system, event.motion.windowID)) {
                        mouseMoved(system, *window, event.motion.x, event.motion.y,
                                   event.motion.xrel, event.motion.yrel,
                                   buttonFlags(event.motion.state));
                    }
                    break;
                case SDL_MOUSEBUTTONDOWN:
                case SDL_MOUSEBUTTONUP:
                    if (Window* window = target(system, event.button.windowID)) {
                        const int button = event.button.button == SDL_BUTTON_LEFT     ? 1
                                           : event.button.button == SDL_BUTTON_RIGHT  ? 2
                                           : event.button.button == SDL_BUTTON_MIDDLE ? 3
                                                                                      : 0;
                        mouseButtonChanged(system, *window, button,
                                           event.type == SDL_MOUSEBUTTONDOWN, event.button.x,
                                           event.button.y);
                    }
                    break;
                default:
                    break;
            }
        }
        for (HWND handle : resizing) {
            if (Window* window = system.find(handle)) {
                endSizeMove(system, *window);
            }
        }
    }

    RECT desktop() override {
        SDL_Rect bounds{0, 0, 1024, 768};
        SDL_GetDisplayBounds(0, &bounds);
        return {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    }

    bool showsOnScreen() const override {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
               std::strcmp(driver, "dummy") != 0;
    }

private:
    static WPARAM buttonFlags(Uint32 state) {
        WPARAM buttons = 0;
        if (state & SDL_BUTTON_LMASK)
            buttons |= MK_LBUTTON;
        if (state & SDL_BUTTON_RMASK)
            buttons |= MK_RBUTTON;
        if (state & SDL_BUTTON_MMASK)
            buttons |= MK_MBUTTON;
        return buttons;
    }

    // SDL reports motion only when the pointer moves; Windows also when a window appears
    // under it, gains the focus, moves or takes the screen under it, or the pointer enters
    // it. The pointer and the window are taken as the server has them now: SDL's window
    // position is where the window was asked to go, and the window manager may have put it
    // elsewhere or given it a size whose resize event is still on its way.
    static void pointerArrived(WindowSystem& system, Window& window) {
        auto* native = static_cast<SDL_Window*>(window.native);
        const Uint32 state = SDL_GetGlobalMouseState(nullptr, nullptr);
        const SDL_Point at = pointerOnScreen(native);
        const SDL_Rect shown = shownGeometry(native);
        win32::pointerArrived(system, window, at.x - shown.x, at.y - shown.y, shown.w, shown.h,
                              buttonFlags(state));
    }

    Window* target(WindowSystem& system, Uint32 id) {
        const auto entry = byId_.find(id);
        if (entry != byId_.end()) {
            return system.find(entry->second);
        }
        // Events without a window (e.g. keys while none has focus) go to the first window.
        const auto handles = system.windows();
        return handles.empty() ? nullptr : system.find(handles.front());
    }

    void windowEvent(WindowSystem& system, const SDL_WindowEvent& event, std::set<HWND>& resizing) {
        const auto entry = byId_.find(event.windowID);
        if (entry == byId_.end()) {
            return;
        }
        Window* window = system.find(entry->second);
        if (window == nullptr) {
            return;
        }
        switch (event.event) {
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                // In full screen the window takes the mode's size: no user resized it, and
                // the device already has that size.
                auto* native = static_cast<SDL_Window*>(window->native);
                if (native != nullptr && (SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN)) {
                    system.setClientSize(*window, event.data1, event.data2);
                    pointerArrived(system, *window);
                    break;
                }
                const RECT client = system.clientRect(*window);
                if (window->minimized ||
                    (client.right == event.data1 && client.bottom == event.data2)) {
                    break;  // our own resize, or no change
                }
                if (resizing.insert(window->handle).second) {
                    beginSizeMove(system, *window);
                }
                resizedTo(system, *window, event.data1, event.data2, SIZE_RESTORED);
                break;
            }
            case SDL_WINDOWEVENT_MINIMIZED:
                minimized(system, *window);
                break;
            case SDL_WINDOWEVENT_MAXIMIZED: {
                int width = 0;
                int height = 0;
                SDL_GetWindowSize(static_cast<SDL_Window*>(window->native), &width, &height);
                resizedTo(system, *window, width, height, SIZE_MAXIMIZED);
                break;
            }
            case SDL_WINDOWEVENT_RESTORED:
                if (window->minimized) {
                    restored(system, *window);
                }
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                focusChanged(system, *window, true);
                pointerArrived(system, *window);
                break;
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_ENTER:
            case SDL_WINDOWEVENT_MOVED:
                pointerArrived(system, *window);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                focusChanged(system, *window, false);
                break;
            case SDL_WINDOWEVENT_CLOSE:
                postMessage(system, window->handle, WM_CLOSE, 0, 0);
                break;
            default:
                break;
        }
    }

    std::map<Uint32, HWND> byId_;
};

}  // namespace

std::unique_ptr<WindowBackend> makeSdlBackend() {
    if (!startSdlVideo()) {
        return nullptr;
    }
    catchXErrors();
    detail::setMessageBoxPresenter(showMessageBoxSdl);
    return std::make_unique<SdlBackend>();
}

namespace {

// Where the display server really shows the window: SDL's own figures follow its requests.
SDL_Rect shownGeometry(SDL_Window* native) {
    SDL_Rect shown{};
    SDL_GetWindowPosition(native, &shown.x, &shown.y);
    SDL_GetWindowSize(native, &shown.w, &shown.h);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(native, &info) && info.subsystem == SDL_SYSWM_X11) {
        XWindowAttributes attributes{};
        ::Window child = 0;
        XSync(info.info.x11.display, False);
        if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) &&
            XTranslateCoordinates(info.info.x11.display, info.info.x11.window, attributes.root, 0,
                                  0, &shown.x, &shown.y, &child)) {
            shown.w = attributes.width;
            shown.h = attributes.height;
        }
    }
    return shown;
}

// SDL's global pointer position on X11 is a cache that only the pointer's own motion renews:
// a pointer warped or resting since before the program started is not where SDL says.
SDL_Point pointerOnScreen(SDL_Window* native) {
    SDL_Point at{};
    SDL_GetGlobalMouseState(&at.x, &at.y);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(native, &info) && info.subsystem == SDL_SYSWM_X11) {
        ::Window root = 0;
        ::Window child = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &at.x, &at.y,
                      &windowX, &windowY, &mask);
    }
    return at;
}

int dropResizesOf(void* windowId, SDL_Event* event) {
    return event->type != SDL_WINDOWEVENT ||
           event->window.windowID != static_cast<Uint32>(reinterpret_cast<uintptr_t>(windowId)) ||
           (event->window.event != SDL_WINDOWEVENT_SIZE_CHANGED &&
            event->window.event != SDL_WINDOWEVENT_RESIZED);
}

}  // namespace

bool confirmFullscreen(HWND handle, int width, int height) {
    auto* native = static_cast<SDL_Window*>(sdlWindow(handle));
    Window* window = WindowSystem::instance().find(handle);
    if (native == nullptr || window == nullptr) {
        return true;
    }
    // Window managers answer within a few frames; a bare server never does.
    for (int turn = 0; turn < 50; ++turn) {
        SDL_PumpEvents();
        const SDL_Rect shown = shownGeometry(native);
        if (shown.x == 0 && shown.y == 0 && shown.w == width && shown.h == height) {
            return true;
        }
        SDL_Delay(10);
    }
    // SDL believes the window has the mode's size even after leaving full screen: it gets
    // its windowed size back, and the resizes SDL reported meanwhile never happened.
    SDL_SetWindowFullscreen(native, 0);
    const RECT client = WindowSystem::instance().clientRect(*window);
    SDL_SetWindowSize(native, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    SDL_PumpEvents();
    SDL_FilterEvents(dropResizesOf, reinterpret_cast<void*>(uintptr_t{SDL_GetWindowID(native)}));
    return false;
}

void awaitWindowedSize(HWND handle) {
    auto* native = static_cast<SDL_Window*>(sdlWindow(handle));
    Window* window = WindowSystem::instance().find(handle);
    if (native == nullptr || window == nullptr) {
        return;
    }
    const RECT client = WindowSystem::instance().clientRect(*window);
    for (int turn = 0; turn < 50; ++turn) {
        // SDL learns the size from the server's events; the drawing asks SDL.
        SDL_PumpEvents();
        const SDL_Rect shown = shownGeometry(native);
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(native, &width, &height);
        if (shown.w == client.right && shown.h == client.bottom && width == client.right &&
            height == client.bottom) {
            return;
        }
        SDL_Delay(10);
    }
}

void* sdlWindow(HWND handle) {
    Window* window = WindowSystem::instance().find(handle);
    return window != nullptr ? window->native : nullptr;
}

}  // namespace win32
