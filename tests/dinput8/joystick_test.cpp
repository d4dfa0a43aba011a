// Wheels, pedals and gamepads made of SDL virtual joysticks.
#include "input_fixture.h"

namespace dinput8_testing {
namespace {

using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;
using Values = std::vector<std::pair<UINT_PTR, LONG>>;

constexpr int kRawMin = -32768;
constexpr int kRawMax = 32767;

class JoystickTest : public InputLayerTest {};

// The resting end of both pedals: the two kinds of pedal a Linux player meets.
class PedalRestTest : public InputLayerTest, public ::testing::WithParamInterface<int> {};

TEST_P(PedalRestTest, AWheelWithPedalsReadsZeroAtRestAndTheFormatsEndsWhenPressed) {
    const int rest = GetParam();
    const int pressed = rest == kRawMax ? kRawMin : kRawMax;
    VirtualDevice wheel(VirtualKind::Wheel, 3, 2, "Test Wheel");
    wheel.setAxis(1, rest);
    wheel.setAxis(2, rest);
    auto device = this->device(L"Test Wheel");
    ASSERT_TRUE(device);
    ASSERT_TRUE(setUpDevice(device.get()));
    EXPECT_EQ(actions[kSteer].dwHow, DIAH_DEFAULT);
    EXPECT_EQ(actions[kAccelerate].dwObjID, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1));
    EXPECT_EQ(actions[kBrakeAxis].dwObjID, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(2));
    EXPECT_EQ(actions[kAccelAndBrake].dwHow, DIAH_UNMAPPED);

    EXPECT_TRUE(read(device.get()).empty()) << "everything at rest";
    wheel.setAxis(0, kRawMax);
    EXPECT_EQ(values(read(device.get())), (Values{{0, 100}}));
    wheel.setAxis(0, kRawMin);
    wheel.setAxis(1, pressed);
    EXPECT_EQ(values(read(device.get())), (Values{{0, -100}, {4, -100}}));
    wheel.setAxis(1, rest);
    wheel.setAxis(2, pressed);
    EXPECT_EQ(values(read(device.get())), (Values{{4, 0}, {6, -100}}));
    wheel.setAxis(2, (rest + pressed) / 2);
    const auto half = values(read(device.get()));
    ASSERT_EQ(half.size(), 1u);
    EXPECT_NEAR(half[0].second, -47, 1) << "half way, less the 5 % dead zone, stretched";
}

INSTANTIATE_TEST_SUITE_P(EitherEnd, PedalRestTest, ::testing::Values(kRawMax, kRawMin));

TEST_F(JoystickTest, TheDeadZoneHidesSmallDeflectionsAndKeepsFullDeflection) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    auto device = this->device(L"Test Wheel");
    ASSERT_TRUE(setUpDevice(device.get()));
    wheel.setAxis(0, 1200);  // under 5 %
    EXPECT_TRUE(read(device.get()).empty());
    wheel.setAxis(0, -kRawMax);
    EXPECT_EQ(values(read(device.get())), (Values{{0, -100}}));
}

TEST_F(JoystickTest, AWheelAndSeparatePedalsActTogether) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 1, "Test Wheel");
    VirtualDevice pedals(VirtualKind::Pedals, 2, 0, "Test Pedals");
    pedals.setAxis(0, kRawMax);
    pedals.setAxis(1, kRawMin);
    auto wheelDevice = device(L"Test Wheel");
    auto pedalDevice = device(L"Test Pedals");
    ASSERT_TRUE(wheelDevice && pedalDevice);
    ASSERT_TRUE(setUpDevice(wheelDevice.get()));
    ASSERT_TRUE(setUpDevice(pedalDevice.get()));
    EXPECT_TRUE(read(wheelDevice.get()).empty());
    EXPECT_TRUE(read(pedalDevice.get()).empty());

    wheel.setAxis(0, kRawMin / 2);
    wheel.setButton(0, true);
    pedals.setAxis(0, kRawMin);  // accelerator floored, from its top rest
    pedals.setAxis(1, kRawMax);  // brake floored, from its bottom rest
    const auto steered = values(read(wheelDevice.get()));
    ASSERT_EQ(steered.size(), 2u);
    EXPECT_EQ(steered[0].first, 0u);
    EXPECT_NEAR(steered[0].second, -47, 1);
    EXPECT_EQ(steered[1], (std::pair<UINT_PTR, LONG>{9, 0x80}));
    EXPECT_EQ(values(read(pedalDevice.get())), (Values{{4, -100}, {6, -100}}));
}

TEST_F(JoystickTest, AJoystickWithoutPedalsUsesItsSecondAxisAsTheCombinedPedal) {
    VirtualDevice stick(VirtualKind::Joystick, 2, 1, "Test Stick");
    auto device = this->device(L"Test Stick");
    ASSERT_TRUE(setUpDevice(device.get()));
    EXPECT_EQ(actions[kAccelAndBrake].dwObjID, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1));
    EXPECT_EQ(actions[kAccelerate].dwHow, DIAH_UNMAPPED);
    stick.setAxis(1, kRawMin);  // forward
    EXPECT_EQ(values(read(device.get())), (Values{{4, -100}}));
    stick.setAxis(1, 0);
    EXPECT_EQ(values(read(device.get())), (Values{{4, 0}}));
}

TEST_F(JoystickTest, AGamepadSteersWithTheLeftStickAndDrivesWithTheTriggers) {
    VirtualDevice pad(VirtualKind::Gamepad, 6, 15, "Test Pad");
    auto device = this->device(L"Test Pad");
    ASSERT_TRUE(device);
    ASSERT_TRUE(setUpDevice(device.get()));
    EXPECT_EQ(actions[kAccelAndBrake].dwHow, DIAH_UNMAPPED);
    EXPECT_TRUE(read(device.get()).empty());
    pad.setAxis(0, kRawMax);  // left stick x
    pad.setAxis(5, kRawMax);  // right trigger
    EXPECT_EQ(values(read(device.get())), (Values{{0, 100}, {4, -100}}));
    pad.setAxis(5, kRawMin);
    pad.setAxis(4, kRawMax);  // left trigger
    pad.setButton(0, true);   // A
    EXPECT_EQ(values(read(device.get())), (Values{{4, 0}, {6, -100}, {9, 0x80}}));
}

TEST_F(JoystickTest, DevicesPluggedInLaterAppearAtTheNextEnumeration) {
    const std::size_t before = enumerate().size();
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Late Wheel");
    EXPECT_EQ(enumerate().size(), before + 1);
}

TEST_F(JoystickTest, AnUnpluggedDeviceCannotBeAcquired) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
    auto device = this->device(L"Test Wheel");
    ASSERT_TRUE(setUpDevice(device.get()));
    ASSERT_EQ(device->Acquire(), DI_OK);
    wheel.detach();
    EXPECT_EQ(device->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(device->Acquire(), DIERR_UNPLUGGED);
}

}  // namespace
}  // namespace dinput8_testing
