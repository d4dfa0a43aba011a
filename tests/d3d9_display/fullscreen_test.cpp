#include <gtest/gtest.h>

#include <vector>

#include <d3d9.h>
#include <windows.h>

#include "d3d9/display.h"
#include "d3d9/seams.h"
#include "tests/support/render_fixture.h"

namespace d3d9::testing {
namespace {

D3DPRESENT_PARAMETERS fullscreenParameters(UINT refresh) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 1024;
    parameters.BackBufferHeight = 768;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = FALSE;
    parameters.FullScreen_RefreshRateInHz = refresh;
    return parameters;
}

D3DPRESENT_PARAMETERS windowedParameters() {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    return parameters;
}

// A described adapter with 1024 x 768 at 60 and 85 Hz, a headless window and the record of
// the mode calls the devices make.
class FullscreenTest : public kesh::testing::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        AdapterDescription adapter = defaultAdapter();
        adapter.modes[D3DFMT_X8R8G8B8].push_back({1024, 768, 85, D3DFMT_X8R8G8B8});
        setAdapters({adapter});
        clearRecordedModeCalls();
        window = kesh::testing::makeWindow(800, 600);
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    }
    void TearDown() override {
        direct3d->Release();
        clearRecordedModeCalls();
        RenderTest::TearDown();
    }

    IDirect3DDevice9* create(D3DPRESENT_PARAMETERS parameters, HRESULT expected = D3D_OK) {
        IDirect3DDevice9* device = nullptr;
        EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x24, &parameters, &device),
                  expected);
        return device;
    }

    std::vector<ModeCall> calls() const {
        std::vector<ModeCall> kinds;
        for (const RecordedModeCall& call : recordedModeCalls()) {
            EXPECT_EQ(call.window, window);
            kinds.push_back(call.call);
        }
        return kinds;
    }

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
};

using Calls = std::vector<ModeCall>;

TEST_F(FullscreenTest, AFullScreenDeviceSetsTheModeAndGivesTheDesktopBackOnRelease) {
    IDirect3DDevice9* device = create(fullscreenParameters(85));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(calls(), (Calls{ModeCall::SetDisplayMode, ModeCall::EnterFullscreen}));
    const RecordedModeCall mode = recordedModeCalls().front();
    EXPECT_EQ(mode.width, 1024u);
    EXPECT_EQ(mode.height, 768u);
    EXPECT_EQ(mode.refreshRate, 85u);

    clearRecordedModeCalls();
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(calls(), (Calls{ModeCall::LeaveFullscreen}));
}

TEST_F(FullscreenTest, AWindowedDeviceLeavesTheDisplayAlone) {
    IDirect3DDevice9* device = create(windowedParameters());
    ASSERT_NE(device, nullptr);
    device->Release();
    EXPECT_TRUE(recordedModeCalls().empty());
}

TEST_F(FullscreenTest, ResetSwitchesBetweenFullScreenAndWindowed) {
    IDirect3DDevice9* device = create(windowedParameters());
    ASSERT_NE(device, nullptr);
    D3DPRESENT_PARAMETERS parameters = fullscreenParameters(60);
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(calls(), (Calls{ModeCall::SetDisplayMode, ModeCall::EnterFullscreen}));
    EXPECT_EQ(recordedModeCalls().front().refreshRate, 60u);

    clearRecordedModeCalls();
    parameters = windowedParameters();
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(calls(), (Calls{ModeCall::LeaveFullscreen}));

    // Released windowed: nothing is left to give back.
    clearRecordedModeCalls();
    device->Release();
    EXPECT_TRUE(recordedModeCalls().empty());
}

TEST_F(FullscreenTest, ARefreshRateTheModeDoesNotOfferIsRefused) {
    EXPECT_EQ(create(fullscreenParameters(75), D3DERR_INVALIDCALL), nullptr);
    IDirect3DDevice9* device = create(fullscreenParameters(0));
    ASSERT_NE(device, nullptr);
    D3DPRESENT_PARAMETERS parameters = fullscreenParameters(75);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    clearRecordedModeCalls();
    device->Release();
    // The mode taken at creation is still given back.
    EXPECT_EQ(calls(), (Calls{ModeCall::LeaveFullscreen}));
}

TEST_F(FullscreenTest, TheExitPathGivesBackWhatAFailureLeftHeld) {
    IDirect3DDevice9* device = create(fullscreenParameters(85));
    ASSERT_NE(device, nullptr);
    clearRecordedModeCalls();
    restoreDesktopModes();
    EXPECT_EQ(calls(), (Calls{ModeCall::LeaveFullscreen}));
    restoreDesktopModes();
    clearRecordedModeCalls();
    device->Release();
    EXPECT_TRUE(recordedModeCalls().empty());
}

}  // namespace
}  // namespace d3d9::testing
