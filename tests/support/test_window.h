// A plain window for tests: every message gets the default handling, and its outer size is
// chosen so that the client area is exactly the size asked for, when made and when resized.
#pragma once

#include <windows.h>

namespace morvale_testing {

inline LRESULT CALLBACK plainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

inline HWND makeWindow(int clientWidth, int clientHeight) {
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = plainProcedure;
        windowClass.lpszClassName = L"MorvaleTestWindow";
        atom = RegisterClassExW(&windowClass);
    }
    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return CreateWindowExW(0, L"MorvaleTestWindow", L"test", WS_OVERLAPPEDWINDOW, 0, 0,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                           nullptr, nullptr);
}

inline bool resizeClient(HWND window, int clientWidth, int clientHeight) {
    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return MoveWindow(window, 0, 0, rect.right - rect.left, rect.bottom - rect.top, TRUE) != FALSE;
}

}  // namespace morvale_testing
