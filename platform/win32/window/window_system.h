// The process-wide state behind the window calls: classes, windows, the message queue and
// the backend that owns the native windows.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/input_hook.h"
#include "win32/user.h"
#include "win32/window_seams.h"

namespace win32 {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
};

struct Window {
    HWND handle = nullptr;
    ATOM classAtom = 0;
    WNDPROC procedure = nullptr;
    std::wstring title;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // outer rectangle, screen coordinates
    std::vector<BYTE> extra;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    bool visible = false;
    bool minimized = false;
    bool destroying = false;
    WindowFocus focus = WindowFocus::NeverReported;
    POINT pointer{};  // last reported pointer position, client pixels
    // The back buffer of the device drawing into the window; pointer positions are reported
    // in its pixels. 0 x 0: no device, client pixels.
    int backBufferWidth = 0;
    int backBufferHeight = 0;
    void* native = nullptr;  // owned by the backend
};

class WindowSystem;

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    // Makes the native window for the window's client size; false when it cannot.
    virtual bool create(Window& window) = 0;
    virtual void destroy(Window& window) = 0;
    // The program moved, resized, retitled, showed or hid the window.
    virtual void update(Window& window) = 0;
    // Turns waiting native events into posted messages.
    virtual void pump(WindowSystem& system) = 0;
    // The desktop's size.
    virtual RECT desktop() = 0;
    // Whether the desktop is a screen someone looks at, whose edges windows must keep within.
    virtual bool showsOnScreen() const { return false; }
};

std::unique_ptr<WindowBackend> makeHeadlessBackend();
// Null when SDL's video subsystem cannot start.
std::unique_ptr<WindowBackend> makeSdlBackend();

class WindowSystem {
public:
    static WindowSystem& instance();

    ATOM registerClass(const WNDCLASSEXW& description);
    bool unregisterClass(LPCWSTR name);
    WindowClass* findClass(LPCWSTR nameOrAtom);
    WindowClass* classOf(const Window& window);

    HWND createWindow(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                      LPVOID param);
    bool destroyWindow(HWND handle);
    Window* find(HWND handle);
    std::vector<HWND> windows() const;
    HWND desktopHandle() const;
    RECT desktopRect();

    // Frame around a window of the given style; the client area is the rectangle inside.
    RECT frameInsets(DWORD style, bool menu) const;
    RECT clientRect(const Window& window) const;
    // Moves the outer rectangle, kept on the desktop; sends WM_MOVE / WM_SIZE when position /
    // size change.
    void moveWindow(Window& window, RECT outer);
    // A native resize of the client area (user action): new geometry, no message.
    void setClientSize(Window& window, int width, int height);

    void post(const MSG& message);
    void postQuit(int exitCode);
    bool peek(MSG& message, HWND window, UINT filterMin, UINT filterMax, bool remove);
    LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    void setBackendKind(WindowBackendKind kind);
    void setFrameMetrics(int border, int caption);
    void setOpenGLWindows(bool on) { openGLWindows_ = on; }
    bool openGLWindows() const { return openGLWindows_; }
    void reset();

private:
    WindowSystem() = default;
    WindowBackend& backend();
    RECT fitToDesktop(const Window& window, RECT outer);

    std::vector<std::unique_ptr<WindowClass>> classes_;
    ATOM nextAtom_ = 0xC000;
    std::map<HWND, std::unique_ptr<Window>> windows_;
    std::deque<MSG> queue_;
    bool quitPosted_ = false;
    int exitCode_ = 0;
    WindowBackendKind kind_ = WindowBackendKind::Automatic;
    std::unique_ptr<WindowBackend> backend_;
    bool backendFailed_ = false;
    int border_ = 8;
    int caption_ = 23;
    bool openGLWindows_ = false;
};

}  // namespace win32
