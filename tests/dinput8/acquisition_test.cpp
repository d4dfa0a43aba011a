// Foreground acquisition without a window manager, and what losing it leaves behind.
#include "input_fixture.h"

#include "win32/window_seams.h"

namespace dinput8_testing {
namespace {

using dinput8_test::Foreground;
using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;
using Values = std::vector<std::pair<UINT_PTR, LONG>>;

class AcquisitionTest : public InputLayerTest {};

TEST_F(AcquisitionTest, AWindowThatNeverHeardOfFocusIsInTheForeground) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), S_FALSE);
}

TEST_F(AcquisitionTest, LosingFocusReleasesHeldKeysWithTheNextSuccessfulRead) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    key(VK_LEFT, true);
    key(VK_UP, true);
    EXPECT_EQ(values(read(keyboard.get())), (Values{{2, 0x80}, {7, 0x80}}));

    win32::simulateFocus(window, false);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, window, WM_ACTIVATE, WM_ACTIVATE, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(WA_INACTIVE)) << "the game's window hears it too";
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    DIDEVICEOBJECTDATA events[10];
    DWORD count = 10;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0),
              DIERR_INPUTLOST);
    key(VK_LEFT, false);  // let go elsewhere: the window hears nothing of it
    key(VK_UP, false);

    win32::simulateFocus(window, true);
    EXPECT_EQ(values(read(keyboard.get())), (Values{{2, 0}, {7, 0}}));
}

TEST_F(AcquisitionTest, AForcedBackgroundReleasesHeldKeysAndRecentresAxes) {
    VirtualDevice wheel(VirtualKind::Wheel, 1, 1, "Test Wheel");
    auto joystick = device(L"Test Wheel");
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(joystick.get()));
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    wheel.setAxis(0, 32767);
    wheel.setButton(0, true);
    EXPECT_EQ(values(read(joystick.get())), (Values{{0, 100}, {9, 0x80}}));
    keyboard->Acquire();
    key(VK_SPACE, true);

    dinput8_test::setForeground(Foreground::Background);
    EXPECT_EQ(joystick->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    dinput8_test::setForeground(Foreground::FromWindow);

    EXPECT_EQ(values(read(keyboard.get())), (Values{{9, 0x80}, {9, 0}, {9, 0x80}}))
        << "the press, its release at the loss, the key still held when back";
    // Re-centred at the loss; the wheel, still turned, reports again once acquired.
    EXPECT_EQ(values(read(joystick.get())), (Values{{0, 0}, {9, 0}, {0, 100}, {9, 0x80}}));
    key(VK_SPACE, false);
}

TEST_F(AcquisitionTest, UnacquireAlsoReleasesWhatWasHeld) {
    auto mouse = device(L"Mouse");
    ASSERT_TRUE(setUpDevice(mouse.get()));
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    win32::simulateMouseButton(window, 1, true);
    EXPECT_EQ(mouse->Unacquire(), DI_OK);
    EXPECT_EQ(mouse->Unacquire(), DI_NOEFFECT);
    win32::simulateMouseButton(window, 1, false);
    EXPECT_EQ(values(read(mouse.get())), (Values{{7, 0x80}, {7, 0}}));
}

TEST_F(AcquisitionTest, ABackgroundLevelIgnoresFocus) {
    auto keyboard = device(L"Keyboard");
    ASSERT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    ASSERT_EQ(keyboard->BuildActionMap(&format, nullptr, 0), DI_OK);
    ASSERT_EQ(keyboard->SetActionMap(&format, nullptr, 0), DI_OK);
    win32::simulateFocus(window, false);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
}

}  // namespace
}  // namespace dinput8_testing
