#include "tests/support/x_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

extern char** environ;

namespace morvale_testing {

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr const char* kOpenbox = "/usr/bin/openbox";

pid_t spawnQuietly(std::vector<std::string> arguments) {
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
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
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

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string socketOf(int number) {
    return "/tmp/.X11-unix/X" + std::to_string(number);
}

bool held(int number) {
    return exists("/tmp/.X" + std::to_string(number) + "-lock") || exists(socketOf(number));
}

}  // namespace

XServer::XServer(const std::string& screen, bool windowManager) : managed_(windowManager) {
    if (access(kXvfb, X_OK) != 0 || (windowManager && access(kOpenbox, X_OK) != 0)) {
        return;
    }
    // Numbers from the process id, so that parallel runs start apart.
    int number = 300 + static_cast<int>(getpid() % 600);
    for (int attempts = 0; attempts < 5 && !start(number, screen); ++attempts) {
        ++number;
    }
    if (server_ != 0 && windowManager) {
        setenv("DISPLAY", display_.c_str(), 1);
        manager_ = spawnQuietly({kOpenbox});
        // openbox takes the screen within a few hundred milliseconds of an idle server.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
}

XServer::~XServer() {
    stop(manager_);
    stop(server_);
}

bool XServer::start(int& number, const std::string& screen) {
    while (held(number)) {
        ++number;
    }
    display_ = ":" + std::to_string(number);
    server_ = spawnQuietly({kXvfb, display_, "-screen", "0", screen + "x24", "-nolisten", "tcp"});
    for (int tries = 0; server_ != 0 && tries < 100; ++tries) {
        if (waitpid(server_, nullptr, WNOHANG) == server_) {
            server_ = 0;
            return false;
        }
        if (exists(socketOf(number))) {
            // The lock names the server that holds the display: another may have come first.
            std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
            pid_t holder = 0;
            if (lock >> holder && holder == server_) {
                return true;
            }
            stop(server_);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stop(server_);
    return true;
}

void XServer::use() const {
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
}

}  // namespace morvale_testing
