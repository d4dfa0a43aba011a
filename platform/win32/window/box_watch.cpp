#include "window/box_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>

namespace win32 {

namespace {

// A box nobody answered in this time is answered with its one button.
constexpr std::chrono::seconds kUnanswered{60};

// The processes the thread has started: SDL shows its X11 box from a child process of its own.
std::set<pid_t> childrenOf(int thread) {
    std::set<pid_t> children;
    std::ifstream list("/proc/self/task/" + std::to_string(thread) + "/children");
    pid_t child = 0;
    while (list >> child) {
        children.insert(child);
    }
    return children;
}

// A window's title as window managers read it (SDL sets only the UTF-8 one).
std::string titleOf(Display* display, ::Window window) {
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 256, False, AnyPropertyType, &type, &format,
                           &items, &left, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), items);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

// The top-level window with this title, or 0.
::Window findTitled(Display* display, const std::string& title) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = count; i-- > 0 && found == 0;) {
            found = titleOf(display, children[i]) == title ? children[i] : 0;
        }
        XFree(children);
    }
    return found;
}

// Without a window manager nobody gives the box the keyboard focus: Enter and Escape would
// go to the game's window, which waits for the box. (A window manager gives it the focus
// anyway.)
void focusTheBox(const std::string& caption) {
    if (std::getenv("DISPLAY") == nullptr) {
        return;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return;
    }
    const ::Window box = findTitled(display, caption);
    if (box != 0) {
        XSetInputFocus(display, box, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
    }
    XCloseDisplay(display);
}

}  // namespace

BoxWatch::BoxWatch(const std::string& caption) : caption_(caption) {
    const int caller = static_cast<int>(syscall(SYS_gettid));
    thread_ = std::thread([this, caller] { watch(caller); });
}

BoxWatch::~BoxWatch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    answered_.notify_all();
    thread_.join();
}

void BoxWatch::watch(int callerThread) {
    const std::set<pid_t> before = childrenOf(callerThread);
    std::unique_lock<std::mutex> lock(mutex_);
    // The box takes a moment to appear; look for it a few times.
    for (int look = 0; look < 10 && !done_; ++look) {
        if (answered_.wait_for(lock, std::chrono::milliseconds(200), [this] { return done_; })) {
            return;
        }
        lock.unlock();
        focusTheBox(caption_);
        lock.lock();
    }
    if (answered_.wait_for(lock, kUnanswered, [this] { return done_; })) {
        return;
    }
    // SDL waits for its box process; ending it answers the box.
    for (pid_t child : childrenOf(callerThread)) {
        if (before.count(child) == 0) {
            kill(child, SIGTERM);
        }
    }
}

}  // namespace win32
