// Which backend devices get: OpenGL when a context can be made, else the null backend
// with the reason; and the read-back seam.
#include <cstdlib>
#include <fstream>

#include "gl_fixture.h"
#include "tests/support/test_window.h"

namespace d3d9::testing {
namespace {

class Selection : public ::testing::Test {
protected:
    void TearDown() override {
        useBackend(BackendKind::Null);
        win32::resetWindowSystem();
    }
};

TEST_F(Selection, OffscreenDriverGivesOpenGl) {
    const BackendChoice choice = chooseBackend();
    EXPECT_EQ(choice.kind, BackendKind::Gl) << choice.reason;
    EXPECT_TRUE(choice.reason.empty());
}

TEST_F(Selection, NoGlDriverFallsBackToNullWithAReason) {
    const char* saved = std::getenv("SDL_VIDEODRIVER");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const BackendChoice choice = chooseBackend();
    setenv("SDL_VIDEODRIVER", previous.c_str(), 1);
    if (choice.kind == BackendKind::Gl) {
        GTEST_SKIP() << "video already started with another driver in this process";
    }
    EXPECT_EQ(choice.kind, BackendKind::Null);
    EXPECT_FALSE(choice.reason.empty());
}

TEST_F(Selection, NullDevicesDoNotDraw) {
    useBackend(BackendKind::Null);
    win32::useWindowBackend(win32::WindowBackendKind::Headless);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = morvale_testing::plainProcedure;
    windowClass.lpszClassName = L"NullSelectionWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"NullSelectionWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, nullptr, nullptr);
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &parameters, &device),
              D3D_OK);
    EXPECT_NE(deviceRecord(device), nullptr);
    BackBufferImage image;
    EXPECT_FALSE(readBackBuffer(device, image));
    DrawingStats stats;
    EXPECT_FALSE(drawingStats(device, stats));
    device->Release();
    direct3d->Release();
}

TEST_F(Selection, GlDeviceNeedsAWindowThatCanCarryAContext) {
    // A window made before OpenGL was asked for cannot get a context: creation fails
    // instead of drawing nowhere.
    useBackend(BackendKind::Null);
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = morvale_testing::plainProcedure;
    windowClass.lpszClassName = L"PlainSelectionWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"PlainSelectionWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    useBackend(BackendKind::Gl);
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &parameters, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    direct3d->Release();
}

TEST(Png, WritesTheImageAndRefusesBrokenOnes) {
    BackBufferImage image;
    image.width = 2;
    image.height = 1;
    image.rgba = {255, 0, 0, 255, 0, 255, 0, 255};
    EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(2, 0), 0u);
    const std::string path = ::testing::TempDir() + "/morvale_png_test.png";
    ASSERT_TRUE(writePng(image, path));
    std::ifstream file(path, std::ios::binary);
    char signature[4] = {};
    file.read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    image.rgba.pop_back();
    EXPECT_FALSE(writePng(image, path));
}

}  // namespace
}  // namespace d3d9::testing
