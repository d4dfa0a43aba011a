// The program's one top-level window and its message pump. Messages become calls on the
// listeners; a border drag produces one resize when it ends.
#pragma once

#include <string>

#include <windows.h>

#include "engine/render/device/window_listeners.h"

namespace kesh {

class ApplicationWindow {
public:
    ApplicationWindow();
    // Destroys the window (without notifying this object) and unregisters its class.
    ~ApplicationWindow();
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    // false when the class or the window could not be made.
    bool create(HINSTANCE instance, const std::wstring& title, int x, int y, int width, int height);
    void setClientSize(int width, int height);
    void setIcon(HICON icon, bool small);
    void show(int command);
    void setMouseListener(MouseListener* listener) { mouseListener = listener; }
    void setKeyListener(KeyListener* listener) { keyListener = listener; }
    void setMessageHook(MessageHook* hook) { messageHook = hook; }

    // Pumps messages until WM_QUIT; between messages, renders a frame unless the listener
    // says the device is lost. Returns 0.
    int run(FrameListener* listener);

    HWND getWindow() const { return window; }

    static LRESULT CALLBACK staticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

private:
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Reports the client area: that is what the back buffer must match.
    void sendResize(HWND window);

    FrameListener* frameListener = nullptr;
    MouseListener* mouseListener = nullptr;
    KeyListener* keyListener = nullptr;
    MessageHook* messageHook = nullptr;
    std::wstring title;
    HWND window = nullptr;
    ATOM classAtom = 0;
    HINSTANCE instance = nullptr;
    HACCEL accelerators = nullptr;
    RECT sizeMoveRect{0, 0, 100, 100};
    bool inSizeMove = false;
};

}  // namespace kesh
