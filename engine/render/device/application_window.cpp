#include "engine/render/device/application_window.h"

#include "engine/render/log_lines.h"

namespace kesh {

namespace {

using boost::log::logDebug;
using boost::log::logVideo;

const wchar_t className[] = L"GameApplicationWindow";

LPCWSTR atomName(ATOM atom) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom));
}

}  // namespace

ApplicationWindow::ApplicationWindow() = default;

ApplicationWindow::~ApplicationWindow() {
    if (window != nullptr && IsWindow(window)) {
        // The procedure must not reach this object while it is going away.
        SetWindowLongPtrW(window, 0, 0);
        DestroyWindow(window);
    }
    if (classAtom != 0) {
        UnregisterClassW(atomName(classAtom), instance);
    }
}

bool ApplicationWindow::create(HINSTANCE instance, const std::wstring& title, int x, int y,
                               int width, int height) {
    this->instance = instance;
    this->title = title;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_CLASSDC;
    windowClass.lpfnWndProc = staticWindowProc;
    windowClass.cbClsExtra = 0;
    // One slot for this object's pointer, as wide as a pointer.
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = CopyIcon(LoadCursorW(nullptr, IDC_ARROW));
    windowClass.lpszClassName = className;
    classAtom = RegisterClassExW(&windowClass);
    // A class left registered by an earlier window serves as well: same procedure.
    const LPCWSTR windowClassName = classAtom != 0 ? atomName(classAtom) : className;
    window = CreateWindowExW(0, windowClassName, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, width,
                             height, GetDesktopWindow(), nullptr, instance, this);
    return window != nullptr;
}

void ApplicationWindow::setClientSize(int width, int height) {
    const BOOL menu = GetMenu(window) != nullptr ? TRUE : FALSE;
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    RECT rect{0, 0, width, height};
    if (AdjustWindowRectEx(&rect, style, menu, exStyle)) {
        MoveWindow(window, windowRect.left, windowRect.top, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
    }
}

void ApplicationWindow::setIcon(HICON icon, bool small) {
    // A handle is pointer-sized: the pointer-wide form keeps all of it.
    SetClassLongPtrW(window, small ? GCL_HICONSM : GCL_HICON, reinterpret_cast<LONG_PTR>(icon));
}

void ApplicationWindow::show(int command) {
    ShowWindow(window, command);
    UpdateWindow(window);
}

int ApplicationWindow::run(FrameListener* listener) {
    frameListener = listener;
    MSG message{};
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                break;
            }
            if (accelerators != nullptr && TranslateAcceleratorW(window, accelerators, &message)) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else if (!frameListener->checkDevice()) {
            frameListener->onFrame();
        }
    }
    frameListener = nullptr;
    messageHook = nullptr;
    return 0;
}

void ApplicationWindow::sendResize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    writeLine(logVideo(), "sendResize: dimensions (", width, ", ", height, ")");
    if (frameListener != nullptr) {
        frameListener->onResize(width, height);
    }
}

LRESULT CALLBACK ApplicationWindow::staticWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<ApplicationWindow*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
        return self->windowProc(hwnd, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<ApplicationWindow*>(GetWindowLongPtrW(hwnd, 0));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->windowProc(hwnd, message, wParam, lParam);
}

LRESULT ApplicationWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (messageHook != nullptr) {
        bool handled = false;
        const LRESULT result = messageHook->onMessage(hwnd, message, wParam, lParam, &handled);
        if (handled) {
            return result;
        }
    }
    switch (message) {
        case WM_DESTROY:
            writeLine(logDebug(), "WM_DESTROY: posting quit message");
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            if (frameListener == nullptr) {
                break;
            }
            if (!inSizeMove && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) {
                sendResize(hwnd);
            }
            return 0;
        case WM_ACTIVATE:
            writeLine(logDebug(), "WM_ACTIVATE: wp ", wParam);
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (keyListener != nullptr) {
                keyListener->onKey(wParam, message == WM_KEYDOWN ? 1 : 0);
            }
            break;
        case WM_MOUSEMOVE:
            if (mouseListener != nullptr) {
                mouseListener->onMouseMove(LOWORD(lParam), HIWORD(lParam));
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            if (mouseListener != nullptr) {
                const int button = message <= WM_LBUTTONUP ? 1 : message <= WM_RBUTTONUP ? 2 : 3;
                const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                                  message == WM_MBUTTONDOWN;
                mouseListener->onMouseButton(button, down ? 1 : 0);
            }
            break;
        case WM_ENTERSIZEMOVE:
            GetWindowRect(hwnd, &sizeMoveRect);
            inSizeMove = true;
            writeLine(logDebug(), "WM_ENTERSIZEMOVE: dimensions (",
                      sizeMoveRect.right - sizeMoveRect.left, ", ",
                      sizeMoveRect.bottom - sizeMoveRect.top, ")");
            break;
        case WM_EXITSIZEMOVE: {
            inSizeMove = false;
            sendResize(hwnd);
            RECT rect{};
            GetWindowRect(hwnd, &rect);
            writeLine(logDebug(), "WM_EXITSIZEMOVE: dimensions (", rect.right - rect.left, ", ",
                      rect.bottom - rect.top, ")");
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace kesh
