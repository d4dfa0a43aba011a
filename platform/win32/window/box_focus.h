// Gives an SDL message box the keyboard focus. Without a window manager nobody else does, and
// a window manager may leave it with a full-screen window that had it: Enter and Escape would
// go to the game's window, which waits for the box. Used by the box's watch, on its thread.
#pragma once

#include <string>

namespace win32 {

class BoxFocus {
public:
    // The box with this caption; its own connection to the display (none without one).
    explicit BoxFocus(std::string caption);
    ~BoxFocus();
    BoxFocus(const BoxFocus&) = delete;
    BoxFocus& operator=(const BoxFocus&) = delete;

    // One look: focuses the box when it shows and has not the focus. Cheap enough to repeat
    // every few milliseconds.
    void look();

private:
    std::string caption_;
    void* display_ = nullptr;
    unsigned long box_ = 0;
};

}  // namespace win32
