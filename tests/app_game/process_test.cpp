// The game's own executable, started from another folder under SDL's offscreen driver (the
// test executable's environment) and ended by a posted quit after a number of frames.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/win32/temp_folder.h"

namespace {

struct GameRun {
    int exitCode = -1;
    std::string log;  // GameModule.log in the folder it was started from
    bool logWritten = false;
};

GameRun runGame(const std::filesystem::path& folder, long frames, const std::string& arguments) {
    std::filesystem::remove(folder / "GameModule.log");
    const std::string command =
        "cd '" + folder.string() +
        "' && ASAN_OPTIONS=detect_leaks=0 MORVALE_QUIT_AFTER_FRAMES=" + std::to_string(frames) +
        " '" MORVALE_GAME_EXECUTABLE "' " + arguments + " > output.txt 2>&1";
    GameRun run;
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(folder / "GameModule.log");
    run.logWritten = static_cast<bool>(in);
    std::stringstream text;
    text << in.rdbuf();
    run.log = text.str();
    return run;
}

TEST(GameProcessTest, FromAnotherFolderTheGameFindsItsArtReachesTheMenuAndQuitsCleanly) {
    TempFolder folder;
    // The first video lasts a few seconds of wall time, however fast the frames come.
    GameRun run;
    for (long frames = 1000; frames <= 64000; frames *= 2) {
        run = runGame(folder.path(), frames, "-log");
        ASSERT_EQ(run.exitCode, 0) << run.log;
        if (run.log.find("[debug] Activating stage: 1\n") != std::string::npos) {
            break;
        }
    }
    EXPECT_NE(run.log.find("[debug] Current path   : " + folder.path().string()),
              std::string::npos);
    EXPECT_NE(run.log.find("[debug] Activating stage: 2\n"), std::string::npos);
    EXPECT_NE(run.log.find("[debug] Activating stage: 1\n"), std::string::npos);
    EXPECT_EQ(run.log.find("Application terminating"), std::string::npos);
    EXPECT_EQ(run.log.find("Failed to fetch"), std::string::npos);
    const std::string last = "[debug] Successfull exit\n";
    ASSERT_GE(run.log.size(), last.size());
    EXPECT_EQ(run.log.substr(run.log.size() - last.size()), last);
}

TEST(GameProcessTest, TheLogFileComesWithLogAsAFlagOrAPairOnly) {
    TempFolder folder;
    for (const char* arguments : {"-log", "log=1"}) {
        const GameRun run = runGame(folder.path(), 3, arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments;
        EXPECT_TRUE(run.logWritten) << arguments;
        EXPECT_NE(run.log.find("[debug] Successfull exit\n"), std::string::npos) << arguments;
    }
    const GameRun silent = runGame(folder.path(), 3, "log");
    EXPECT_EQ(silent.exitCode, 0);
    EXPECT_FALSE(silent.logWritten) << "a bare word is no option";
}

TEST(GameProcessTest, WithoutItsArtTheGameSaysWhyAndTheCrashHandlerWritesItsReport) {
    // The program two folders below a folder without "proc_art", next to the build's own
    // program so that a hard link does (a copy where links cannot be made).
    const std::filesystem::path place =
        std::filesystem::path(MORVALE_GAME_EXECUTABLE).parent_path().parent_path() / "tests" /
        "app_game_without_art";
    std::filesystem::remove_all(place);
    std::filesystem::create_directories(place / "a" / "bin");
    const std::filesystem::path program = place / "a" / "bin" / "morvale";
    std::error_code linkError;
    std::filesystem::create_hard_link(MORVALE_GAME_EXECUTABLE, program, linkError);
    if (linkError) {
        std::filesystem::copy_file(MORVALE_GAME_EXECUTABLE, program);
    }
    const std::string command = "cd '" + place.string() + "' && ASAN_OPTIONS=detect_leaks=0 '" +
                                program.string() + "' > output.txt 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::ifstream in(place / "output.txt");
    std::stringstream output;
    output << in.rdbuf();
    EXPECT_NE(output.str().find("std::runtime_error: Application terminating: "), std::string::npos)
        << output.str();
    bool dumped = false;
    for (const auto& entry : std::filesystem::directory_iterator(place / "a" / "bin")) {
        dumped = dumped || entry.path().extension() == ".dmp";
    }
    EXPECT_TRUE(dumped) << output.str();
    std::filesystem::remove_all(place);
}

}  // namespace
