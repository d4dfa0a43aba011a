#include "window/box_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

#include "window/box_focus.h"

namespace win32 {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A box nobody answered in this time is answered with its one button.
constexpr milliseconds kUnanswered{60000};
// How long after the box is shown its focus is looked after, and how often.
constexpr milliseconds kFocusing{3000};
constexpr milliseconds kFocusLook{10};
// How often the box's processes are ended once it is answered: SDL may try another way to
// show it when its first one ends.
constexpr milliseconds kEndingLook{20};

milliseconds unansweredWait() {
    const char* text = std::getenv("MORVALE_BOX_WAIT_MS");
    const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? milliseconds(value) : kUnanswered;
}

// The processes the thread has started and not yet waited for.
std::set<pid_t> childrenOf(int thread) {
    std::set<pid_t> children;
    std::ifstream list("/proc/self/task/" + std::to_string(thread) + "/children");
    pid_t child = 0;
    while (list >> child) {
        children.insert(child);
    }
    return children;
}

// The signal handlers' state: one watch at a time has them.
std::atomic<bool> signalsTaken{false};
std::atomic<int> wakeDescriptor{-1};
struct sigaction previousTerm {};
struct sigaction previousInt {};
volatile sig_atomic_t signalForLater = 0;

void wake(char why) {
    const int descriptor = wakeDescriptor.load();
    if (descriptor >= 0) {
        // The pipe does not block: a full one has woken the watch already.
        const ssize_t written = write(descriptor, &why, 1);
        static_cast<void>(written);
    }
}

// A signal that would end the game ends the box first: SDL waits for the box with the
// signal's handler reinstalled after every interruption, so nothing else would.
void onSignalDuringBox(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const struct sigaction& previous = signal == SIGTERM ? previousTerm : previousInt;
    if ((previous.sa_flags & SA_SIGINFO) != 0) {
        wake('s');
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler == SIG_DFL) {
        wake('s');
        signalForLater = signal;
    } else if (previous.sa_handler != SIG_IGN) {
        wake('s');
        previous.sa_handler(signal);
    }
    errno = savedErrno;
}

void takeSignals() {
    struct sigaction action {};
    action.sa_sigaction = onSignalDuringBox;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, &previousTerm);
    sigaction(SIGINT, &action, &previousInt);
}

void giveSignalsBack() {
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGINT, &previousInt, nullptr);
}

// The box's process is a fork of the game that never runs exec: without this it would keep
// the game's handlers (SDL's SIGTERM handler only asks a quit of an event loop the fork never
// runs) and outlive the game, holding the game's connection to the display open. Only forks
// made while the thread shows a box are touched.
thread_local bool showingBox = false;
pid_t boxParent = 0;

void onForkPrepare() {
    if (showingBox) {
        boxParent = getpid();
    }
}

void onForkChild() {
    if (!showingBox) {
        return;
    }
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The game may have died before the line above.
    if (getppid() != boxParent) {
        _exit(1);
    }
}

void watchForks() {
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(onForkPrepare, nullptr, onForkChild); });
}

}  // namespace

BoxWatch::BoxWatch(const std::string& caption)
    : caption_(caption),
      callerThread_(static_cast<int>(syscall(SYS_gettid))),
      before_(childrenOf(callerThread_)) {
    watchForks();
    showingBox = true;
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // no watch: the box is as SDL shows it
    }
    if (!signalsTaken.exchange(true)) {
        signalsTaken_ = true;
        signalForLater = 0;
        wakeDescriptor.store(wake_[1]);
        takeSignals();
    }
    thread_ = std::thread([this] { watch(); });
}

BoxWatch::~BoxWatch() {
    showingBox = false;
    if (signalsTaken_) {
        giveSignalsBack();
        wakeDescriptor.store(-1);
    }
    if (thread_.joinable()) {
        done_.store(true);
        // A full pipe has woken the watch already.
        const ssize_t written = write(wake_[1], "d", 1);
        static_cast<void>(written);
        thread_.join();
        close(wake_[0]);
        close(wake_[1]);
    }
    if (signalsTaken_) {
        signalsTaken.store(false);
        // The default action was in force: the game ends now, as it would have at once.
        if (signalForLater != 0) {
            raise(signalForLater);
        }
    }
}

void BoxWatch::watch() {
    const Clock::time_point shown = Clock::now();
    const Clock::time_point unanswered = shown + unansweredWait();
    BoxFocus focus(caption_);
    bool ending = false;
    for (;;) {
        const Clock::time_point now = Clock::now();
        ending = ending || now >= unanswered;
        const bool focusing = !ending && now - shown < kFocusing;
        milliseconds nap = kEndingLook;
        if (ending) {
            endTheBox();
        } else if (focusing) {
            focus.look();
            nap = kFocusLook;
        } else {
            nap = std::chrono::ceil<milliseconds>(unanswered - now);
        }
        pollfd wakeUp{wake_[0], POLLIN, 0};
        if (poll(&wakeUp, 1, static_cast<int>(nap.count())) > 0) {
            char bytes[64];
            while (read(wake_[0], bytes, sizeof bytes) > 0) {
            }
            if (done_.load()) {
                return;
            }
            ending = true;
        }
    }
}

void BoxWatch::endTheBox() const {
    // SDL takes a box whose process ended as answered. Whatever the thread started since the
    // box went up belongs to the box.
    for (pid_t child : childrenOf(callerThread_)) {
        if (before_.count(child) == 0) {
            kill(child, SIGKILL);
        }
    }
}

}  // namespace win32
