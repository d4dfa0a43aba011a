#include "seam_state.h"

#include <atomic>
#include <cwctype>
#include <map>
#include <mutex>
#include <vector>

namespace dmusic {
namespace {

struct SeamState {
    std::mutex mutex;
    dmusic_test::Output output = dmusic_test::Output::Automatic;
    bool capture = false;
    std::map<std::wstring, HRESULT> loadFailures;
    std::vector<dmusic_test::Event> events;
};

// Outside the locked state: every call of the layer reads them.
std::atomic<bool> recording{false};
std::atomic<bool> failingLoads{false};
std::atomic<unsigned long long> soundBudget{0};

SeamState& state() {
    static SeamState instance;
    return instance;
}

std::wstring lowerFileName(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"/\\");
    std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return name;
}

}  // namespace

bool recordingCalls() {
    return recording.load(std::memory_order_relaxed);
}

void record(const dmusic_test::Event& event) {
    if (!recordingCalls()) {
        return;
    }
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.events.push_back(event);
}

dmusic_test::Output outputMode() {
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.output;
}

bool captureEnabled() {
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.capture;
}

HRESULT injectedLoadFailure(const std::wstring& path) {
    if (!failingLoads.load(std::memory_order_relaxed)) {
        return S_OK;
    }
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const auto found = s.loadFailures.find(lowerFileName(path));
    return found == s.loadFailures.end() ? S_OK : found->second;
}

unsigned long long soundBudgetChosen() {
    return soundBudget.load(std::memory_order_relaxed);
}

void resetSeamState() {
    SeamState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.output = dmusic_test::Output::Automatic;
    s.capture = false;
    recording.store(false, std::memory_order_relaxed);
    s.loadFailures.clear();
    failingLoads.store(false, std::memory_order_relaxed);
    soundBudget.store(0, std::memory_order_relaxed);
    s.events.clear();
}

}  // namespace dmusic

namespace dmusic_test {

void setOutput(Output output) {
    dmusic::SeamState& s = dmusic::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.output = output;
}

void setCapture(bool enabled) {
    dmusic::SeamState& s = dmusic::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.capture = enabled;
}

void failLoad(const std::wstring& fileName, HRESULT result) {
    dmusic::SeamState& s = dmusic::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.loadFailures[dmusic::lowerFileName(fileName)] = result;
    dmusic::failingLoads.store(true, std::memory_order_relaxed);
}

void setSoundBudget(unsigned long long bytes) {
    dmusic::soundBudget.store(bytes, std::memory_order_relaxed);
}

void setRecording(bool enabled) {
    dmusic::recording.store(enabled, std::memory_order_relaxed);
}

std::vector<Event> events() {
    dmusic::SeamState& s = dmusic::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.events;
}

std::vector<Event> events(Call call) {
    std::vector<Event> matching;
    for (const Event& e : events()) {
        if (e.call == call) {
            matching.push_back(e);
        }
    }
    return matching;
}

void clearEvents() {
    dmusic::SeamState& s = dmusic::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.events.clear();
}

}  // namespace dmusic_test
