// How poll chooses between the controllers, the mouse and the keys.
#include "input_system_fixture.h"

namespace vehicle_input_testing {
namespace {

using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;

class ChoosingTest : public InputSystemTest {};

TEST_F(ChoosingTest, WithNeitherFlagOnlyTheKeysCountAndNoHandbrake) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 1, "Test Wheel");
    start();
    wheel.setAxis(0, 32767);
    wheel.setButton(0, true);
    moveMouse(100);
    key(VK_UP, true);
    key(VK_SPACE, true);
    const DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.25);
    EXPECT_FALSE(out.accelerateAnalog);
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
    EXPECT_FALSE(out.handbrake);

    input->setJoystickEnabled(true);
    EXPECT_TRUE(poll().handbrake) << "the brake key is a per-device state";
    key(VK_UP, false);
    key(VK_SPACE, false);
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
