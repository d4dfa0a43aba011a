// How poll chooses between the controllers, the mouse and the keys.
#include "input_system_fixture.h"

namespace vehicle_input_testing {
namespace {

using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;

class ChoosingTest : public InputSystemTest {};

TEST_F(ChoosingTest, WithNeitherFlagOnlyTheKeyboardCountsSpaceIncluded) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 1, "Test Wheel");
    start();
    wheel.setAxis(0, 32767);
    wheel.setButton(0, true);
    moveMouse(100);
    win32::simulateMouseButton(window, 2, true);  // the right button brakes with 'M' only
    win32::simulateMouseButton(window, 3, true);  // the middle one is its handbrake
    key(VK_UP, true);
    DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.25);
    EXPECT_FALSE(out.accelerateAnalog);
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
    EXPECT_FALSE(out.handbrake) << "neither the wheel's brake button nor the middle button";

    key(VK_SPACE, true);
    EXPECT_TRUE(poll().handbrake) << "Space is the keyboard's handbrake";
    key(VK_SPACE, false);
    EXPECT_FALSE(poll().handbrake);
    input->setJoystickEnabled(true);
    EXPECT_TRUE(poll().handbrake) << "the wheel's brake button, held all along";
    input->setJoystickEnabled(false);
    input->setMouseEnabled(true);
    out = poll();
    EXPECT_TRUE(out.handbrake) << "the middle button, held all along";
    EXPECT_DOUBLE_EQ(out.accelerate, 0.25) << "a held key beats nothing stronger";
    key(VK_UP, false);
    EXPECT_DOUBLE_EQ(poll().accelerate, -0.25) << "the right button, held all along";
    win32::simulateMouseButton(window, 2, false);
    win32::simulateMouseButton(window, 3, false);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0);
    EXPECT_FALSE(out.handbrake);
}

TEST_F(ChoosingTest, MouseSteeringStartsCentredAndItsButtonsDriveOnlyWithIt) {
    start();
    for (int i = 0; i < 10; ++i) {
        moveMouse(100);
        poll();
    }
    win32::simulateMouseButton(window, 1, true);
    EXPECT_DOUBLE_EQ(poll().accelerate, 0.0) << "the left button does nothing without 'M'";
    win32::simulateMouseButton(window, 1, false);
    poll();

    input->setMouseEnabled(true);
    DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.steering, 0.0) << "the motion before 'M' is not kept";
    win32::simulateMouseButton(window, 1, true);
    moveMouse(50);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.25);
    EXPECT_NEAR(out.steering, 0.1, 1e-9);

    // Off and on again: centred once more, and the button let go meanwhile is let go.
    input->setMouseEnabled(false);
    moveMouse(-200);
    win32::simulateMouseButton(window, 1, false);
    poll();
    input->setMouseEnabled(true);
    out = poll();
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0);
}

TEST_F(ChoosingTest, MouseMovesAddUpAndSaturate) {
    start();
    input->setMouseEnabled(true);
    moveMouse(50);
    DrivingInput out = poll();
    EXPECT_NEAR(out.steering, 0.1, 1e-9);
    EXPECT_TRUE(out.steeringAnalog);
    for (int i = 1; i < 20; ++i) {
        moveMouse(50);
        poll();
    }
    moveMouse(50);
    EXPECT_DOUBLE_EQ(poll().steering, 1.0);
    moveMouse(-50);
    EXPECT_NEAR(poll().steering, 0.9, 1e-9) << "saturated, not accumulated past 1";
}

TEST_F(ChoosingTest, PressingLeftThenReleasingRightCentresTheKeys) {
    start();
    key(VK_LEFT, true);
    EXPECT_DOUBLE_EQ(poll().steering, -0.25);
    key(VK_RIGHT, true);
    key(VK_RIGHT, false);
    EXPECT_DOUBLE_EQ(poll().steering, 0.0) << "left is still held, but each key writes one value";
    key(VK_LEFT, false);
}

TEST_F(ChoosingTest, ControllerBeatsMouseAndAHeldKeyBeatsBoth) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    start();
    input->setMouseEnabled(true);
    input->setJoystickEnabled(true);
    moveMouse(100);           // 0.2
    wheel.setAxis(0, 10660);  // about 0.3 after the dead zone and the factor
    DrivingInput out = poll();
    EXPECT_NEAR(out.steering, 0.3, 0.02);
    EXPECT_TRUE(out.steeringAnalog);

    key(VK_LEFT, true);
    out = poll();
    EXPECT_DOUBLE_EQ(out.steering, -0.25);
    EXPECT_FALSE(out.steeringAnalog);
    key(VK_LEFT, false);
}

TEST_F(ChoosingTest, AWheelReading95AtFullLockSteersFully) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    start();
    input->setJoystickEnabled(true);
    wheel.setAxis(0, 31211);  // 95 after the 5 % dead zone
    EXPECT_NEAR(poll().steering, 1.0, 1e-6);
}

TEST_F(ChoosingTest, AWinningKeyIsScaledOnceAndLeavesTheOtherAxisAlone) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    start();
    input->setJoystickEnabled(true);
    key(VK_RIGHT, true);
    key(VK_DOWN, true);
    DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.steering, 0.25);
    EXPECT_DOUBLE_EQ(out.accelerate, -0.25);

    key(VK_RIGHT, false);
    wheel.setAxis(0, -32768);
    out = poll();
    EXPECT_NEAR(out.steering, -1.0526316, 1e-9) << "the analog steering is not scaled";
    EXPECT_TRUE(out.steeringAnalog);
    EXPECT_DOUBLE_EQ(out.accelerate, -0.25);
    key(VK_DOWN, false);
}

}  // namespace
}  // namespace vehicle_input_testing
