#include "tests/e2e/game_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace e2e {

RunResult runGame(const RunSetup& setup) {
    RunResult run;
    run.folder = std::filesystem::path(MORVALE_E2E_RUNS) / setup.name;
    std::filesystem::remove_all(run.folder);
    std::filesystem::create_directories(run.folder);
    std::ofstream(run.folder / "script.txt") << setup.script;
    std::string presents;
    for (const int present : setup.presents) {
        presents += (presents.empty() ? "" : ",") + std::to_string(present);
    }
    std::ostringstream rate;
    rate << setup.clockRate;
    // 60 frames to the second of game time, whatever the machine's speed.
    std::string limits;
#if !defined(__SANITIZE_ADDRESS__)
    if (setup.addressSpaceLimit > 0) {
        limits += "prlimit --as=" + std::to_string(setup.addressSpaceLimit) + " ";
    }
#endif
    if (setup.guardSeconds > 0) {
        limits += "timeout -s KILL " + std::to_string(setup.guardSeconds) + " ";
    }
    const std::string command =
        "cd '" + run.folder.string() +
        "' && ASAN_OPTIONS=detect_leaks=0 MORVALE_CLOCK_FRAME_MS=16.667 MORVALE_CLOCK_RATE=" +
        rate.str() + " MORVALE_INPUT_SCRIPT=script.txt MORVALE_SCREENSHOT_DIR=. " +
        "MORVALE_SCREENSHOT_PRESENTS=" + presents +
        " MORVALE_QUIT_AFTER_FRAMES=" + std::to_string(setup.quitAfterFrames) + " " + limits + "'" +
        (setup.program.empty() ? MORVALE_GAME_EXECUTABLE : setup.program) + "' " + setup.arguments +
        " > output.txt 2>&1";
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(run.folder / "GameModule.log");
    std::stringstream text;
    text << in.rdbuf();
    run.log = text.str();
    return run;
}

std::filesystem::path placedArt(const std::string& name) {
    return std::filesystem::path(MORVALE_E2E_RUNS) / (name + "_program") / "proc_art";
}

std::filesystem::path placeProgram(const std::string& name,
                                   const std::map<std::string, std::string>& replaced) {
    namespace fs = std::filesystem;
    const fs::path place = fs::path(MORVALE_E2E_RUNS) / (name + "_program");
    const fs::path built(MORVALE_GAME_EXECUTABLE);
    fs::remove_all(place);
    fs::create_directories(place / "bin" / "bin");
    const fs::path program = place / "bin" / "bin" / "morvale";
    std::error_code linkError;
    fs::create_hard_link(built, program, linkError);
    if (linkError) {
        fs::copy_file(built, program);
    }
    const fs::path art = fs::canonical(built.parent_path() / ".." / ".." / "proc_art");
    for (const auto& entry : fs::recursive_directory_iterator(art)) {
        const fs::path mirrored = placedArt(name) / fs::relative(entry.path(), art);
        if (entry.is_directory()) {
            fs::create_directories(mirrored);
        } else {
            // Hard links, not symbolic ones: the game judges a file's place by its real path.
            fs::create_hard_link(entry.path(), mirrored, linkError);
            if (linkError) {
                fs::copy_file(entry.path(), mirrored);
            }
        }
    }
    for (const auto& [path, contents] : replaced) {
        const fs::path file = placedArt(name) / path;
        fs::create_directories(file.parent_path());
        fs::remove(file);
        std::ofstream(file, std::ios::binary) << contents;
    }
    return program;
}

std::string output(const RunResult& run) {
    std::ifstream in(run.folder / "output.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Picture picture(const RunResult& run, int present) {
    char name[32];
    std::snprintf(name, sizeof name, "present_%05d.png", present);
    Picture p;
    int channels = 0;
    unsigned char* pixels =
        stbi_load((run.folder / name).string().c_str(), &p.width, &p.height, &channels, 4);
    if (pixels == nullptr) {
        p.width = p.height = 0;
        return p;
    }
    p.rgba.assign(pixels, pixels + static_cast<std::size_t>(p.width * p.height) * 4);
    stbi_image_free(pixels);
    return p;
}

bool differIn(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1 && y < a.height && y < b.height; ++y) {
        for (int x = x0; x < x1 && x < a.width && x < b.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = static_cast<std::size_t>(y * a.width + x) * 4 + c;
                if (a.rgba[at] != b.rgba[at]) {
                    return true;
                }
            }
        }
    }
    return false;
}

std::vector<int> stagesActivated(const std::string& log) {
    std::vector<int> stages;
    const std::string mark = "[debug] Activating stage: ";
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
        stages.push_back(std::atoi(log.c_str() + at + mark.size()));
    }
    return stages;
}

}  // namespace e2e
