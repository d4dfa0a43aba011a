// An X server of the test's own (Xvfb, with the openbox window manager on top when asked) for
// the cases that show only on a real display. Neither program is required: without them the
// server does not run and the cases skip.
#pragma once

#include <sys/types.h>

#include <string>

namespace morvale_testing {

class XServer {
public:
    // screen as "WIDTHxHEIGHT", on a display number nobody holds.
    explicit XServer(const std::string& screen = "1024x768", bool windowManager = false);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // False when Xvfb, or the window manager asked for, is missing or did not start.
    bool running() const { return server_ != 0 && (!managed_ || manager_ != 0); }
    const std::string& display() const { return display_; }
    // The game's own environment on this server: DISPLAY, SDL's x11 driver, no sound.
    void use() const;

private:
    // Xvfb on the first free display from `number` on (left at the one tried). False when
    // another server took that display first, to try the next; true once it runs, or will not.
    bool start(int& number, const std::string& screen);

    pid_t server_ = 0;
    pid_t manager_ = 0;
    bool managed_ = false;
    std::string display_;
};

}  // namespace morvale_testing
