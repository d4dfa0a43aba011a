// The keyboard and the mouse as the window layer reports them.
#include "input_fixture.h"

#include "win32/window_seams.h"

namespace dinput8_testing {
namespace {

using Values = std::vector<std::pair<UINT_PTR, LONG>>;

class KeyboardMouseTest : public InputLayerTest {};

TEST_F(KeyboardMouseTest, ArrowKeysAndSpaceArriveWithTheirActions) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    for (WPARAM key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE}) {
        this->key(key, true);
        this->key(key, false);
    }
    key('A', true);  // not in the action list
    key('A', false);
    const auto events = read(keyboard.get());
    EXPECT_EQ(lastRead, DI_OK);
    EXPECT_EQ(values(events), (Values{{2, 0x80},
                                      {2, 0},
                                      {3, 0x80},
                                      {3, 0},
                                      {7, 0x80},
                                      {7, 0},
                                      {8, 0x80},
                                      {8, 0},
                                      {9, 0x80},
                                      {9, 0}}));
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events[0].dwOfs, kKeyLeft * 4u);
    EXPECT_EQ(events[8].dwOfs, kKeySpace * 4u);
    EXPECT_LT(events[0].dwSequence, events[1].dwSequence);
}

TEST_F(KeyboardMouseTest, KeysPressedWhileNotAcquiredAreNotBuffered) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    key(VK_UP, true);
    key(VK_UP, false);
    EXPECT_TRUE(read(keyboard.get()).empty());
    EXPECT_EQ(lastRead, DI_OK);
}

TEST_F(KeyboardMouseTest, AKeyHeldWhenTheDeviceIsAcquiredCountsAsPressed) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    key(VK_UP, true);
    EXPECT_EQ(values(read(keyboard.get())), (Values{{7, 0x80}}));
    key(VK_UP, false);
    EXPECT_EQ(values(read(keyboard.get())), (Values{{7, 0}}));
}

TEST_F(KeyboardMouseTest, MouseMotionIsRelativeAndButtonsMapToTheirActions) {
    auto mouse = device(L"Mouse");
    ASSERT_TRUE(setUpDevice(mouse.get()));
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    win32::simulateMouseMove(window, 400, 300);
    read(mouse.get());
    win32::simulateMouseMove(window, 450, 300);
    win32::simulateMouseMove(window, 430, 310);  // y is not mapped
    for (int button = 1; button <= 3; ++button) {
        win32::simulateMouseButton(window, button, true);
        win32::simulateMouseButton(window, button, false);
    }
    const auto events = read(mouse.get());
    EXPECT_EQ(values(events),
              (Values{{1, 50}, {1, -20}, {7, 0x80}, {7, 0}, {8, 0x80}, {8, 0}, {9, 0x80}, {9, 0}}));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].dwOfs, kMouseX * 4u);
}

TEST_F(KeyboardMouseTest, AnOverflowingBufferKeepsTheNewestEventsAndSaysSo) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    for (int i = 0; i < 12; ++i) {
        key(VK_LEFT, true);
        key(VK_LEFT, false);
    }
    key(VK_UP, true);  // held at the end
    DIDEVICEOBJECTDATA events[10];
    DWORD count = 10;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0),
              DI_BUFFEROVERFLOW);
    EXPECT_TRUE(SUCCEEDED(DI_BUFFEROVERFLOW));
    EXPECT_EQ(count, 10u);
    count = 10;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0), DI_OK);
    ASSERT_EQ(count, 6u);  // 16 kept in all
    EXPECT_EQ(events[5].uAppData, 7u);
    EXPECT_EQ(events[5].dwData, 0x80u);
    key(VK_UP, false);
}

TEST_F(KeyboardMouseTest, MouseMotionIntoAFullBufferAddsUpInsteadOfLosingEvents) {
    auto mouse = device(L"Mouse");
    ASSERT_TRUE(setUpDevice(mouse.get()));
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    win32::simulateMouseMove(window, 0, 0);
    read(mouse.get());
    for (int i = 1; i <= 40; ++i) {
        win32::simulateMouseMove(window, i * 10, 0);
    }
    DIDEVICEOBJECTDATA events[32];
    DWORD count = 32;
    EXPECT_EQ(mouse->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0), DI_OK);
    LONG total = 0;
    for (DWORD i = 0; i < count; ++i) {
        total += static_cast<LONG>(events[i].dwData);
    }
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(total, 400);
}

}  // namespace
}  // namespace dinput8_testing
