// What the SDL window backend reports to DirectInput: keys, relative motion and focus.
#include <SDL.h>

#include "input_fixture.h"

namespace dinput8_testing {
namespace {

using Values = std::vector<std::pair<UINT_PTR, LONG>>;

class SdlWindowInputTest : public InputLayerTest {
protected:
    win32::WindowBackendKind backend() const override { return win32::WindowBackendKind::Sdl; }

    void SetUp() override {
        InputLayerTest::SetUp();
        id = SDL_GetWindowID(static_cast<SDL_Window*>(win32::sdlWindow(window)));
        ASSERT_NE(id, 0u);
    }

    void pushKey(SDL_Keycode key, bool down, bool repeat = false) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = id;
        e.key.keysym.sym = key;
        e.key.repeat = repeat ? 1 : 0;
        SDL_PushEvent(&e);
    }

    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }

    Uint32 id = 0;
};

TEST_F(SdlWindowInputTest, KeysAndRelativeMotionReachTheDevicesButNotAutoRepeat) {
    auto keyboard = device(L"Keyboard");
    auto mouse = device(L"Mouse");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_TRUE(setUpDevice(mouse.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_RIGHT, true, true);
    pushKey(SDLK_RIGHT, false);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = id;
    motion.motion.x = 10;  // the pointer may sit at an edge: the motion still counts
    motion.motion.xrel = -35;
    SDL_PushEvent(&motion);
    pump();
    EXPECT_EQ(values(read(keyboard.get())), (Values{{3, 0x80}, {3, 0}}));
    EXPECT_EQ(values(read(mouse.get())), (Values{{1, -35}}));
}

TEST_F(SdlWindowInputTest, LosingFocusTakesTheForegroundAway) {
    auto keyboard = device(L"Keyboard");
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    pushKey(SDLK_UP, true);
    pump();
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    pump();
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&e);
    pushKey(SDLK_UP, false);
    pump();
    EXPECT_EQ(values(read(keyboard.get())), (Values{{7, 0x80}, {7, 0}}));
}

}  // namespace
}  // namespace dinput8_testing
