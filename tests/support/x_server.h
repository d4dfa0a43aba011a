// An X server of the test's own (Xvfb, with openbox on top when asked and installed) for the
// cases that need a real display; neither is required: without them the cases skip.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace morvale_testing {

class XServer {
public:
    // A free display number from the process id, so parallel runs do not meet.
    explicit XServer(bool withManager = false) {
        int number = 300 + static_cast<int>(getpid() % 600);
        while (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0 ||
               access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) {
            ++number;
        }
        display_ = ":" + std::to_string(number);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        server_ =
            spawn({"/usr/bin/Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        for (int tries = 0; server_ != 0 && tries < 100 && access(socket.c_str(), F_OK) != 0;
             ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (access(socket.c_str(), F_OK) != 0) {
            stop(server_);
        }
        if (server_ != 0 && withManager) {
            setenv("DISPLAY", display_.c_str(), 1);
            manager_ = spawn({"/usr/bin/openbox"});
            // openbox takes the screen within a few hundred milliseconds.
            std::this_thread::sleep_for(std::chrono::milliseconds(manager_ != 0 ? 700 : 0));
        }
    }
    ~XServer() {
        stop(manager_);
        stop(server_);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool running() const { return server_ != 0; }
    bool managed() const { return manager_ != 0; }
    // Points DISPLAY at the server and SDL at its x11 driver.
    void use() const {
        setenv("DISPLAY", display_.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }

private:
    static pid_t spawn(std::vector<std::string> arguments) {
        if (access(arguments[0].c_str(), X_OK) != 0) {
            return 0;
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t process = 0;
        if (posix_spawn(&process, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            process = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        return process;
    }
    static void stop(pid_t& process) {
        if (process != 0) {
            kill(process, SIGTERM);
            waitpid(process, nullptr, 0);
            process = 0;
        }
    }

    std::string display_;
    pid_t server_ = 0;
    pid_t manager_ = 0;
};

}  // namespace morvale_testing
