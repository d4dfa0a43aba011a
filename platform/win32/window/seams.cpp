// Test seams of the window layer, and the SDL message box the kernel's MessageBoxW shows.
#include <SDL.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

#include "win32/utf8.h"
#include "window/box_watch.h"
#include "window/native_events.h"
#include "window/window_system.h"

namespace win32 {

namespace {

Window* windowOf(HWND handle) {
    return WindowSystem::instance().find(handle);
}

// A message box needs someone to press its button: only on a real display.
bool canShowMessageBox() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        return false;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// Keys pressed while the box was up were meant for the box (the Enter that answers it, or
// one pressed before it had the focus), not for the game. Releases stay, so that no key is
// left down. Events are the main thread's only.
void dropKeysPressedDuringTheBox() {
    if (getpid() == static_cast<pid_t>(syscall(SYS_gettid)) && SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_PumpEvents();
        SDL_FlushEvent(SDL_KEYDOWN);
        SDL_FlushEvent(SDL_TEXTINPUT);
    }
}

std::atomic<bool> recordingBoxes{false};

// A box can come from any thread (a crash report, say): the list is locked, but only while
// recording is on.
struct BoxRecord {
    std::mutex mutex;
    std::vector<RecordedMessageBox> boxes;
};

BoxRecord& boxRecord() {
    static BoxRecord record;
    return record;
}

}  // namespace

void useWindowBackend(WindowBackendKind kind) {
    WindowSystem::instance().setBackendKind(kind);
}

void requestOpenGLWindows(bool on) {
    WindowSystem::instance().setOpenGLWindows(on);
}

void resetWindowSystem() {
    WindowSystem::instance().reset();
}

void setFrameMetrics(int border, int caption) {
    WindowSystem::instance().setFrameMetrics(border, caption);
}

void simulateResizeDrag(HWND handle, const std::vector<std::pair<int, int>>& clientSizes) {
    WindowSystem& system = WindowSystem::instance();
    if (Window* window = windowOf(handle)) {
        beginSizeMove(system, *window);
        for (const auto& size : clientSizes) {
            resizedTo(system, *window, size.first, size.second, SIZE_RESTORED);
        }
        endSizeMove(system, *window);
    }
}

void simulateMinimize(HWND handle) {
    if (Window* window = windowOf(handle)) {
        minimized(WindowSystem::instance(), *window);
    }
}

void simulateMaximize(HWND handle, int clientWidth, int clientHeight) {
    if (Window* window = windowOf(handle)) {
        resizedTo(WindowSystem::instance(), *window, clientWidth, clientHeight, SIZE_MAXIMIZED);
    }
}

void simulateRestore(HWND handle) {
    if (Window* window = windowOf(handle)) {
        restored(WindowSystem::instance(), *window);
    }
}

void simulateClose(HWND handle) {
    postMessage(WindowSystem::instance(), handle, WM_CLOSE, 0, 0);
}

void simulateKey(HWND handle, WPARAM virtualKey, bool down) {
    if (Window* window = windowOf(handle)) {
        keyChanged(WindowSystem::instance(), *window, virtualKey, down, false);
    }
}

void simulateMouseMove(HWND handle, int x, int y) {
    if (Window* window = windowOf(handle)) {
        mouseMoved(WindowSystem::instance(), *window, x, y, x - window->pointer.x,
                   y - window->pointer.y, 0);
    }
}

void simulateMouseButton(HWND handle, int button, bool down) {
    if (Window* window = windowOf(handle)) {
        mouseButtonChanged(WindowSystem::instance(), *window, button, down, 0, 0);
    }
}

void setBackBufferSize(HWND handle, int width, int height) {
    if (Window* window = windowOf(handle)) {
        window->backBufferWidth = std::max(0, width);
        window->backBufferHeight = std::max(0, height);
    }
}

void simulatePointerArrival(HWND handle, int x, int y) {
    if (Window* window = windowOf(handle)) {
        pointerArrived(WindowSystem::instance(), *window, x, y, 0);
    }
}

void simulateFocus(HWND handle, bool focused) {
    if (Window* window = windowOf(handle)) {
        focusChanged(WindowSystem::instance(), *window, focused);
    }
}

std::string wrapMessageBoxText(const std::string& utf8Text, size_t columns) {
    // Characters, not bytes: continuation bytes of UTF-8 do not count.
    const auto length = [](const std::string& word) {
        return static_cast<size_t>(
            std::count_if(word.begin(), word.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::string wrapped;
    std::istringstream lines(utf8Text);
    std::string line;
    bool firstLine = true;
    while (std::getline(lines, line)) {
        if (!firstLine) {
            wrapped += '\n';
        }
        firstLine = false;
        std::istringstream words(line);
        std::string word;
        size_t filled = 0;
        while (words >> word) {
            if (filled > 0 && filled + 1 + length(word) > columns) {
                wrapped += '\n';
                filled = 0;
            } else if (filled > 0) {
                wrapped += ' ';
                ++filled;
            }
            wrapped += word;
            filled += length(word);
        }
    }
    return wrapped;
}

void showMessageBoxSdl(const std::wstring& text, const std::wstring& caption) {
    const std::string utf8Text = toUtf8(text);
    const std::string utf8Caption = toUtf8(caption);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    if (messageBoxRecording()) {
        BoxRecord& record = boxRecord();
        std::lock_guard<std::mutex> lock(record.mutex);
        record.boxes.push_back({text, caption});
    } else if (canShowMessageBox()) {
        {
            // About 600 pixels of the box's font: readable on any screen the game runs on.
            const BoxWatch watch(utf8Caption);
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8Caption.c_str(),
                                     wrapMessageBoxText(utf8Text, 72).c_str(), nullptr);
        }
        dropKeysPressedDuringTheBox();
    }
}

void setMessageBoxRecording(bool on) {
    recordingBoxes.store(on, std::memory_order_relaxed);
}

bool messageBoxRecording() {
    return recordingBoxes.load(std::memory_order_relaxed);
}

std::vector<RecordedMessageBox> recordedMessageBoxes() {
    BoxRecord& record = boxRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    return record.boxes;
}

void clearRecordedMessageBoxes() {
    BoxRecord& record = boxRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    record.boxes.clear();
}

}  // namespace win32
