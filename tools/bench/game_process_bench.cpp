// The whole game's executable timed from outside, on the frame-locked clock and an input
// script: start-up to the first frame, the wall time of a play frame on a level, from the
// difference of two runs that differ only in how many frames they play, and the most
// resident memory the game held in the longer run.
//
// The game runs in the folder given (its input script and its log files go there), by default
// a fresh folder under the temporary folder, removed afterwards.
//
//   game_process_bench [--folder <folder>] [<level file>...]
//                                           (default: drive_test.slev and final_level.slev)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_figures.h"

namespace {

struct Run {
    double seconds = 0.0;
    double residentMegabytes = 0.0;  // the peak
};

// One run that quits after the given number of frames.
Run runOnce(const std::string& level, long frames, const std::filesystem::path& folder) {
    const std::string command =
        "cd '" + folder.string() +
        "' && MORVALE_CLOCK_FRAME_MS=16.667 MORVALE_INPUT_SCRIPT=script.txt "
        "MORVALE_QUIT_AFTER_FRAMES=" +
        std::to_string(frames) + " exec '" MORVALE_GAME_EXECUTABLE "' level=" + level +
        " > /dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // The shell replaces itself with the game, so the child's usage is the game's.
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the game failed on %s\n", level.c_str());
        std::exit(1);
    }
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// The fastest of three runs, with the most memory any of them held.
Run fastest(const std::string& level, long frames, const std::filesystem::path& folder) {
    Run best{1e9, 0.0};
    for (int i = 0; i < 3; ++i) {
        const Run run = runOnce(level, frames, folder);
        best.seconds = std::min(best.seconds, run.seconds);
        best.residentMegabytes = std::max(best.residentMegabytes, run.residentMegabytes);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> levels;
    std::filesystem::path given;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--folder" && i + 1 < argc) {
            given = argv[++i];
        } else {
            levels.emplace_back(argv[i]);
        }
    }
    if (levels.empty()) {
        levels = {"drive_test.slev", "final_level.slev"};
    }
    std::filesystem::path folder = given;
    if (given.empty()) {
        // A folder of this run's own: two runs at once must not share one.
        std::string pattern =
            (std::filesystem::temp_directory_path() / "morvale_game_process_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("no temporary folder");
            return 1;
        }
        folder = pattern;
    }
    std::filesystem::create_directories(folder);
    // Past both videos, the menu and the map by frame 200; the accelerator held from 230.
    std::ofstream(folder / "script.txt") << "30 press ESCAPE\n80 click 200 405\n"
                                            "130 press ESCAPE\n200 press TAB\n230 down UP\n";
    for (const std::string& level : levels) {
        const double first = fastest(level, 1, folder).seconds;
        const long shortRun = 400;
        const long longRun = 1400;
        const Run longer = fastest(level, longRun, folder);
        const double frame = (longer.seconds - fastest(level, shortRun, folder).seconds) /
                             static_cast<double>(longRun - shortRun);
        const std::string of = ", " + level;
        bench::printRow("start-up to the first frame" + of, bench::format("%.3f s", first),
                        "< 1 s");
        bench::printRow("game process play frame, gl" + of,
                        bench::format("%.3f ms", frame * 1000.0), "-");
        bench::printRow("game process frames/s, gl" + of, bench::format("%.0f", 1.0 / frame),
                        ">= 120");
        bench::printRow("resident memory, peak" + of,
                        bench::format("%.0f MB", longer.residentMegabytes), "< 200 MB");
    }
    if (given.empty()) {
        std::filesystem::remove_all(folder);
    }
    return 0;
}
