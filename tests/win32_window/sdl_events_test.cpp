// The SDL backend's translation of native events, fed through SDL's own queue.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <windows.h>

#include "win32/window_seams.h"

namespace {

std::vector<MSG> taken;

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class SdlEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        win32::useWindowBackend(win32::WindowBackendKind::Sdl);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = L"SdlEventsWindow";
        RegisterClassExW(&windowClass);
        RECT rect{0, 0, 800, 600};
        AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
        window = CreateWindowExW(0, L"SdlEventsWindow", L"Morvale", WS_OVERLAPPEDWINDOW, 0, 0,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        id = SDL_GetWindowID(static_cast<SDL_Window*>(win32::sdlWindow(window)));
        drain();
        taken.clear();
    }
    void TearDown() override { win32::resetWindowSystem(); }

    void drain() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(message);
            if (message.message == WM_QUIT) {
                return;
            }
            DispatchMessageW(&message);
        }
    }

    std::vector<UINT> messages() const {
        std::vector<UINT> result;
        for (const MSG& message : taken) {
            if (message.message != WM_ACTIVATE && message.message != WM_MOUSEMOVE) {
                result.push_back(message.message);
            }
        }
        return result;
    }

    void pushWindowEvent(Uint8 event, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = event;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }

    HWND window = nullptr;
    Uint32 id = 0;
};

TEST_F(SdlEventsTest, KeysAndButtonsBecomeVirtualKeysAndButtonMessages) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.keysym.sym = SDLK_v;
    SDL_PushEvent(&e);
    e.key.keysym.sym = SDLK_F7;
    e.key.repeat = 1;
    SDL_PushEvent(&e);
    e.type = SDL_KEYUP;
    e.key.keysym.sym = SDLK_ESCAPE;
    e.key.repeat = 0;
    SDL_PushEvent(&e);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.windowID = id;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 5;
    button.button.y = 6;
    SDL_PushEvent(&button);
    drain();
    ASSERT_EQ(messages(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_RBUTTONDOWN}));
    std::vector<MSG> kept;
    for (const MSG& m : taken) {
        if (m.message != WM_ACTIVATE && m.message != WM_MOUSEMOVE)
            kept.push_back(m);
    }
    EXPECT_EQ(kept[0].wParam, static_cast<WPARAM>('V'));
    EXPECT_EQ(kept[1].wParam, static_cast<WPARAM>(VK_F7));
    EXPECT_NE(kept[1].lParam & (LPARAM{1} << 30), 0);  // auto-repeat: was already down
    EXPECT_EQ(kept[2].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(LOWORD(kept[3].lParam), 5);
    EXPECT_EQ(HIWORD(kept[3].lParam), 6);
}

TEST_F(SdlEventsTest, ABurstOfResizesIsBracketedLikeABorderDrag) {
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 700, 500);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 900, 650);
    drain();
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_SIZE, WM_EXITSIZEMOVE}));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 900);
    EXPECT_EQ(client.bottom, 650);

    // A size the window already has is not a resize.
    taken.clear();
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 900, 650);
    drain();
    EXPECT_TRUE(messages().empty());
}

TEST_F(SdlEventsTest, MinimiseRestoreAndCloseFollowWindows) {
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    drain();
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_SIZE, WM_SIZE, WM_CLOSE, WM_QUIT}));
    for (const MSG& message : taken) {
        if (message.message == WM_SIZE) {
            EXPECT_EQ(message.wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
            break;
        }
    }
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace

// With the SDL window system up, a box goes through it (and so to standard error once, and
// into the record instead of onto the screen, whatever the display), never blocking.
TEST_F(SdlEventsTest, MessageBoxesGoThroughTheWindowLayerOnce) {
    win32::clearRecordedMessageBoxes();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(window, L"Trying to use windowed mode.", L"Warning", MB_OK), IDOK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "Warning: Trying to use windowed mode.\n");
    const auto boxes = win32::recordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Warning");
    EXPECT_EQ(boxes[0].text, L"Trying to use windowed mode.");
}
