#include "window/window_system.h"

#include <algorithm>
#include <cwctype>

namespace win32 {

namespace {

bool isAtom(LPCWSTR nameOrAtom) {
    return reinterpret_cast<ULONG_PTR>(nameOrAtom) <= 0xFFFF;
}

bool sameName(const std::wstring& a, LPCWSTR b) {
    const std::wstring other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) ==
                      std::towlower(static_cast<wint_t>(y));
           });
}

char desktopMarker;

}  // namespace

WindowSystem& WindowSystem::instance() {
    static WindowSystem system;
    return system;
}

WindowBackend& WindowSystem::backend() {
    if (!backend_) {
        if (kind_ != WindowBackendKind::Headless) {
            backend_ = makeSdlBackend();
        }
        if (!backend_ && kind_ != WindowBackendKind::Sdl) {
            backend_ = makeHeadlessBackend();
        }
        if (!backend_) {
            // SDL was demanded but cannot start: windows fail to create.
            backend_ = makeHeadlessBackend();
            backendFailed_ = true;
        }
    }
    return *backend_;
}

ATOM WindowSystem::registerClass(const WNDCLASSEXW& description) {
    if (description.cbSize != sizeof(WNDCLASSEXW) || description.lpszClassName == nullptr ||
        description.lpfnWndProc == nullptr || description.cbWndExtra < 0 ||
        description.cbClsExtra < 0) {
        return 0;
    }
    if (!isAtom(description.lpszClassName) && findClass(description.lpszClassName) != nullptr) {
        return 0;
    }
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = isAtom(description.lpszClassName) ? L"" : description.lpszClassName;
    windowClass->atom = nextAtom_++;
    windowClass->style = description.style;
    windowClass->procedure = description.lpfnWndProc;
    windowClass->classExtra = description.cbClsExtra;
    windowClass->windowExtra = description.cbWndExtra;
    windowClass->instance = description.hInstance;
    windowClass->icon = description.hIcon;
    windowClass->iconSmall = description.hIconSm;
    windowClass->cursor = description.hCursor;
    const ATOM atom = windowClass->atom;
    classes_.push_back(std::move(windowClass));
    return atom;
}

bool WindowSystem::unregisterClass(LPCWSTR name) {
    WindowClass* windowClass = findClass(name);
    if (windowClass == nullptr) {
        return false;
    }
    for (const auto& entry : windows_) {
        if (entry.second->classAtom == windowClass->atom) {
            return false;
        }
    }
    classes_.erase(std::find_if(classes_.begin(), classes_.end(),
                                [&](const auto& c) { return c.get() == windowClass; }));
    return true;
}

WindowClass* WindowSystem::findClass(LPCWSTR nameOrAtom) {
    if (nameOrAtom == nullptr) {
        return nullptr;
    }
    for (const auto& windowClass : classes_) {
        if (isAtom(nameOrAtom)
                ? windowClass->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom))
                : sameName(windowClass->name, nameOrAtom)) {
            return windowClass.get();
        }
    }
    return nullptr;
}

WindowClass* WindowSystem::classOf(const Window& window) {
    for (const auto& windowClass : classes_) {
        if (windowClass->atom == window.classAtom) {
            return windowClass.get();
        }
    }
    return nullptr;
}

HWND WindowSystem::createWindow(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x,
                                int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, LPVOID param) {
    WindowClass* windowClass = findClass(className);
    if (windowClass == nullptr) {
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(window.get());
    window->classAtom = windowClass->atom;
    window->procedure = windowClass->procedure;
    window->title = title != nullptr ? title : L"";
    window->style = style;
    window->exStyle = exStyle;
    window->instance = instance;
    window->extra.assign(static_cast<size_t>(windowClass->windowExtra), 0);
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    window->rect = fitToDesktop(*window, {x, y, x + std::max(0, width), y + std::max(0, height)});
    window->visible = (style & WS_VISIBLE) != 0;
    if (!backend().create(*window) || backendFailed_) {
        if (window->native != nullptr) {
            backend().destroy(*window);
        }
        return nullptr;
    }
    const HWND handle = window->handle;
    windows_[handle] = std::move(window);

    CREATESTRUCTW create{
        param, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        title, className, exStyle};
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (send(handle, WM_NCCREATE, 0, createParam) == 0 ||
        send(handle, WM_CREATE, 0, createParam) == -1) {
        destroyWindow(handle);
        return nullptr;
    }
    return handle;
}

bool WindowSystem::destroyWindow(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr || window->destroying) {
        return false;
    }
    window->destroying = true;
    send(handle, WM_DESTROY, 0, 0);
    send(handle, WM_NCDESTROY, 0, 0);
    // The procedure may have destroyed other windows, but never this entry.
    window = find(handle);
    backend().destroy(*window);
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                [handle](const MSG& m) { return m.hwnd == handle; }),
                 queue_.end());
    windows_.erase(handle);
    return true;
}

Window* WindowSystem::find(HWND handle) {
    const auto entry = windows_.find(handle);
    return entry == windows_.end() ? nullptr : entry->second.get();
}

std::vector<HWND> WindowSystem::windows() const {
    std::vector<HWND> handles;
    for (const auto& entry : windows_) {
        handles.push_back(entry.first);
    }
    return handles;
}

HWND WindowSystem::desktopHandle() const {
    return reinterpret_cast<HWND>(&desktopMarker);
}

RECT WindowSystem::desktopRect() {
    return backend().desktop();
}

RECT WindowSystem::frameInsets(DWORD style, bool menu) const {
    RECT insets{0, 0, 0, 0};
    if (style & WS_THICKFRAME) {
        insets = {border_, border_, border_, border_};
    } else if (style & (WS_BORDER | WS_DLGFRAME)) {
        insets = {1, 1, 1, 1};
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top += caption_;
    }
    if (menu) {
        insets.top += 20;
    }
    return insets;
}

RECT WindowSystem::clientRect(const Window& window) const {
    if (window.minimized) {
        return {0, 0, 0, 0};
    }
    const RECT insets = frameInsets(window.style, false);
    const LONG width = window.rect.right - window.rect.left - insets.left - insets.right;
    const LONG height = window.rect.bottom - window.rect.top - insets.top - insets.bottom;
    return {0, 0, std::max<LONG>(0, width), std::max<LONG>(0, height)};
}

RECT WindowSystem::fitToDesktop(const Window& window, RECT outer) {
    // As on Windows, a window the user could resize is never made larger than the screen;
    // and its title bar stays on the screen, where the user can reach it.
    if ((window.style & WS_THICKFRAME) == 0 || (window.style & WS_CAPTION) != WS_CAPTION ||
        !backend().showsOnScreen()) {
        return outer;
    }
    const RECT screen = desktopRect();
    const LONG width = std::min(outer.right - outer.left, screen.right - screen.left);
    const LONG height = std::min(outer.bottom - outer.top, screen.bottom - screen.top);
    const LONG left = std::max(screen.left, std::min(outer.left, screen.right - width));
    const LONG top = std::max(screen.top, std::min(outer.top, screen.bottom - height));
    return {left, top, left + width, top + height};
}

void WindowSystem::moveWindow(Window& window, RECT outer) {
    const RECT before = window.rect;
    const RECT clientBefore = clientRect(window);
    window.rect = fitToDesktop(window, outer);
    outer = window.rect;
    backend().update(window);
    const HWND handle = window.handle;
    if (before.left != outer.left || before.top != outer.top) {
        send(handle, WM_MOVE, 0, MAKELPARAM(outer.left, outer.top));
    }
    Window* still = find(handle);
    if (still == nullptr) {
        return;
    }
    const RECT client = clientRect(*still);
    if (client.right != clientBefore.right || client.bottom != clientBefore.bottom) {
        send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
}

void WindowSystem::setClientSize(Window& window, int width, int height) {
    const RECT insets = frameInsets(window.style, false);
    window.rect.right = window.rect.left + insets.left + insets.right + std::max(0, width);
    window.rect.bottom = window.rect.top + insets.top + insets.bottom + std::max(0, height);
}

void WindowSystem::post(const MSG& message) {
    queue_.push_back(message);
}

void WindowSystem::postQuit(int exitCode) {
    quitPosted_ = true;
    exitCode_ = exitCode;
}

bool WindowSystem::peek(MSG& message, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (backend_ || !windows_.empty()) {
        backend().pump(*this);
    }
    const bool anyMessage = filterMin == 0 && filterMax == 0;
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (window != nullptr && it->hwnd != window) {
            continue;
        }
        if (!anyMessage && (it->message < filterMin || it->message > filterMax)) {
            continue;
        }
        message = *it;
        if (remove) {
            queue_.erase(it);
        }
        return true;
    }
    const bool quitWanted = anyMessage || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (quitPosted_ && quitWanted && window == nullptr) {
        message = MSG{};
        message.message = WM_QUIT;
        message.wParam = static_cast<WPARAM>(exitCode_);
        if (remove) {
            quitPosted_ = false;
        }
        return true;
    }
    return false;
}

LRESULT WindowSystem::send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = find(handle);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(handle, message, wParam, lParam);
}

void WindowSystem::setBackendKind(WindowBackendKind kind) {
    kind_ = kind;
    if (windows_.empty()) {
        backend_.reset();
        backendFailed_ = false;
    }
}

void WindowSystem::setFrameMetrics(int border, int caption) {
    border_ = border;
    caption_ = caption;
}

void WindowSystem::reset() {
    for (auto& entry : windows_) {
        backend().destroy(*entry.second);
    }
    windows_.clear();
    queue_.clear();
    quitPosted_ = false;
    exitCode_ = 0;
    backend_.reset();
    backendFailed_ = false;
}

}  // namespace win32
