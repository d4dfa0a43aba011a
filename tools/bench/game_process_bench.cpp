// The whole game's executable timed from outside, on the frame-locked clock and an input
// script: start-up to the first frame, and the wall time of a play frame on a level, from the
// difference of two runs that differ only in how many frames they play.
//
//   game_process_bench [<level file>...]   (default: drive_test.slev and final_level.slev)
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Wall seconds of one run that quits after the given number of frames.
double runSeconds(const std::string& level, long frames, const std::filesystem::path& folder) {
    const std::string command =
        "cd '" + folder.string() +
        "' && MORVALE_CLOCK_FRAME_MS=16.667 MORVALE_INPUT_SCRIPT=script.txt "
        "MORVALE_QUIT_AFTER_FRAMES=" +
        std::to_string(frames) + " '" MORVALE_GAME_EXECUTABLE "' level=" + level +
        " > /dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the game failed on %s\n", level.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(end - start).count();
}

double fastest(const std::string& level, long frames, const std::filesystem::path& folder) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const double seconds = runSeconds(level, frames, folder);
        best = seconds < best ? seconds : best;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> levels;
    for (int i = 1; i < argc; ++i) {
        levels.emplace_back(argv[i]);
    }
    if (levels.empty()) {
        levels = {"drive_test.slev", "final_level.slev"};
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "morvale_game_process_bench";
    std::filesystem::create_directories(folder);
    // Past both videos, the menu and the map by frame 200; the accelerator held from 230.
    std::ofstream(folder / "script.txt") << "30 press ESCAPE\n80 click 200 405\n"
                                            "130 press ESCAPE\n200 press TAB\n230 down UP\n";
    std::printf("%-20s %14s %16s %12s\n", "level", "first frame s", "play frame ms", "frames/s");
    for (const std::string& level : levels) {
        const double first = fastest(level, 1, folder);
        const long shortRun = 400;
        const long longRun = 1400;
        const double frame = (fastest(level, longRun, folder) - fastest(level, shortRun, folder)) /
                             static_cast<double>(longRun - shortRun);
        std::printf("%-20s %14.3f %16.3f %12.0f\n", level.c_str(), first, frame * 1000.0,
                    1.0 / frame);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
