// Message boxes and X errors on a real X server. Each case runs the "game" in a child process
// of its own (SDL's video driver is process-wide), which the case may kill.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include <d3d9.h>
#include <windows.h>

#include "d3d9/display.h"
#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "tests/support/test_window.h"
#include "tests/support/x_server.h"
#include "win32/window_seams.h"

namespace {

using namespace std::chrono;

std::set<pid_t> childrenOf(pid_t process) {
    std::set<pid_t> children;
    std::ifstream list("/proc/" + std::to_string(process) + "/task/" + std::to_string(process) +
                       "/children");
    for (pid_t child = 0; list >> child;) {
        children.insert(child);
    }
    return children;
}

bool waitUntil(const std::function<bool()>& done, milliseconds limit) {
    for (const auto end = steady_clock::now() + limit; steady_clock::now() < end;) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return done();
}

// Runs the game's part in a child (while meanwhile runs here); its exit code, or -1 when it
// had to be killed.
int runGame(const std::function<int()>& game, const std::function<void(pid_t)>& meanwhile = {}) {
    const pid_t child = fork();
    if (child == 0) {
        std::_Exit(game());
    }
    if (meanwhile) {
        meanwhile(child);
    }
    int status = 0;
    if (!waitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, seconds(20))) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The process of the game's box once one shows, other than the one given; 0 when none does.
// A box stays: SDL's short-lived tries at other ways to show a box do not count.
pid_t boxOf(pid_t game, pid_t other = 0) {
    const auto lasting = [game, other](pid_t& box) {
        const std::set<pid_t> children = childrenOf(game);
        box = children.empty() || *children.begin() == other ? 0 : *children.begin();
        std::this_thread::sleep_for(milliseconds(300));
        box = box != 0 && childrenOf(game).count(box) == 1 ? box : 0;
        return box != 0;
    };
    pid_t box = 0;
    waitUntil([&] { return lasting(box); }, seconds(5));
    return box;
}

// In the child: the game's window on the server, shown, its messages pumped.
HWND showGameWindow() {
    win32::setMessageBoxRecording(false);
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    HWND window = morvale_testing::makeWindow(800, 600);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

// Pumps the window's messages for a while; whether the window is gone by then.
bool closedWithin(HWND window, milliseconds limit) {
    return waitUntil(
        [window] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            return !IsWindow(window);
        },
        limit);
}

milliseconds timeBox(const wchar_t* caption) {
    const auto start = steady_clock::now();
    MessageBoxW(nullptr, L"Nobody reads this.", caption, MB_OK);
    return duration_cast<milliseconds>(steady_clock::now() - start);
}

bool boxesLeft() {
    return !childrenOf(getpid()).empty();
}

class BoxX11Test : public ::testing::Test {
protected:
    explicit BoxX11Test(bool windowManager = false) : server("1024x768", windowManager) {}
    void SetUp() override {
        if (!server.running()) {
            GTEST_SKIP() << "no Xvfb or openbox on this machine";
        }
        server.use();
    }

    morvale_testing::XServer server;
};

class ManagedBoxX11Test : public BoxX11Test {
protected:
    ManagedBoxX11Test() : BoxX11Test(true) {}
};

// In the child: the game's window full screen under the window manager.
HWND showFullScreenGameWindow() {
    HWND window = showGameWindow();
    SDL_SetWindowFullscreen(static_cast<SDL_Window*>(win32::sdlWindow(window)),
                            SDL_WINDOW_FULLSCREEN);
    closedWithin(window, milliseconds(500));
    return window;
}

::Window xWindowOf(HWND window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(static_cast<SDL_Window*>(win32::sdlWindow(window)), &info)
               ? info.info.x11.window
               : 0;
}

// Another client destroys the game's window; the game's next request on it fails.
bool closedAfterAnotherClientDestroyed(HWND window) {
    Display* other = XOpenDisplay(nullptr);
    XDestroyWindow(other, xWindowOf(window));
    XCloseDisplay(other);
    SetWindowTextW(window, L"Still here?");
    return closedWithin(window, seconds(2));
}

TEST_F(BoxX11Test, AnUnansweredBoxIsAnsweredAfterTheWaitAndLeavesNoProcess) {
    EXPECT_EQ(runGame([] {
                  showGameWindow();
                  setenv("MORVALE_BOX_WAIT_MS", "700", 1);
                  const milliseconds shown = timeBox(L"Warning");
                  // Up for the whole wait (a box that failed to show returns at once).
                  return shown >= milliseconds(700) && shown < seconds(5) && !boxesLeft() ? 0 : 1;
              }),
              0);
}

// A launcher stopping the game, or a session logging out, while a box is up.
TEST_F(BoxX11Test, SigtermWhileABoxIsUpEndsTheBoxAndClosesTheGame) {
    EXPECT_EQ(
        runGame([] {
            HWND window = showGameWindow();
            std::thread stopper([] {
                waitUntil(boxesLeft, seconds(5));
                kill(getpid(), SIGTERM);
            });
            const milliseconds shown = timeBox(L"Warning");
            stopper.join();
            return shown < seconds(10) && !boxesLeft() && closedWithin(window, seconds(2)) ? 0 : 1;
        }),
        0);
}

// The box's process would otherwise hold the game's connection, keeping its window on screen.
TEST_F(BoxX11Test, TheBoxProcessEndsWithSigtermAndWithTheGame) {
    // Orphans come here, to be waited for.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    pid_t second = 0;
    const int code = runGame(
        [] {
            showGameWindow();
            timeBox(L"First");
            timeBox(L"Second");
            return 0;
        },
        [&second](pid_t game) {
            const pid_t first = boxOf(game);
            if (first != 0 && kill(first, SIGTERM) == 0) {
                second = boxOf(game, first);
            }
            kill(game, SIGKILL);
        });
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_EQ(code, 128 + SIGKILL);
    ASSERT_NE(second, 0) << "the first box did not end with SIGTERM";
    EXPECT_TRUE(waitUntil([&] { return waitpid(second, nullptr, WNOHANG) == second; }, seconds(5)));
    kill(second, SIGKILL);
}

TEST_F(BoxX11Test, AnXErrorClosesTheWindowsInsteadOfEndingTheProcess) {
    EXPECT_EQ(runGame([] {
                  HWND window = showGameWindow();
                  closedWithin(window, milliseconds(200));
                  return closedAfterAnotherClientDestroyed(window) ? 0 : 1;
              }),
              0);
}

TEST_F(ManagedBoxX11Test, AFullScreenWindowDestroyedByAnotherClientClosesWithoutAHang) {
    EXPECT_EQ(runGame([] {
                  return closedAfterAnotherClientDestroyed(showFullScreenGameWindow()) ? 0 : 1;
              }),
              0);
}

// A failure releases the full-screen device before its box: the window, back at its windowed
// size, shows the last picture scaled to fit (left half red, right half blue), not its
// top-left corner.
TEST_F(ManagedBoxX11Test, TheLastPictureIsScaledIntoTheWindowWhenFullScreenEnds) {
    EXPECT_EQ(runGame([] {
                  d3d9::setDrawRecording(false);
                  d3d9::setDescribedAdapters(false);
                  d3d9::setModeCallRecording(false);
                  if (d3d9::chooseBackend().kind != d3d9::BackendKind::Gl) {
                      return 2;
                  }
                  HWND window = showGameWindow();
                  IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
                  D3DPRESENT_PARAMETERS parameters{};
                  parameters.BackBufferWidth = 1024;
                  parameters.BackBufferHeight = 768;
                  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
                  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
                  IDirect3DDevice9* device = nullptr;
                  if (direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x20, &parameters,
                                             &device) != D3D_OK) {
                      return 3;
                  }
                  const D3DRECT right{512, 0, 1024, 768};
                  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
                  device->Clear(1, &right, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
                  device->Present(nullptr, nullptr, nullptr, nullptr);
                  device->Release();
                  direct3d->Release();
                  Display* display = XOpenDisplay(nullptr);
                  XImage* image =
                      XGetImage(display, xWindowOf(window), 0, 0, 800, 600, AllPlanes, ZPixmap);
                  const bool scaled = image != nullptr && XGetPixel(image, 450, 300) == 0x0000FF &&
                                      XGetPixel(image, 350, 300) == 0xFF0000;
                  if (image != nullptr) {
                      XDestroyImage(image);
                  }
                  XCloseDisplay(display);
                  return scaled ? 0 : 1;
              }),
              0);
}

}  // namespace
