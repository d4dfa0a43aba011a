// The game played as a player would, start to clean exit, through the input script: each
// run is frame-numbered on the frame-locked clock, so the same frames see the same stages on
// any machine, and only certain outcomes are checked in the pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/game_run.h"

namespace {

using e2e::countPixels;

// The main menu's rows at 800 x 600: start, help and exit, 44 pixels apart.
constexpr int kStartY = 405;
constexpr int kExitY = 492;

bool bright(int r, int g, int b) {
    return r > 200 && g > 200 && b > 200;
}
bool green(int r, int g, int b) {
    return g > 170 && r < 160 && b < 120;
}
bool red(int r, int g, int b) {
    return r > 180 && g < 110 && b < 110;
}
bool orange(int r, int g, int b) {
    return r > 200 && g > 130 && g < 200 && b < 80;
}

void expectCleanExit(const e2e::RunResult& run) {
    EXPECT_EQ(run.exitCode, 0) << run.folder;
    const std::string last = "[debug] Successfull exit\n";
    ASSERT_GE(run.log.size(), last.size()) << run.folder;
    EXPECT_EQ(run.log.substr(run.log.size() - last.size()), last);
    EXPECT_EQ(run.log.find("Application terminating"), std::string::npos);
    EXPECT_EQ(run.log.find("Failed to fetch"), std::string::npos);
    // video, menu, video, play, menu after the picture, exit screen
    EXPECT_EQ(e2e::stagesActivated(run.log), (std::vector<int>{2, 1, 3, 4, 1, 5}));
}

// The drive test's start and end in the middle of the town's box, on the map at 800 x 600:
// the car's icon (40 x 40) centred on the start, and the target's circle centred on the end,
// 30 units (37 pixels) below it.
constexpr int kCarIconX = 281;
constexpr int kCarIconY = 253;
constexpr int kMarkerX = 281;
constexpr int kMarkerY = 290;

bool outline(int r, int g, int b) {
    return r < 45 && g < 45 && b < 45;
}
bool brightRed(int r, int g, int b) {
    return r > 220 && g < 100 && b < 100;
}

void expectMapIcons(const e2e::Picture& map) {
    ASSERT_TRUE(map.loaded());
    EXPECT_GT(countPixels(map, 550, 148, 568, 164, red), 60) << "the legend's goal";
    EXPECT_GT(
        countPixels(map, kCarIconX - 20, kCarIconY - 20, kCarIconX + 20, kCarIconY + 20, outline),
        40)
        << "the car's icon";
    // The circle's dot wobbles by up to 5 pixels; the town's roofs are a duller red.
    EXPECT_GT(countPixels(map, kMarkerX - 8, kMarkerY - 8, kMarkerX + 8, kMarkerY + 8, brightRed),
              60)
        << "the target's circle";
    EXPECT_LT(countPixels(map, 40, 20, 530, 180, outline), 5) << "nothing dark on the plan";
    EXPECT_LT(countPixels(map, 40, 400, 530, 530, brightRed), 5) << "roofs are not the dot";
}

void expectMenuButtons(const e2e::Picture& menu) {
    ASSERT_TRUE(menu.loaded());
    for (int row = 0; row < 3; ++row) {
        const int y = kStartY + row * 43;
        EXPECT_GT(countPixels(menu, 160, y - 8, 250, y + 8, bright), 60) << "row " << row;
    }
    // Between the rows: the panel, no label.
    EXPECT_LT(countPixels(menu, 160, kStartY + 18, 250, kStartY + 26, bright), 5);
}

TEST(GameRunTest, VideosMenuMapAndADriveWithTheAcceleratorToAWinThenExit) {
    e2e::RunSetup setup;
    setup.name = "drive_to_win";
    setup.script =
        "30 press ESCAPE\n"
        "80 click 200 405\n"
        "130 press ESCAPE\n"
        "200 press TAB\n"
        "230 down UP\n"
        "650 up UP\n"
        "700 press SPACE\n"
        "760 click 200 492\n";
    setup.presents = {60, 180, 260, 320, 600, 780};
    const e2e::RunResult run = e2e::runGame(setup);
    expectCleanExit(run);
    EXPECT_EQ(e2e::output(run).find("input script"), std::string::npos);

    expectMenuButtons(e2e::picture(run, 60));
    expectMapIcons(e2e::picture(run, 180));
    const e2e::Picture early = e2e::picture(run, 260);
    const e2e::Picture later = e2e::picture(run, 320);
    ASSERT_TRUE(early.loaded() && later.loaded());
    EXPECT_TRUE(e2e::differIn(early, later, 20, 20, 110, 42)) << "the countdown's digits";
    const e2e::Picture win = e2e::picture(run, 600);
    ASSERT_TRUE(win.loaded());
    EXPECT_GT(countPixels(win, 100, 250, 700, 325, green), 3000) << "the win picture";
    const e2e::Picture exit = e2e::picture(run, 780);
    ASSERT_TRUE(exit.loaded());
    EXPECT_GT(countPixels(exit, 50, 230, 750, 290, orange), 3000) << "the exit screen";
}

TEST(GameRunTest, AfterJAVirtualWheelAndPedalsDriveToAWin) {
    e2e::RunSetup setup;
    setup.name = "wheel_and_pedals";
    // The devices are plugged in when the game makes its DirectInput object; the accelerator
    // rests at the top of its axis and is floored at the bottom, the brake the other way.
    setup.script =
        "1 attach wheel wheel 1 1\n"
        "1 attach pedals pedals 2 0\n"
        "1 axis pedals 0 32767\n"
        "1 axis pedals 1 -32768\n"
        "30 press ESCAPE\n"
        "80 click 200 405\n"
        "130 press ESCAPE\n"
        "200 press TAB\n"
        "220 press J\n"
        "230 axis pedals 0 -32768\n"
        "240 axis wheel 0 0\n"
        "650 axis pedals 0 32767\n"
        "700 press SPACE\n"
        "760 click 200 492\n";
    setup.presents = {600};
    const e2e::RunResult run = e2e::runGame(setup);
    expectCleanExit(run);
    const std::string output = e2e::output(run);
    EXPECT_EQ(output.find("input script"), std::string::npos) << output;
    const e2e::Picture win = e2e::picture(run, 600);
    ASSERT_TRUE(win.loaded());
    EXPECT_GT(countPixels(win, 100, 250, 700, 325, green), 3000) << "the win picture";
}

// The accelerator alone reaches the end by frame 390; held with it from the start, the
// handbrake drags the rear wheels and the car gets there about a second later. The run goes
// from the menu to the closed map, the given controls from frame 205 on, and out through the
// menu after the win.
void expectHandbrakeHoldsBack(const std::string& name, const std::string& controls) {
    e2e::RunSetup setup;
    setup.name = name;
    setup.script = "30 press ESCAPE\n80 click 200 405\n130 press ESCAPE\n200 press TAB\n" +
                   controls + "700 press SPACE\n760 click 200 492\n";
    setup.presents = {415, 600};
    const e2e::RunResult run = e2e::runGame(setup);
    expectCleanExit(run);
    EXPECT_EQ(e2e::output(run).find("input script"), std::string::npos) << e2e::output(run);
    const e2e::Picture held = e2e::picture(run, 415);
    const e2e::Picture win = e2e::picture(run, 600);
    ASSERT_TRUE(held.loaded() && win.loaded());
    EXPECT_LT(countPixels(held, 100, 250, 700, 325, green), 100) << "no win yet";
    EXPECT_GT(countPixels(win, 100, 250, 700, 325, green), 3000) << "the win picture";
}

TEST(GameRunTest, SpaceIsTheHandbrake) {
    expectHandbrakeHoldsBack("handbrake_space",
                             "230 down UP\n230 down SPACE\n650 up UP\n650 up SPACE\n");
}

// The mouse moved far right before 'M' leaves mouse steering centred, so the left button
// drives straight to the end, held back by the middle one.
TEST(GameRunTest, MouseSteeringStartsCentredAndItsMiddleButtonIsTheHandbrake) {
    expectHandbrakeHoldsBack("handbrake_mouse",
                             "205 move 500 300\n210 move 790 300\n220 press M\n"
                             "230 button 1 down\n230 button 3 down\n"
                             "650 button 1 up\n650 button 3 up\n");
}

// A pointer that rests where a button appears is over it: the menu's START, the Continue of
// the map that the run opens with and the pause menu's EXIT each take a click with no motion
// since their page came up, the first two placed while a video still plays.
TEST(GameRunTest, AClickWithoutMotionLandsOnTheButtonUnderTheRestingPointer) {
    e2e::RunSetup setup;
    setup.name = "click_without_motion";
    setup.script =
        "10 move 200 405\n30 press ESCAPE\n80 button 1 down\n81 button 1 up\n"
        "100 move 650 579\n130 press ESCAPE\n200 button 1 down\n201 button 1 up\n"
        "260 move 200 490\n270 press ESCAPE\n300 button 1 down\n301 button 1 up\n";
    const e2e::RunResult run = e2e::runGame(setup);
    EXPECT_EQ(e2e::output(run).find("input script"), std::string::npos) << e2e::output(run);
    EXPECT_EQ(run.exitCode, 0) << run.folder;
    // video, menu, video, play, exit screen
    EXPECT_EQ(e2e::stagesActivated(run.log), (std::vector<int>{2, 1, 3, 4, 5}));
}

TEST(GameRunTest, WithoutTheAcceleratorAFastClockLosesOnTime) {
    e2e::RunSetup setup;
    setup.name = "lose_on_time";
    // A second of game time to the frame: the videos end by themselves, the race's ten minutes
    // in 600 frames.
    setup.clockRate = 60.0;
    setup.script =
        "40 click 200 405\n"
        "100 press TAB\n"
        "900 press SPACE\n"
        "950 click 200 492\n";
    setup.presents = {30, 90, 850};
    const e2e::RunResult run = e2e::runGame(setup);
    expectCleanExit(run);
    expectMenuButtons(e2e::picture(run, 30));
    expectMapIcons(e2e::picture(run, 90));
    const e2e::Picture lose = e2e::picture(run, 850);
    ASSERT_TRUE(lose.loaded());
    EXPECT_GT(countPixels(lose, 100, 250, 700, 325, red), 3000) << "the lose picture";
}

}  // namespace
