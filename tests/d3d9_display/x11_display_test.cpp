// The display path on a real X server: Xvfb, started here when the machine has it (it is
// not required; without it these cases are skipped). Each case runs in a child process,
// since SDL's video driver is process-wide.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "d3d9/display.h"
#include "engine/render/device/device_factory.h"
#include "tests/support/child_checks.h"
#include "tests/support/render_fixture.h"
#include "tests/support/x_server.h"

namespace kesh::testing {
namespace {

using morvale_testing::finish;

class X11DisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<morvale_testing::XServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        if (!server->running()) {
            GTEST_SKIP() << "no Xvfb on this machine";
        }
    }

    // In the child: the real display, real mode calls, SDL windows.
    static void useTheServer() {
        server->use();
        d3d9::setDescribedAdapters(false);
        d3d9::setModeCallRecording(false);
        win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    }

    static inline std::unique_ptr<morvale_testing::XServer> server;
};

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
