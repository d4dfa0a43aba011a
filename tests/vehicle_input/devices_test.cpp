// Which devices the input system keeps, what it releases, and the action table it maps.
#include <cwchar>

#include "input_system_fixture.h"
#include "tests/support/allocation_counter.h"

namespace vehicle_input_testing {
namespace {

using dinput8_test::Call;
using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;

class DevicesTest : public InputSystemTest {};

TEST_F(DevicesTest, TheActionFormatIsTheDrivingGenresNamedMorvale) {
    DIACTIONW actions[kDrivingActionCount];
    fillDrivingActions(actions);
    const DIACTIONFORMATW format = makeDrivingActionFormat(actions);
    EXPECT_EQ(format.dwSize, sizeof(DIACTIONFORMATW));
    EXPECT_EQ(format.dwActionSize, sizeof(DIACTIONW));
    EXPECT_EQ(format.dwDataSize, 56u);
    EXPECT_EQ(format.dwNumActions, 14u);
    EXPECT_EQ(format.dwGenre, DIVIRTUAL_DRIVING_RACE);
    EXPECT_EQ(format.dwBufferSize, 16u);
    EXPECT_EQ(format.lAxisMin, -100);
    EXPECT_EQ(format.lAxisMax, 100);
    EXPECT_EQ(format.guidActionMap, kDrivingActionMapGuid);
    EXPECT_STREQ(format.tszActionMap, L"Morvale");
    const UINT_PTR appData[] = {0, 4, 4, 6, 9, 2, 3, 7, 8, 9, 1, 7, 8, 9};
    const wchar_t* names[] = {L"Turn",      L"Accelerate", L"Accelerate", L"Decelerate", L"Brake",
                              L"Turn left", L"Turn right", L"Accelerate", L"Decelerate", L"Brake",
                              L"Turn",      L"Accelerate", L"Decelerate", L"Brake"};
    for (std::size_t i = 0; i < kDrivingActionCount; ++i) {
        EXPECT_EQ(actions[i].uAppData, appData[i]) << i;
        EXPECT_STREQ(actions[i].lptszActionName, names[i]) << i;
        EXPECT_EQ(actions[i].dwFlags, 0u);
    }
    EXPECT_EQ(actions[0].dwSemantic, DIAXIS_DRIVINGR_STEER);
    EXPECT_EQ(actions[10].dwSemantic, DIMOUSE_XAXIS);
}

TEST_F(DevicesTest, TheDestructorReleasesEveryDeviceAndDirectInput) {
    const int before = dinput8_test::liveObjects();
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    start();
    EXPECT_EQ(dinput8_test::liveObjects(), before + 4) << "DirectInput, keyboard, mouse, wheel";
    input.reset();
    EXPECT_EQ(dinput8_test::liveObjects(), before);
}

TEST_F(DevicesTest, ADeviceThatFailsItsSetUpIsDroppedAndTheOthersKept) {
    dinput8_test::failCall(Call::SetProperty, E_FAIL, L"Keyboard");
    start();
    dinput8_test::clearFailures();
    input->setMouseEnabled(true);
    key(VK_UP, true);
    moveMouse(50);
    const DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0) << "no keyboard";
    EXPECT_NEAR(out.steering, 0.1, 1e-9);
    key(VK_UP, false);
    EXPECT_EQ(input->addDevice(nullptr, nullptr), E_INVALIDARG);
}

TEST_F(DevicesTest, ADeviceWhoseReadFailsGivesNothingAndTheOthersStillCount) {
    start();
    input->setMouseEnabled(true);
    dinput8_test::failCall(Call::GetDeviceData, DIERR_INPUTLOST, L"Mouse");
    key(VK_RIGHT, true);
    moveMouse(50);
    EXPECT_DOUBLE_EQ(poll().steering, 0.25);
    key(VK_RIGHT, false);
    dinput8_test::clearFailures();
    EXPECT_NEAR(poll().steering, 0.1, 1e-9) << "the mouse event waited in its buffer";
}

TEST_F(DevicesTest, ApplyingAFormatWithoutEnumerationRemapsTheKeptDevices) {
    start();
    DIACTIONW actions[kDrivingActionCount];
    fillDrivingActions(actions);
    // Swap the turn keys: the same devices, mapped afresh.
    std::swap(actions[5].dwSemantic, actions[6].dwSemantic);
    const DIACTIONFORMATW format = makeDrivingActionFormat(actions);
    EXPECT_EQ(input->applyActionFormat(format, false), DI_OK);
    key(VK_LEFT, true);
    EXPECT_DOUBLE_EQ(poll().steering, 0.25);
    key(VK_LEFT, false);
    poll();

    dinput8_test::failCall(Call::BuildActionMap, E_FAIL);
    EXPECT_EQ(input->applyActionFormat(format, false), E_FAIL);
}

TEST_F(DevicesTest, PollingTouchesNoHeap) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 1, "Test Wheel");
    start();
    input->setJoystickEnabled(true);
    input->setMouseEnabled(true);
    DrivingInput out;
    std::size_t allocations = 0;
    for (int i = 0; i < 20; ++i) {
        // Posting the key's window message may allocate; only the poll is counted.
        wheel.setAxis(0, i * 1000);
        key(VK_UP, i % 2 == 0);
        allocation_counter::start();
        input->poll(out);
        allocations += allocation_counter::stop();
    }
    EXPECT_EQ(allocations, 0u);
    EXPECT_GT(out.steering, 0.5) << "the wheel's events were read";
    key(VK_UP, false);
}

}  // namespace
}  // namespace vehicle_input_testing
