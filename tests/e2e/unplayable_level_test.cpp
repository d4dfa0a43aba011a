// A level the player names that cannot be played ends the program through its terminating
// box and the crash handler once the second video is skipped: never a run, never a win.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/game_run.h"

namespace {

namespace fs = std::filesystem;

void expectTerminated(const std::string& name, const std::string& level,
                      const std::string& message) {
    const fs::path program = e2e::placeProgram(name);
    e2e::RunSetup setup;
    setup.name = name;
    setup.program = program.string();
    setup.arguments = "level=" + level + " -log";
    setup.quitAfterFrames = 400;
    setup.script = "30 press ESCAPE\n80 click 200 405\n130 press ESCAPE\n";
    const e2e::RunResult run = e2e::runGame(setup);

    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.log.find("[debug] Application terminating: " + message), std::string::npos)
        << run.log;
    EXPECT_NE(e2e::output(run).find("std::runtime_error: Application terminating: " + message),
              std::string::npos);
    EXPECT_EQ(run.log.find("Successfull exit"), std::string::npos);
    // The play stage was asked for and never came: no picture, no return to the menu.
    EXPECT_EQ(e2e::stagesActivated(run.log), (std::vector<int>{2, 1, 3, 4}));
    bool dumped = false;
    for (const auto& entry : fs::directory_iterator(program.parent_path())) {
        dumped = dumped || entry.path().extension() == ".dmp";
    }
    EXPECT_TRUE(dumped) << "the crash handler's report";
    fs::remove_all(program.parent_path().parent_path().parent_path());
}

TEST(UnplayableLevelTest, AMisspeltLevelEndsInTheTerminatingBox) {
    expectTerminated("misspelt_level", "nope.slev", "Level levels/nope.slev cannot be read: ");
}

TEST(UnplayableLevelTest, ALevelWithoutAStartAndEndPairEndsInTheTerminatingBox) {
    expectTerminated("level_without_start", "interior.slev",
                     "Level levels/interior.slev has no start and end locators to pair");
}

}  // namespace
