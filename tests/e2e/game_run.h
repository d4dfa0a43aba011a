// One run of the game's executable from its own folder under build/tests/e2e_runs/, driven by
// an input script on the frame-locked clock, with pictures of chosen Presents kept there.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct RunSetup {
    std::string name;           // the run's folder
    std::string script;         // the input script's text
    std::vector<int> presents;  // pictures to take
    double clockRate = 1.0;
    long quitAfterFrames = 3000;  // a stuck run still ends
    std::string arguments = "level=drive_test.slev -log";
    // The program run; the build's own when empty. A run that ends in the crash handler
    // wants a copy of its own, since the dump goes next to the program.
    std::string program;
    // A run that hangs is killed after this many seconds (0: never); it then reads
    // kGuardExpired.
    int guardSeconds = 0;
    // The run's address space, in bytes, as `prlimit --as` sets it (0: none). Not applied
    // under AddressSanitizer, whose shadow memory alone is larger than any sensible limit.
    unsigned long long addressSpaceLimit = 0;
};

// The exit code of a run the guard killed.
constexpr int kGuardExpired = 137;

struct RunResult {
    int exitCode = -1;
    std::string log;  // GameModule.log
    std::filesystem::path folder;
};

RunResult runGame(const RunSetup& setup);

// A program of the run's own, under build/tests/e2e_runs/<name>_program/bin/bin/, two folders
// below an art folder that mirrors the built one through links, except for the files of
// replaced (paths relative to the art folder, and their new contents). The crash handler's
// dump lands beside this program, not in the build's bin/. Returns the program's path.
std::filesystem::path placeProgram(const std::string& name,
                                   const std::map<std::string, std::string>& replaced = {});

// The folder placeProgram made the art folder of name in.
std::filesystem::path placedArt(const std::string& name);

// What the run wrote to standard output and error (the script's complaints among it).
std::string output(const RunResult& run);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    bool loaded() const { return width > 0; }
};

// present_<n>.png of the run; empty when it was not written.
Picture picture(const RunResult& run, int present);

// Pixels of the rectangle [x0, x1) x [y0, y1) whose colour passes test.
template <class Test>
int countPixels(const Picture& p, int x0, int y0, int x1, int y1, Test test) {
    int count = 0;
    for (int y = y0; y < y1 && y < p.height; ++y) {
        for (int x = x0; x < x1 && x < p.width; ++x) {
            const unsigned char* c = &p.rgba[static_cast<std::size_t>(y * p.width + x) * 4];
            count += test(c[0], c[1], c[2]) ? 1 : 0;
        }
    }
    return count;
}

// Whether the two pictures differ anywhere in the rectangle.
bool differIn(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1);

// The stages activated, in order, as the log tells.
std::vector<int> stagesActivated(const std::string& log);

}  // namespace e2e
