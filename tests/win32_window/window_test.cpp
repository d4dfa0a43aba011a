#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace {

using win32::WindowBackendKind;

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> seen;
void* createParam = nullptr;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({window, message, wParam, lParam});
    if (message == WM_CREATE) {
        createParam = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(createParam));
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::useWindowBackend(WindowBackendKind::Headless);
        seen.clear();
        createParam = nullptr;
    }
    void TearDown() override {
        win32::resetWindowSystem();
        UnregisterClassW(L"TestWindow", nullptr);
    }

    HWND make(int extraBytes) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS | CS_CLASSDC;
        windowClass.lpfnWndProc = recordingProcedure;
        windowClass.cbWndExtra = extraBytes;
        windowClass.hCursor = CopyIcon(LoadCursorW(nullptr, IDC_ARROW));
        windowClass.lpszClassName = L"TestWindow";
        const ATOM atom = RegisterClassExW(&windowClass);
        EXPECT_NE(atom, 0);
        return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)),
                               L"Morvale", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, GetDesktopWindow(),
                               nullptr, nullptr, &marker);
    }

    // Takes every waiting message, dispatching it; returns the messages taken.
    std::vector<UINT> drain() {
        std::vector<UINT> taken;
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(message.message);
            if (message.message == WM_QUIT) {
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return taken;
    }

    int marker = 0;
};

TEST_F(WindowTest, CreationSendsCreateSynchronouslyIntoAPointerSizedSlot) {
    const HWND window = make(sizeof(LONG_PTR));
    ASSERT_NE(window, nullptr);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, WM_NCCREATE);
    EXPECT_EQ(seen[1].message, WM_CREATE);
    EXPECT_EQ(createParam, &marker);
    EXPECT_EQ(GetWindowLongPtrW(window, 0), reinterpret_cast<LONG_PTR>(&marker));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), WS_OVERLAPPEDWINDOW);
}

TEST_F(WindowTest, AFourByteSlotCannotHoldAPointer) {
    const HWND window = make(4);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, 0), 0);
    EXPECT_EQ(SetWindowLongPtrW(window, 0, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, 0), 0);
}

TEST_F(WindowTest, ClientSizeFollowsAdjustedOuterRectangle) {
    const HWND window = make(sizeof(LONG_PTR));
    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, GetWindowLongW(window, GWL_STYLE),
                                   GetMenu(window) != nullptr,
                                   GetWindowLongW(window, GWL_EXSTYLE)));
    seen.clear();
    ASSERT_TRUE(MoveWindow(window, 10, 20, rect.right - rect.left, rect.bottom - rect.top, TRUE));
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.left, 10);
    EXPECT_GT(outer.right - outer.left, 800);
    EXPECT_GT(outer.bottom - outer.top, 600);
    // The size change is sent at once with the client size.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().message, WM_SIZE);
    EXPECT_EQ(LOWORD(seen.back().lParam), 800);
    EXPECT_EQ(HIWORD(seen.back().lParam), 600);
}

TEST_F(WindowTest, QuitComesAfterWaitingMessagesAndOnlyOnce) {
    const HWND window = make(sizeof(LONG_PTR));
    PostQuitMessage(3);
    ASSERT_TRUE(PostMessageW(window, WM_USER, 1, 2));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_USER);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER);
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, CloseDestroysTheWindowAndEndsThePump) {
    const HWND window = make(sizeof(LONG_PTR));
    win32::simulateClose(window);
    const auto taken = drain();
    EXPECT_EQ(taken, (std::vector<UINT>{WM_CLOSE, WM_QUIT}));
    EXPECT_FALSE(IsWindow(window));
    bool destroyed = false;
    for (const auto& s : seen) {
        destroyed = destroyed || s.message == WM_DESTROY;
    }
    EXPECT_TRUE(destroyed);
}

TEST_F(WindowTest, UserActionsArriveAsWindowsMessages) {
    const HWND window = make(sizeof(LONG_PTR));
    win32::simulateResizeDrag(window, {{500, 400}, {640, 480}});
    win32::simulateMinimize(window);
    win32::simulateKey(window, 'V', true);
    win32::simulateMouseMove(window, 70000 - 65536, 5);
    win32::simulateMouseButton(window, 2, true);
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_SIZE, WM_EXITSIZEMOVE,
                                          WM_SIZE, WM_KEYDOWN, WM_MOUSEMOVE, WM_RBUTTONDOWN}));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 0);  // minimised
    win32::simulateRestore(window);
    drain();
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    const auto sizeMessages = [] {
        std::vector<Seen> sizes;
        for (const auto& s : seen) {
            if (s.message == WM_SIZE)
                sizes.push_back(s);
        }
        return sizes;
    }();
    ASSERT_EQ(sizeMessages.size(), 4u);
    EXPECT_EQ(sizeMessages[2].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(sizeMessages[3].wParam, static_cast<WPARAM>(SIZE_RESTORED));
}

// The picture is stretched from the back buffer over the client area: a pointer over a
// drawn button must hit it, and a window appearing under a resting pointer reports it.
TEST_F(WindowTest, PointerPositionsAreBackBufferPixelsAndArriveWithoutMotion) {
    const HWND window = make(sizeof(LONG_PTR));
    morvale_testing::resizeClient(window, 800, 600);
    drain();
    seen.clear();
    const auto lastMotion = [] {
        std::optional<std::pair<int, int>> position;
        for (const auto& s : seen) {
            if (s.message == WM_MOUSEMOVE)
                position = std::make_pair(int{LOWORD(s.lParam)}, int{HIWORD(s.lParam)});
        }
        seen.clear();
        return position;
    };
    win32::setBackBufferSize(window, 1024, 768);
    win32::simulateMouseMove(window, 400, 300);
    drain();
    EXPECT_EQ(lastMotion(), std::make_pair(512, 384));
    win32::simulatePointerArrival(window, 799, 0);
    drain();
    EXPECT_EQ(lastMotion(), std::make_pair(1022, 0));
    win32::simulatePointerArrival(window, 800, 10);  // beside the client area
    win32::simulatePointerArrival(window, -1, 10);
    drain();
    EXPECT_EQ(lastMotion(), std::nullopt);
    win32::setBackBufferSize(window, 0, 0);
    win32::simulateMouseMove(window, 400, 300);
    drain();
    EXPECT_EQ(lastMotion(), std::make_pair(400, 300));
}

TEST_F(WindowTest, ScreenHasNinetySixDotsPerInch) {
    const HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

TEST_F(WindowTest, SdlWindowUnderTheOffscreenDriverPumpsUntilAPostedQuit) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    win32::useWindowBackend(WindowBackendKind::Sdl);
    const HWND window = make(sizeof(LONG_PTR));
    ASSERT_NE(window, nullptr);
    EXPECT_NE(win32::sdlWindow(window), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    ASSERT_TRUE(PostMessageW(window, WM_USER, 0, 0));
    bool sawUser = false;
    bool quit = false;
    for (int turn = 0; turn < 10000 && !quit; ++turn) {
        MSG message{};
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            continue;
        }
        if (message.message == WM_QUIT) {
            quit = true;
            break;
        }
        if (message.message == WM_USER) {
            sawUser = true;
            DestroyWindow(window);  // WM_DESTROY posts the quit
            continue;
        }
        DispatchMessageW(&message);
    }
    EXPECT_TRUE(sawUser);
    EXPECT_TRUE(quit);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace

namespace {

// The game's setting (recording off): under the offscreen driver no box is shown, and the
// text still reaches standard error.
TEST(MessageBoxSdlTest, WritesToStandardErrorWithoutBlockingOffscreen) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    win32::setMessageBoxRecording(false);
    win32::clearRecordedMessageBoxes();
    ::testing::internal::CaptureStderr();
    win32::showMessageBoxSdl(L"Application terminating: caf\u00e9", L"Fatal error");
    const std::string written = ::testing::internal::GetCapturedStderr();
    win32::setMessageBoxRecording(true);
    EXPECT_EQ(written, "Fatal error: Application terminating: caf\xc3\xa9\n");
    EXPECT_TRUE(win32::recordedMessageBoxes().empty());
}

// A box shows each line of its text on one line: the fatal error's text must fit the screen.
TEST(MessageBoxSdlTest, LongTextIsBrokenAtBlanksIntoLinesThatFit) {
    const std::string fatal =
        "Application terminating: Failed to fetch resource: "
        "levels/a_level_name_that_is_quite_long_indeed.slev (caf\xc3\xa9)";
    const std::string wrapped = win32::wrapMessageBoxText(fatal, 30);
    EXPECT_EQ(wrapped,
              "Application terminating:\nFailed to fetch resource:\n"
              "levels/a_level_name_that_is_quite_long_indeed.slev\n(caf\xc3\xa9)");
    EXPECT_EQ(win32::wrapMessageBoxText("one two\nthree", 30), "one two\nthree");
    EXPECT_EQ(win32::wrapMessageBoxText("", 30), "");
    // Exactly full lines stay whole.
    EXPECT_EQ(win32::wrapMessageBoxText("abc def", 7), "abc def");
}

// Tests start with boxes recorded: even on a real display nothing waits for a click.
TEST(MessageBoxSdlTest, RecordsInsteadOfShowingOnAnyDisplay) {
    ASSERT_TRUE(win32::messageBoxRecording());
    struct Variable {
        Variable(const char* name, const char* value) : name(name) {
            const char* previous = std::getenv(name);
            saved = previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
            setenv(name, value, 1);
        }
        ~Variable() {
            if (saved) {
                setenv(name, saved->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
        const char* name;
        std::optional<std::string> saved;
    };
    const Variable display("DISPLAY", ":0");
    const Variable driver("SDL_VIDEODRIVER", "x11");
    win32::clearRecordedMessageBoxes();
    ::testing::internal::CaptureStderr();
    win32::showMessageBoxSdl(L"Trying to use windowed mode.", L"Warning");
    ::testing::internal::GetCapturedStderr();
    const auto boxes = win32::recordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Warning");
    EXPECT_EQ(boxes[0].text, L"Trying to use windowed mode.");
}

}  // namespace
