// A real X server of the test's own (Xvfb, when the machine has it), optionally with the
// openbox window manager, for the cases that show only on a real display.
#pragma once

#include <sys/types.h>

#include <string>

namespace morvale_testing {

class X11Server {
public:
    // screen as "WIDTHxHEIGHT"; displays from base up are tried until one is free.
    X11Server(const std::string& screen, bool windowManager, int base = 100);
    ~X11Server();
    X11Server(const X11Server&) = delete;
    X11Server& operator=(const X11Server&) = delete;

    // False when Xvfb (or the window manager asked for) is missing or did not start.
    bool running() const { return server_ != 0 && (!managed_ || manager_ != 0); }
    const std::string& display() const { return display_; }
    // The game's own environment on this server: DISPLAY, the SDL x11 driver, no sound.
    void useIt() const;

private:
    pid_t server_ = 0;
    pid_t manager_ = 0;
    bool managed_ = false;
    std::string display_;
};

}  // namespace morvale_testing
