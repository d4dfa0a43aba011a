// The display path on a real X server: Xvfb, started here when the machine has it (it is
// not required; without it these cases are skipped). Each case runs in a child process,
// since SDL's video driver is process-wide.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "d3d9/display.h"
#include "engine/render/device/device_factory.h"
#include "tests/support/render_fixture.h"

extern char** environ;

namespace kesh::testing {
namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

class X11DisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (access(kXvfb, X_OK) != 0) {
            return;
        }
        // A display number of our own, so parallel runs do not meet.
        const int number = 100 + static_cast<int>(getpid() % 800);
        display = ":" + std::to_string(number);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        std::string arguments[] = {kXvfb,         display,     "-screen", "0",
                                   "1024x768x24", "-nolisten", "tcp"};
        char* argv[8] = {};
        for (int i = 0; i < 7; ++i) {
            argv[i] = arguments[i].data();
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&server, kXvfb, &actions, nullptr, argv, environ) != 0) {
            server = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        for (int tries = 0; server != 0 && tries < 100 && access(socket.c_str(), F_OK) != 0;
             ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (server != 0 && access(socket.c_str(), F_OK) != 0) {
            stopServer();
        }
    }
    static void TearDownTestSuite() { stopServer(); }

    static void stopServer() {
        if (server != 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
            server = 0;
        }
    }

    void SetUp() override {
        if (server == 0) {
            GTEST_SKIP() << "no Xvfb on this machine";
        }
    }

    // In the child: the real display, real mode calls, SDL windows.
    static void useTheServer() {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        d3d9::setDescribedAdapters(false);
        d3d9::setModeCallRecording(false);
        win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    }

    static inline pid_t server = 0;
    static inline std::string display;
};

[[noreturn]] void finish(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
    }
    std::_Exit(ok ? 0 : 1);
}

#define CHILD_CHECK(condition) \
    if (!(condition))          \
    finish(false, #condition)

// The game is the server's only client here, as on a bare X server: each closed connection
// lets the server reset, and a connection made meanwhile is dropped.
TEST_F(X11DisplayTest, TheDisplayIsReachedRightAfterTheLastConnectionClosed) {
    EXPECT_EXIT(
        {
            useTheServer();
            for (int round = 0; round < 100; ++round) {
                const d3d9::AdapterDescription adapter = d3d9::displayAdapter();
                CHILD_CHECK(adapter.modes.count(D3DFMT_X8R8G8B8) == 1);
            }
            finish(true, "");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(X11DisplayTest, TheAdapterListsTheServersModes) {
    EXPECT_EXIT(
        {
            useTheServer();
            const d3d9::AdapterDescription adapter = d3d9::displayAdapter();
            CHILD_CHECK(!adapter.desktopModeFails);
            CHILD_CHECK(adapter.desktopMode.Width == 1024 && adapter.desktopMode.Height == 768);
            CHILD_CHECK(adapter.desktopMode.Format == D3DFMT_X8R8G8B8);
            const auto modes = adapter.modes.find(D3DFMT_X8R8G8B8);
            CHILD_CHECK(modes != adapter.modes.end() && !modes->second.empty());
            bool desktopListed = false;
            for (const D3DDISPLAYMODE& mode : modes->second) {
                desktopListed |= mode.Width == 1024 && mode.Height == 768;
            }
            CHILD_CHECK(desktopListed);
            finish(true, "");
        },
        ::testing::ExitedWithCode(0), "");
}

// No window manager carries out the full-screen request here: the window would stay at its
// windowed size under a device that believes it fills the screen.
TEST_F(X11DisplayTest, FullScreenThatDoesNotTakeFailsTheDeviceAndLeavesTheWindowWindowed) {
    EXPECT_EXIT(
        {
            useTheServer();
            captureVideoLog();
            HWND window = makeWindow(800, 600);
            CHILD_CHECK(window != nullptr);
            ShowWindow(window, SW_SHOWNORMAL);
            const auto pump = [] {
                bool resized = false;
                for (int turn = 0; turn < 20; ++turn) {
                    MSG message;
                    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                        resized |= message.message == WM_SIZE || message.message == WM_EXITSIZEMOVE;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                return resized;
            };
            pump();
            win32::ComPtr<IDirect3D9> direct3d(Direct3DCreate9(D3D_SDK_VERSION));
            {
                DxDeviceFactory factory(direct3d.get());
                CHILD_CHECK(factory.selectDepthStencil(24, 0));
                CHILD_CHECK(factory.selectFullscreen(1024, 768, -1, 0));
                bool refused = false;
                try {
                    factory.createDevice(window);
                } catch (const std::runtime_error&) {
                    refused = true;
                }
                CHILD_CHECK(refused);
                CHILD_CHECK(!pump());
                RECT client{};
                GetClientRect(window, &client);
                CHILD_CHECK(client.right == 800 && client.bottom == 600);

                factory.selectWindowed();
                win32::ComPtr<IDirect3DDevice9> device = factory.createDevice(window);
                CHILD_CHECK(device);
                CHILD_CHECK(factory.presentParameters().BackBufferWidth == 800);
                CHILD_CHECK(factory.presentParameters().BackBufferHeight == 600);
                CHILD_CHECK(!pump());
                CHILD_CHECK(device->TestCooperativeLevel() == D3D_OK);
            }
            DestroyWindow(window);
            finish(true, "");
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kesh::testing
