// Keeps an SDL message box answerable where nobody may answer it: on an X server without a
// window manager the box never gets the keyboard focus, and an unattended start has nobody
// to click. Lives while the box is up.
#pragma once

#include <condition_variable>
#include <mutex>
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
    void watch(int callerThread);

    std::string caption_;
    std::mutex mutex_;
    std::condition_variable answered_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace win32
