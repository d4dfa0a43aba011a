// What the application window tells the game: frames, resizes, messages, the mouse, keys.
#pragma once

#include <windows.h>

namespace kesh {

class FrameListener {
public:
    virtual ~FrameListener() = default;
    virtual void onFrame() = 0;
    virtual void onResize(int width, int height) = 0;
    // true when the frame must be skipped (device lost).
    virtual bool checkDevice() = 0;
};

class MessageHook {
public:
    virtual ~MessageHook() = default;
    // Sees every message first; setting *handled (false on entry) stops all further
    // handling and makes the result the window procedure's result.
    virtual LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              bool* handled) = 0;
};

class MouseListener {
public:
    virtual ~MouseListener() = default;
    // Client coordinates.
    virtual void onMouseMove(int x, int y) = 0;
    virtual void onMouseWheel(int delta) = 0;
    // button 1 left, 2 right, 3 middle; down 1 press, 0 release.
    virtual void onMouseButton(int button, int down) = 0;
};

class KeyListener {
public:
    virtual ~KeyListener() = default;
    virtual void onKey(WPARAM virtualKey, int down) = 0;
};

}  // namespace kesh
