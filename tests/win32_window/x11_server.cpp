#include "tests/win32_window/x11_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace morvale_testing {

namespace {

pid_t spawnQuietly(const char* program, std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawn(&child, program, &actions, nullptr, argv.data(), environ) != 0) {
        child = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

void stop(pid_t& child) {
    if (child != 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        child = 0;
    }
}

bool waitFor(const std::string& path) {
    for (int tries = 0; tries < 100; ++tries) {
        if (access(path.c_str(), F_OK) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

X11Server::X11Server(const std::string& screen, bool windowManager, int base)
    : managed_(windowManager) {
    const char* xvfb = "/usr/bin/Xvfb";
    const char* openbox = "/usr/bin/openbox";
    if (access(xvfb, X_OK) != 0 || (windowManager && access(openbox, X_OK) != 0)) {
        return;
    }
    // A display of our own, so that parallel runs do not meet.
    int number = base + static_cast<int>(getpid() % 700);
    while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) {
        ++number;
    }
    display_ = ":" + std::to_string(number);
    server_ =
        spawnQuietly(xvfb, {xvfb, display_, "-screen", "0", screen + "x24", "-nolisten", "tcp"});
    if (server_ == 0 || !waitFor("/tmp/.X11-unix/X" + std::to_string(number))) {
        stop(server_);
        return;
    }
    if (windowManager) {
        setenv("DISPLAY", display_.c_str(), 1);
        manager_ = spawnQuietly(openbox, {openbox});
        // openbox is ready once it owns the screen's window-manager selection; half a second
        // is ample on an idle server.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
}

X11Server::~X11Server() {
    stop(manager_);
    stop(server_);
}

void X11Server::useIt() const {
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
}

}  // namespace morvale_testing
