// Real windows through SDL2. SDL events become the messages Windows would post; a burst
// of resize events within one pump is bracketed like a border drag.
#include <SDL.h>

#include <algorithm>
#include <map>
#include <set>

#include "kernel/internal.h"
#include "win32/sdl_video.h"
#include "win32/utf8.h"
#include "win32/window_seams.h"
#include "window/native_events.h"
#include "window/sdl_keys.h"
#include "window/window_system.h"

namespace win32 {

namespace {

class SdlBackend : public WindowBackend {
public:
    SdlBackend() = default;
    ~SdlBackend() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    bool create(Window& window) override {
        WindowSystem& system = WindowSystem::instance();
        const RECT insets = system.frameInsets(window.style, false);
        const RECT client = system.clientRect(window);
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (window.style & WS_THICKFRAME) {
            flags |= SDL_WINDOW_RESIZABLE;
        }
        const std::string title = toUtf8(window.title);
        const int x = window.rect.left + insets.left;
        const int y = window.rect.top + insets.top;
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
        const RECT insets = system.frameInsets(window.style, false);
        const RECT client = system.clientRect(window);
        SDL_SetWindowTitle(native, toUtf8(window.title).c_str());
        SDL_SetWindowPosition(native, window.rect.left + insets.left, window.rect.top + insets.top);
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
                        WPARAM buttons = 0;
                        if (event.motion.state & SDL_BUTTON_LMASK)
                            buttons |= MK_LBUTTON;
                        if (event.motion.state & SDL_BUTTON_RMASK)
                            buttons |= MK_RBUTTON;
                        if (event.motion.state & SDL_BUTTON_MMASK)
                            buttons |= MK_MBUTTON;
                        mouseMoved(system, *window, event.motion.x, event.motion.y,
                                   event.motion.xrel, event.motion.yrel, buttons);
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

private:
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
    detail::setMessageBoxPresenter(showMessageBoxSdl);
    return std::make_unique<SdlBackend>();
}

void* sdlWindow(HWND handle) {
    Window* window = WindowSystem::instance().find(handle);
    return window != nullptr ? window->native : nullptr;
}

}  // namespace win32
