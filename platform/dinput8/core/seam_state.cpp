#include "core/seam_state.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/input_hub.h"
#include "win32/input_hook.h"

namespace dinput8 {

namespace {

struct Failure {
    dinput8_test::Call call;
    HRESULT result;
    std::wstring deviceName;
};

struct SeamState {
    std::mutex mutex;
    std::vector<Failure> failures;
};

SeamState& state() {
    static SeamState instance;
    return instance;
}

std::atomic<bool> failing{false};
std::atomic<dinput8_test::Foreground> foreground{dinput8_test::Foreground::FromWindow};
std::atomic<int> live{0};

}  // namespace

bool inForeground(HWND window) {
    switch (foreground.load(std::memory_order_relaxed)) {
        case dinput8_test::Foreground::Forced:
            return true;
        case dinput8_test::Foreground::Background:
            return false;
        case dinput8_test::Foreground::FromWindow:
            break;
    }
    // A window that never heard of focus (the offscreen driver, no window manager) counts
    // as in front: only an explicit loss of focus puts it behind.
    return IsWindow(window) && win32::windowFocus(window) != win32::WindowFocus::Lost;
}

HRESULT injectedFailure(dinput8_test::Call call, const WCHAR* deviceName) {
    if (!failing.load(std::memory_order_relaxed)) {
        return S_OK;
    }
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const Failure& failure : s.failures) {
        if (failure.call == call &&
            (failure.deviceName.empty() || failure.deviceName == deviceName)) {
            return failure.result;
        }
    }
    return S_OK;
}

void objectMade() {
    live.fetch_add(1, std::memory_order_relaxed);
}

void objectDestroyed() {
    live.fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace dinput8

namespace dinput8_test {

void setForeground(Foreground value) {
    dinput8::foreground.store(value, std::memory_order_relaxed);
}

void failCall(Call call, HRESULT result, const std::wstring& deviceName) {
    dinput8::SeamState& s = dinput8::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failures.push_back({call, result, deviceName});
    dinput8::failing.store(true, std::memory_order_relaxed);
}

void clearFailures() {
    dinput8::SeamState& s = dinput8::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failures.clear();
    dinput8::failing.store(false, std::memory_order_relaxed);
}

int liveObjects() {
    return dinput8::live.load(std::memory_order_relaxed);
}

void reset() {
    setForeground(Foreground::FromWindow);
    clearFailures();
    dinput8::InputHub::instance().forgetHeld();
}

}  // namespace dinput8_test
