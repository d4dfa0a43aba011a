// Keeps an SDL message box answerable where nobody may answer it, and keeps it from holding
// the game up. SDL shows its X11 box from a child process of the calling thread and waits for
// it; while the box is up:
// - the box gets the keyboard focus as soon as it shows, even without a window manager and
//   when a full-screen window had the focus;
// - a box nobody answers for a minute (MORVALE_BOX_WAIT_MS milliseconds, when set) is
//   answered by ending its process, which SDL takes as its button;
// - SIGTERM or SIGINT ends the box's process as well, then reaches the handler in force
//   before (SDL's, which asks the game to quit), or ends the game after the box when the
//   handler was the default;
// - the box's process ends with SIGTERM and SIGINT, and with the game when the game dies.
// Lives, on the thread that shows the box, while the box is up.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

namespace win32 {

class BoxWatch {
public:
    // Watches the box with this caption that the calling thread is about to show.
    explicit BoxWatch(const std::string& caption);
    ~BoxWatch();
    BoxWatch(const BoxWatch&) = delete;
    BoxWatch& operator=(const BoxWatch&) = delete;

private:
    void watch();
    void endTheBox() const;

    std::string caption_;
    int callerThread_;
    // The caller's children before the box: whatever is new afterwards is the box.
    std::set<pid_t> before_;
    // Wakes the watch: written by the destructor, which sets done_ first, and by the signal
    // handler.
    int wake_[2] = {-1, -1};
    std::atomic<bool> done_{false};
    // Whether this watch took SIGTERM and SIGINT (one watch at a time does).
    bool signalsTaken_ = false;
    std::thread thread_;
};

}  // namespace win32
