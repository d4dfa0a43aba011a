#include "compiler_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>

// Present only under the sanitizers (and so under libFuzzer): the hook the runtime calls
// after an error report, just before the process ends.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace d3dx9::fx {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
};

constexpr int kDiedExit = 70;

// A sanitizer report in the child is glslang's fault, already contained: the child ends
// quietly, and libFuzzer's own death hook (which would save the input as a crash of the
// fuzz target) never runs.
void childDied() {
    _exit(kDiedExit);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

[[noreturn]] void runChild(int out, const std::function<std::string()>& work) {
    // Reports of a dying child would read like the parent's own crash.
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
        ::dup2(null, STDERR_FILENO);
    }
    if (__sanitizer_set_death_callback) {
        __sanitizer_set_death_callback(childDied);
    }
    // A fault ends the child at once, without a sanitizer report (it would symbolise the
    // stack: a tenth of a second) or a core dump, for a crash that is glslang's and contained.
    struct sigaction quiet {};
    quiet.sa_handler = SIG_DFL;
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        ::sigaction(signal, &quiet, nullptr);
    }
    ::prctl(PR_SET_DUMPABLE, 0);
    std::string result;
    try {
        result = work();
    } catch (...) {
        _exit(0);  // no output: the parent reports it
    }
    const std::uint64_t size = result.size();
    if (writeAll(out, reinterpret_cast<const char*>(&size), sizeof size)) {
        writeAll(out, result.data(), result.size());
    }
    _exit(0);
}

std::string describe(int status) {
    if (WIFSIGNALED(status)) {
        return "it died of signal " + std::to_string(WTERMSIG(status));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return "it ended with status " + std::to_string(WEXITSTATUS(status));
    }
    return {};
}

}  // namespace

ChildOutcome runInChild(const std::function<std::string()>& work,
                        std::chrono::milliseconds timeout) {
    static std::mutex oneAtATime;
    std::lock_guard<std::mutex> lock(oneAtATime);

    ChildOutcome outcome;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        outcome.failure = std::string("no pipe: ") + std::strerror(errno);
        return outcome;
    }
    Fd in(fds[0]);
    Fd out(fds[1]);
    const pid_t pid = ::fork();
    if (pid < 0) {
        outcome.failure = std::string("no child process: ") + std::strerror(errno);
        return outcome;
    }
    if (pid == 0) {
        in.reset();
        runChild(out.get(), work);
    }
    out.reset();

    std::string received;
    bool timedOut = false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{in.get(), POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    if (timedOut) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);

    std::uint64_t size = 0;
    if (timedOut) {
        outcome.failure = "it ran longer than " + std::to_string(timeout.count()) + " ms";
    } else if (reaped == pid && !describe(status).empty()) {
        outcome.failure = describe(status);
    } else if (received.size() < sizeof size || (std::memcpy(&size, received.data(), sizeof size),
                                                 received.size() - sizeof size != size)) {
        outcome.failure = "it ended without a result";
    } else {
        outcome.finished = true;
        outcome.output = received.substr(sizeof size);
    }
    return outcome;
}

}  // namespace d3dx9::fx
