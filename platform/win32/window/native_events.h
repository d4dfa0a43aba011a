// What a user action does to a window and which messages it posts, shared by the SDL
// backend and the test seams so both deliver the same messages.
#pragma once

#include "window/window_system.h"

namespace win32 {

void postMessage(WindowSystem& system, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void beginSizeMove(WindowSystem& system, Window& window);
// The client area now has this size (a step of a drag or a maximise).
void resizedTo(WindowSystem& system, Window& window, int width, int height, WPARAM sizeType);
void endSizeMove(WindowSystem& system, Window& window);
void minimized(WindowSystem& system, Window& window);
void restored(WindowSystem& system, Window& window);
void keyChanged(WindowSystem& system, Window& window, WPARAM virtualKey, bool down, bool repeat);
// The pointer is at (x, y) in the client area after moving by (dx, dy).
void mouseMoved(WindowSystem& system, Window& window, int x, int y, int dx, int dy, WPARAM buttons);
// The window appeared under the pointer, gained the focus or the pointer entered it at (x, y)
// of its client area: a motion message as Windows sends one, so a click that follows without
// moving hits what lies under the pointer. Nothing when the pointer is outside the client area.
void pointerArrived(WindowSystem& system, Window& window, int x, int y, WPARAM buttons);
// The same where the client area is known to have this size now, which the window's record
// learns only when the native resize arrives.
void pointerArrived(WindowSystem& system, Window& window, int x, int y, LONG width, LONG height,
                    WPARAM buttons);
// button 1 left, 2 right, 3 middle.
void mouseButtonChanged(WindowSystem& system, Window& window, int button, bool down, int x, int y);
void focusChanged(WindowSystem& system, Window& window, bool focused);

namespace detail {
// The input hook's reports (win32/input_hook.h).
void reportKey(HWND window, WPARAM virtualKey, bool down);
void reportMouseButton(HWND window, int button, bool down);
void reportMouseMotion(HWND window, int dx, int dy);
void reportFocus(HWND window, bool focused);
}  // namespace detail

}  // namespace win32
