// A level the player names but that cannot be played ends the program through its
// terminating box and the crash handler, after the menu's start and the second video: never
// a run, and never a win at the origin.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/game_run.h"

namespace {

namespace fs = std::filesystem;

// A link to the build's program with the art folder where it looks for it, so that the
// crash handler's dump lands beside the link and not in the build's own bin/; one per test,
// so that tests may run side by side.
class UnplayableLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        place = fs::path(MORVALE_E2E_RUNS) /
                (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "_program");
        fs::remove_all(place);
        fs::create_directories(program().parent_path());
        const fs::path built(MORVALE_GAME_EXECUTABLE);
        std::error_code linkError;
        fs::create_hard_link(built, program(), linkError);
        if (linkError) {
            fs::copy_file(built, program());
        }
        fs::create_directory_symlink(fs::absolute(built.parent_path() / ".." / ".." / "proc_art"),
                                     place / "proc_art");
    }
    void TearDown() override { fs::remove_all(place); }

    fs::path program() const { return place / "bin" / "bin" / "morvale"; }

    bool dumped() const {
        for (const auto& entry : fs::directory_iterator(program().parent_path())) {
            if (entry.path().extension() == ".dmp") {
                return true;
            }
        }
        return false;
    }

    e2e::RunResult startLevel(const std::string& name, const std::string& level) {
        e2e::RunSetup setup;
        setup.name = name;
        setup.program = program().string();
        setup.arguments = "level=" + level + " -log";
        setup.quitAfterFrames = 400;
        // Past the first video, start, past the second video: the level loads there.
        setup.script =
            "30 press ESCAPE\n"
            "80 click 200 405\n"
            "130 press ESCAPE\n";
        return e2e::runGame(setup);
    }

    void expectTerminated(const e2e::RunResult& run, const std::string& message) {
        EXPECT_NE(run.exitCode, 0) << run.folder;
        EXPECT_NE(run.log.find("[debug] Application terminating: " + message), std::string::npos)
            << run.log;
        EXPECT_NE(e2e::output(run).find("std::runtime_error: Application terminating: " + message),
                  std::string::npos)
            << e2e::output(run);
        EXPECT_EQ(run.log.find("Successfull exit"), std::string::npos);
        // The play stage was asked for and never came: no picture, no return to the menu.
        EXPECT_EQ(e2e::stagesActivated(run.log), (std::vector<int>{2, 1, 3, 4}));
        EXPECT_TRUE(dumped()) << "the crash handler's report";
    }

    fs::path place;
};

TEST_F(UnplayableLevelTest, AMisspeltLevelEndsInTheTerminatingBox) {
    const e2e::RunResult run = startLevel("misspelt_level", "nope.slev");
    expectTerminated(run, "Level levels/nope.slev cannot be read: ");
    EXPECT_NE(run.log.find("Load terrain data failed: "), std::string::npos);
}

TEST_F(UnplayableLevelTest, ALevelWithoutAStartAndEndPairEndsInTheTerminatingBox) {
    const e2e::RunResult run = startLevel("level_without_start", "interior.slev");
    expectTerminated(run, "Level levels/interior.slev has no start and end locators to pair");
}

}  // namespace
