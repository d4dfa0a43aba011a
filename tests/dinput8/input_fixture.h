// A headless window, a DirectInput object and the game's driving action format, with the
// steps the game takes to set a device up and read it.
#pragma once

#include <dinput.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "dinput8/test_seam.h"
#include "win32/com_ptr.h"
#include "win32/window_seams.h"

namespace dinput8_testing {

// The driving actions in the game's order; index i has data offset 4 i.
enum ActionIndex {
    kSteer,
    kAccelAndBrake,
    kAccelerate,
    kBrakeAxis,
    kBrakeButton,
    kKeyLeft,
    kKeyRight,
    kKeyUp,
    kKeyDown,
    kKeySpace,
    kMouseX,
    kMouseButton0,
    kMouseButton1,
    kMouseButton2,
    kActionCount
};

struct Offered {
    DIDEVICEINSTANCEW instance;
    win32::ComPtr<IDirectInputDevice8W> device;
};

class InputLayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual win32::WindowBackendKind backend() const { return win32::WindowBackendKind::Headless; }

    // Every device EnumDevicesBySemantics offers, kept.
    std::vector<Offered> enumerate();
    // The one device with this instance name (fails the test when missing).
    win32::ComPtr<IDirectInputDevice8W> device(const std::wstring& name);
    // Cooperative level, action map and dead zone as the game sets them; true when all
    // succeeded.
    bool setUpDevice(IDirectInputDevice8W* device);
    // Acquire, Poll, then every buffered event.
    std::vector<DIDEVICEOBJECTDATA> read(IDirectInputDevice8W* device);
    void key(WPARAM virtualKey, bool down) { win32::simulateKey(window, virtualKey, down); }

    HWND window = nullptr;
    win32::ComPtr<IDirectInput8W> directInput;
    DIACTIONW actions[kActionCount]{};
    DIACTIONFORMATW format{};
    HRESULT lastRead = S_OK;
};

// uAppData and dwData of each event, for comparisons.
std::vector<std::pair<UINT_PTR, LONG>> values(const std::vector<DIDEVICEOBJECTDATA>& events);

}  // namespace dinput8_testing
