// A wheel with separate pedals, made of virtual SDL joysticks, driving as a player would.
#include "input_system_fixture.h"

namespace vehicle_input_testing {
namespace {

using dinput8_test::Foreground;
using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;

constexpr int kRawMin = -32768;
constexpr int kRawMax = 32767;

// Where the pedals rest: at the top of their raw range or at the bottom.
class WheelAndPedalsTest : public InputSystemTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        InputSystemTest::SetUp();
        rest = GetParam();
        floored = rest == kRawMax ? kRawMin : kRawMax;
        wheel = std::make_unique<VirtualDevice>(VirtualKind::Wheel, 1, 2, "Test Wheel");
        pedals = std::make_unique<VirtualDevice>(VirtualKind::Pedals, 2, 0, "Test Pedals");
        pedals->setAxis(0, rest);
        pedals->setAxis(1, rest);
        start();
        input->setJoystickEnabled(true);
    }
    void TearDown() override {
        InputSystemTest::TearDown();
        wheel.reset();
        pedals.reset();
    }

    int rest = 0;
    int floored = 0;
    std::unique_ptr<VirtualDevice> wheel;
    std::unique_ptr<VirtualDevice> pedals;
};

TEST_P(WheelAndPedalsTest, DrivesPollAsAPlayerWould) {
    DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0) << "pedals at rest";
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
    EXPECT_FALSE(out.handbrake);

    // Floor the accelerator while steering full right.
    pedals->setAxis(0, floored);
    wheel->setAxis(0, kRawMax);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 1.0);
    EXPECT_TRUE(out.accelerateAnalog);
    EXPECT_NEAR(out.steering, 1.0526316, 1e-9) << "full lock, clamped by the controller";
    EXPECT_TRUE(out.steeringAnalog);

    // Lift off, brake hard, steer left and pull the handbrake: three changes at once.
    pedals->setAxis(0, rest);
    pedals->setAxis(1, floored);
    wheel->setAxis(0, kRawMin);
    wheel->setButton(0, true);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, -1.0);
    EXPECT_NEAR(out.steering, -1.0526316, 1e-9);
    EXPECT_TRUE(out.handbrake);

    // Half throttle after a release of everything.
    pedals->setAxis(1, rest);
    pedals->setAxis(0, rest + (floored - rest) / 2);
    wheel->setAxis(0, 0);
    wheel->setButton(0, false);
    out = poll();
    EXPECT_NEAR(out.accelerate, 0.47, 0.011);
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
    EXPECT_FALSE(out.handbrake);
}

TEST_P(WheelAndPedalsTest, LiftingOffTheBrakeKeepsTheFlooredAcceleratorCounting) {
    pedals->setAxis(1, floored);
    EXPECT_DOUBLE_EQ(poll().accelerate, -1.0);
    pedals->setAxis(0, floored);
    EXPECT_DOUBLE_EQ(poll().accelerate, 0.0) << "both floored cancel out";
    pedals->setAxis(1, rest);
    EXPECT_DOUBLE_EQ(poll().accelerate, 1.0);
}

TEST_P(WheelAndPedalsTest, ThePlayerLeavingTheWindowLetsGoOfEverything) {
    pedals->setAxis(0, floored);
    wheel->setAxis(0, kRawMax);
    key(VK_LEFT, true);
    key(VK_UP, true);
    poll();

    dinput8_test::setForeground(Foreground::Background);
    key(VK_LEFT, false);  // let go while away
    DrivingInput out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0);
    EXPECT_DOUBLE_EQ(out.steering, 0.0);

    dinput8_test::setForeground(Foreground::FromWindow);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 1.0) << "the pedal still floored counts again";
    EXPECT_NEAR(out.steering, 1.0526316, 1e-9) << "and the wheel, not the released key";
    key(VK_UP, false);
    pedals->setAxis(0, rest);
    wheel->setAxis(0, 0);
    out = poll();
    EXPECT_DOUBLE_EQ(out.accelerate, 0.0);
    EXPECT_DOUBLE_EQ(out.steering, 0.0);
}

INSTANTIATE_TEST_SUITE_P(PedalsRestingAtEitherEnd, WheelAndPedalsTest,
                         ::testing::Values(kRawMax, kRawMin));

}  // namespace
}  // namespace vehicle_input_testing
