#include "engine/render/device/application_window.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/render_fixture.h"

namespace kesh::testing {
namespace {

// Counts calls; on each idle turn runs the next scripted action, then quits when none is left.
class Recorder : public FrameListener,
                 public MouseListener,
                 public KeyListener,
                 public MessageHook {
public:
    void onFrame() override { ++frames; }
    void onResize(int width, int height) override { resizes.emplace_back(width, height); }
    bool checkDevice() override {
        ++checks;
        if (actions.empty()) {
            PostQuitMessage(0);
        } else {
            auto action = actions.front();
            actions.erase(actions.begin());
            action();
        }
        return deviceLost;
    }
    void onMouseMove(int x, int y) override { moves.emplace_back(x, y); }
    void onMouseWheel(int) override {}
    void onMouseButton(int button, int down) override { buttons.emplace_back(button, down); }
    void onKey(WPARAM key, int down) override { keys.emplace_back(key, down); }
    LRESULT onMessage(HWND, UINT message, WPARAM, LPARAM, bool* handled) override {
        if (message == WM_KEYDOWN && swallowKeys) {
            *handled = true;
            return 7;
        }
        return 0;
    }

    std::vector<std::function<void()>> actions;
    bool deviceLost = false;
    bool swallowKeys = false;
    int frames = 0;
    int checks = 0;
    std::vector<std::pair<int, int>> resizes;
    std::vector<std::pair<int, int>> moves;
    std::vector<std::pair<int, int>> buttons;
    std::vector<std::pair<WPARAM, int>> keys;
};

class ApplicationWindowTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        ASSERT_TRUE(application.create(nullptr, L"Morvale", 0, 0, 400, 300));
        application.setClientSize(800, 600);
        application.show(SW_SHOWNORMAL);
        application.setMouseListener(&recorder);
        application.setKeyListener(&recorder);
        application.setMessageHook(&recorder);
    }

    HWND hwnd() const { return application.getWindow(); }

    ApplicationWindow application;
    Recorder recorder;
};

TEST_F(ApplicationWindowTest, CreateMakesTheWindowAndSizesTheClientArea) {
    EXPECT_EQ(GetWindowLongPtrW(hwnd(), 0), reinterpret_cast<LONG_PTR>(&application));
    RECT client{};
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
}

TEST_F(ApplicationWindowTest, ABorderDragResizesOnceWhenItEnds) {
    recorder.actions = {[&] {
        win32::simulateResizeDrag(hwnd(), {{700, 500}, {900, 650}, {1000, 700}});
    }};
    EXPECT_EQ(application.run(&recorder), 0);
    // The client area, which the back buffer must match.
    EXPECT_EQ(recorder.resizes, (std::vector<std::pair<int, int>>{{1000, 700}}));
    EXPECT_TRUE(logged("sendResize: dimensions (1000, 700)"));
}

TEST_F(ApplicationWindowTest, MinimisingSendsNothingAndRestoringSendsOne) {
    recorder.actions = {[&] { win32::simulateMinimize(hwnd()); },
                        [&] { EXPECT_TRUE(recorder.resizes.empty()); },
                        [&] { win32::simulateRestore(hwnd()); },
                        [&] { win32::simulateMaximize(hwnd(), 1024, 740); }};
    application.run(&recorder);
    EXPECT_EQ(recorder.resizes, (std::vector<std::pair<int, int>>{{800, 600}, {1024, 740}}));
}

TEST_F(ApplicationWindowTest, InputReachesTheListenersUnlessTheHookTakesIt) {
    recorder.actions = {[&] {
                            win32::simulateKey(hwnd(), 'V', true);
                            win32::simulateKey(hwnd(), 'V', false);
                            win32::simulateMouseMove(hwnd(), 70000, 12);
                            win32::simulateMouseButton(hwnd(), 3, true);
                            win32::simulateMouseButton(hwnd(), 1, false);
                        },
                        [&] {
                            recorder.swallowKeys = true;
                            win32::simulateKey(hwnd(), VK_ESCAPE, true);
                        }};
    application.run(&recorder);
    EXPECT_EQ(recorder.keys, (std::vector<std::pair<WPARAM, int>>{{'V', 1}, {'V', 0}}));
    // Coordinates arrive as unsigned 16-bit values.
    EXPECT_EQ(recorder.moves, (std::vector<std::pair<int, int>>{{70000 - 65536, 12}}));
    EXPECT_EQ(recorder.buttons, (std::vector<std::pair<int, int>>{{3, 1}, {1, 0}}));
}

TEST_F(ApplicationWindowTest, WhileTheDeviceIsLostNoFrameIsDrawn) {
    recorder.deviceLost = true;
    recorder.actions = std::vector<std::function<void()>>(5, [] {});
    application.run(&recorder);
    EXPECT_EQ(recorder.checks, 6);
    EXPECT_EQ(recorder.frames, 0);

    Recorder live;
    live.actions = std::vector<std::function<void()>>(3, [] {});
    application.run(&live);
    EXPECT_EQ(live.frames, 4);  // the turn that posts the quit draws too
    EXPECT_EQ(live.checks, 4);
}

TEST_F(ApplicationWindowTest, ClosingTheWindowEndsThePump) {
    recorder.actions = {[&] { win32::simulateClose(hwnd()); },
                        [] { ADD_FAILURE() << "the pump went on after the window closed"; }};
    EXPECT_EQ(application.run(&recorder), 0);
    EXPECT_FALSE(IsWindow(hwnd()));
    EXPECT_EQ(recorder.checks, 1);
}

TEST_F(RenderTest, CreateReportsAWindowThatCouldNotBeMade) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    {
        ApplicationWindow application;
        EXPECT_FALSE(application.create(nullptr, L"Morvale", 0, 0, 400, 300));
    }
    if (previous != nullptr) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    win32::useWindowBackend(win32::WindowBackendKind::Headless);
    ApplicationWindow second;
    EXPECT_TRUE(second.create(nullptr, L"Morvale", 0, 0, 400, 300));
}

}  // namespace
}  // namespace kesh::testing
