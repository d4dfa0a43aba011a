// The SDL window layer on a real X server: where the window really is and how big, which only
// a server (and a window manager that moves and resizes windows) shows. Each case runs in a
// child process, since SDL's video driver is process-wide.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

#include "tests/support/child_checks.h"
#include "tests/support/test_window.h"
#include "tests/support/x_server.h"
#include "win32/window_seams.h"

namespace {

using morvale_testing::finish;
using morvale_testing::XServer;

// The client area's origin and size on the screen, as the server has them.
SDL_Rect onScreen(HWND window) {
    auto* native = static_cast<SDL_Window*>(win32::sdlWindow(window));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Rect shown{};
    if (native != nullptr && SDL_GetWindowWMInfo(native, &info)) {
        Display* display = info.info.x11.display;
        XWindowAttributes attributes{};
        ::Window child = 0;
        XSync(display, False);
        XGetWindowAttributes(display, info.info.x11.window, &attributes);
        XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &shown.x,
                              &shown.y, &child);
        shown.w = attributes.width;
        shown.h = attributes.height;
    }
    return shown;
}

// Pumps for about turns hundredths of a second; the positions of the motion messages, in order.
std::vector<POINT> pointerMessages(int turns = 100) {
    std::vector<POINT> seen;
    for (int turn = 0; turn < turns; ++turn) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_MOUSEMOVE) {
                seen.push_back({LOWORD(message.lParam), HIWORD(message.lParam)});
            }
            DispatchMessageW(&message);
        }
        SDL_Delay(10);
    }
    return seen;
}

// Pumps until the server shows the window width pixels wide (five seconds at most: a loaded
// machine and its window manager take their time), then for about a second more; the
// positions of the motion messages of all that time, in order.
std::vector<POINT> pointerMessagesOnceShown(HWND window, int width) {
    std::vector<POINT> seen;
    for (int turn = 0; turn < 50 && onScreen(window).w != width; ++turn) {
        const std::vector<POINT> more = pointerMessages(10);
        seen.insert(seen.end(), more.begin(), more.end());
    }
    const std::vector<POINT> more = pointerMessages();
    seen.insert(seen.end(), more.begin(), more.end());
    return seen;
}

// The connection stays open: a server whose last client leaves resets, pointer and all.
Display* placePointer(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    return display;
}

POINT pointerNow(Display* display) {
    ::Window root = 0;
    ::Window child = 0;
    int x = 0;
    int y = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY,
                  &mask);
    return POINT{x, y};
}

// A window appearing under a resting pointer reports it where it is, the manager having put
// the window where it likes; going full screen, on the mode's size at once.
TEST(X11WindowTest, APointerRestingUnderANewWindowIsReportedWhereItIs) {
    for (const bool windowManager : {false, true}) {
        const XServer server("1024x768", windowManager);
        if (!server.running()) {
            GTEST_SKIP() << "no Xvfb or openbox on this machine";
        }
        EXPECT_EXIT(
            {
                server.use();
                win32::useWindowBackend(win32::WindowBackendKind::Sdl);
                Display* display = placePointer(300, 250);
                HWND window = morvale_testing::makeWindow(800, 600);
                CHILD_CHECK(window != nullptr);
                ShowWindow(window, SW_SHOWNORMAL);
                std::vector<POINT> seen = pointerMessagesOnceShown(window, 800);
                const SDL_Rect shown = onScreen(window);
                CHILD_CHECK(!seen.empty());
                for (const POINT& at : seen) {
                    CHILD_CHECK(at.x == 300 - shown.x && at.y == 250 - shown.y);
                }
                if (windowManager) {
                    // SDL keeps the pointer where it was in the window; the picture is the
                    // mode's size, so client and back-buffer pixels are the screen's.
                    win32::setBackBufferSize(window, 1024, 768);
                    SDL_SetWindowFullscreen(static_cast<SDL_Window*>(win32::sdlWindow(window)),
                                            SDL_WINDOW_FULLSCREEN);
                    seen = pointerMessagesOnceShown(window, 1024);
                    CHILD_CHECK(onScreen(window).w == 1024 && !seen.empty());
                    const POINT now = pointerNow(display);
                    CHILD_CHECK(seen.back().x == now.x && seen.back().y == now.y);
                }
                finish(true, "");
            },
            ::testing::ExitedWithCode(0), "");
    }
}

// The game's 800 x 600 window on a 640 x 480 screen: all of it, title bar included, stays on
// the screen and the client area takes what is left; on a screen that holds it, it keeps its
// size.
TEST(X11WindowTest, AWindowLargerThanTheScreenIsFittedToIt) {
    for (const bool windowManager : {false, true}) {
        const XServer server("640x480", windowManager);
        if (!server.running()) {
            GTEST_SKIP() << "no Xvfb or openbox on this machine";
        }
        EXPECT_EXIT(
            {
                server.use();
                win32::useWindowBackend(win32::WindowBackendKind::Sdl);
                HWND window = morvale_testing::makeWindow(400, 300);
                CHILD_CHECK(window != nullptr);
                ShowWindow(window, SW_SHOWNORMAL);
                CHILD_CHECK(morvale_testing::resizeClient(window, 400, 300));
                RECT outer{};
                GetWindowRect(window, &outer);
                CHILD_CHECK(outer.right - outer.left > 400 && outer.right <= 640);
                CHILD_CHECK(morvale_testing::resizeClient(window, 800, 600));
                pointerMessages();
                GetWindowRect(window, &outer);
                CHILD_CHECK(outer.left >= 0 && outer.top >= 0);
                CHILD_CHECK(outer.right <= 640 && outer.bottom <= 480);
                RECT client{};
                GetClientRect(window, &client);
                const SDL_Rect shown = onScreen(window);
                CHILD_CHECK(shown.w == client.right && shown.h == client.bottom);
                // Under a manager the client sits below the frame's title bar.
                CHILD_CHECK(shown.x >= 0 && shown.y >= (windowManager ? 1 : 0));
                CHILD_CHECK(shown.x + shown.w <= 640 && shown.y + shown.h <= 480);
                finish(true, "");
            },
            ::testing::ExitedWithCode(0), "");
    }
}

}  // namespace
