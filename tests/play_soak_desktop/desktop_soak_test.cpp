// The game's own executable played for minutes on a real X server under a window manager, full
// screen, as a player leaves it running: once the first minute has loaded and played what
// there is, the resident memory stays where it is.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/x_server.h"

namespace {

using namespace std::chrono_literals;

// Resident kilobytes of the process; 0 once it is gone.
long residentKilobytes(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return 0;
}

pid_t startGame(const std::filesystem::path& folder, const morvale_testing::XServer& server) {
    const pid_t child = fork();
    if (child == 0) {
        std::filesystem::current_path(folder);
        server.use();
        setenv("MORVALE_INPUT_SCRIPT", "script.txt", 1);
        std::freopen("output.txt", "w", stdout);
        std::freopen("output.txt", "a", stderr);
        execl(MORVALE_GAME_EXECUTABLE, MORVALE_GAME_EXECUTABLE, "-log", nullptr);
        std::_Exit(127);
    }
    return child;
}

TEST(DesktopSoakTest, ResidentMemoryStaysFlatAfterTheFirstMinute) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator holds freed memory back: resident memory tells "
                    "nothing of the game's";
#endif
    const morvale_testing::XServer server("1024x768", true);
    if (!server.running()) {
        GTEST_SKIP() << "no Xvfb or openbox on this machine";
    }
    const std::filesystem::path folder = std::filesystem::path(MORVALE_SOAK_RUNS) / "flat";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    // Past the video and the menu (full screen: START at 270, 518) and the map; then a drive,
    // a look from outside and a stop, while the ambient sounds come one by one.
    std::ofstream(folder / "script.txt") << "30 press ESCAPE\n80 click 270 518\n130 press ESCAPE\n"
                                            "200 press TAB\n230 down UP\n400 up UP\n"
                                            "500 press V\n800 down DOWN\n900 up DOWN\n";
    const pid_t game = startGame(folder, server);
    ASSERT_GT(game, 0);

    const auto minutes = std::chrono::minutes(4);
    const auto start = std::chrono::steady_clock::now();
    std::vector<long> afterTheFirstMinute;
    while (std::chrono::steady_clock::now() - start < minutes) {
        std::this_thread::sleep_for(5s);
        const long resident = residentKilobytes(game);
        ASSERT_GT(resident, 0) << "the game ended early; see " << folder;
        if (std::chrono::steady_clock::now() - start >= 1min) {
            afterTheFirstMinute.push_back(resident);
        }
    }
    kill(game, SIGTERM);
    int status = 0;
    waitpid(game, &status, 0);

    ASSERT_FALSE(afterTheFirstMinute.empty());
    const long first = afterTheFirstMinute.front();
    const long highest = *std::max_element(afterTheFirstMinute.begin(), afterTheFirstMinute.end());
    // Allocator noise stays well under this; the growth it guards against was 1.5 MB a minute.
    EXPECT_LE(highest - first, 1024) << "resident kB from " << first << " to " << highest;
}

}  // namespace
