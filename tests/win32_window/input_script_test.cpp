// The input script handed over from inside the process: its events come out of the window's
// queue at the idle turns they name, a press's release one turn later, and a new script or an
// empty one replaces what was playing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace {

struct Event {
    int turn;
    UINT message;
    WPARAM wParam;
};

class InputScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::useWindowBackend(win32::WindowBackendKind::Headless);
        window = morvale_testing::makeWindow(320, 240);
        ASSERT_NE(window, nullptr);
        drain(0);
    }
    void TearDown() override {
        win32::playInputScript("");
        win32::resetWindowSystem();
    }

    // The messages of one turn: everything queued, up to and including the idle peek that
    // ends it (which plays the script's next frame).
    void drain(int turn) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
                message.message == WM_MOUSEMOVE || message.message == WM_LBUTTONDOWN ||
                message.message == WM_LBUTTONUP) {
                events.push_back({turn, message.message, message.wParam});
            }
        }
    }
    void turns(int count) {
        for (int i = 0; i < count; ++i) {
            drain(++turn);
        }
    }

    HWND window = nullptr;
    int turn = 0;
    std::vector<Event> events;
};

TEST_F(InputScriptTest, EventsArriveAtTheirFramesAndAPressIsReleasedOneFrameLater) {
    win32::playInputScript(
        "# held and pressed keys\n"
        "2 down UP\n"
        "3 press V\n"
        "5 up UP\n"
        "6 click 10 20\n");
    EXPECT_TRUE(win32::inputScriptActive());
    turns(8);
    // Frame n is played by the n-th idle peek, the one that ends turn n, so its messages
    // come out in turn n + 1, before the game's frame of that turn.
    const std::vector<Event> expected = {
        {3, WM_KEYDOWN, VK_UP}, {4, WM_KEYDOWN, 'V'}, {5, WM_KEYUP, 'V'},
        {6, WM_KEYUP, VK_UP},   {7, WM_MOUSEMOVE, 0}, {7, WM_LBUTTONDOWN, MK_LBUTTON},
        {8, WM_LBUTTONUP, 0},
    };
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(events[i].turn, expected[i].turn) << i;
        EXPECT_EQ(events[i].message, expected[i].message) << i;
        if (expected[i].message == WM_KEYDOWN || expected[i].message == WM_KEYUP) {
            EXPECT_EQ(events[i].wParam, expected[i].wParam) << i;
        }
    }
}

TEST_F(InputScriptTest, ANewScriptStartsAtItsOwnFrameOneAndAnEmptyOneEndsScriptedInput) {
    win32::playInputScript("1 down LEFT\n50 down RIGHT\n");
    turns(3);
    ASSERT_EQ(events.size(), 1u);
    // The rest of the first script is gone; the second counts its frames from here.
    win32::playInputScript("2 press SPACE\n");
    turns(1);
    EXPECT_EQ(events.size(), 1u);
    turns(60);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].turn, 6);
    EXPECT_EQ(events[1].wParam, static_cast<WPARAM>(VK_SPACE));
    EXPECT_EQ(events[2].message, static_cast<UINT>(WM_KEYUP));

    win32::playInputScript("");
    EXPECT_FALSE(win32::inputScriptActive());
}

TEST_F(InputScriptTest, LinesOutOfOrderOrWithoutAVerbAreDroppedAndTheRestPlays) {
    win32::playInputScript(
        "4 down A\n"
        "2 down B\n"  // before the line above it
        "5\n"         // a frame and nothing to do
        "junk\n"
        "6 down NOSUCHKEY\n"
        "6 down F13\n"
        "6 down F0\n"
        "7 up A\n");
    turns(10);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(events[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(events[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(events[1].turn, 8);
}

TEST_F(InputScriptTest, FunctionKeysByName) {
    win32::playInputScript("1 down F1\n1 down F7\n1 down F12\n");
    turns(3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].wParam, static_cast<WPARAM>(VK_F1));
    EXPECT_EQ(events[1].wParam, static_cast<WPARAM>(VK_F7));
    EXPECT_EQ(events[2].wParam, static_cast<WPARAM>(VK_F12));
}

}  // namespace
