#include "core/event_buffer.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace dinput8 {

namespace {

// DirectInput numbers events across all devices, so events of two devices can be ordered.
DWORD nextSequence = 1;

DWORD milliseconds() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<DWORD>(
        duration_cast<std::chrono::milliseconds>(steady_clock::now() - start).count());
}

}  // namespace

void EventBuffer::setCapacity(std::size_t capacity) {
    std::vector<DIDEVICEOBJECTDATA> kept(capacity);
    const std::size_t keep = std::min(count_, capacity);
    for (std::size_t i = 0; i < keep; ++i) {
        kept[i] = at(count_ - keep + i);
    }
    if (keep < count_) {
        overflowed_ = true;
    }
    events_.swap(kept);
    first_ = 0;
    count_ = keep;
}

void EventBuffer::push(DWORD offset, DWORD data, UINT_PTR appData) {
    if (events_.empty()) {
        return;
    }
    if (count_ == events_.size()) {
        first_ = (first_ + 1) % events_.size();
        --count_;
        overflowed_ = true;
    }
    DIDEVICEOBJECTDATA& event = at(count_);
    event.dwOfs = offset;
    event.dwData = data;
    event.dwTimeStamp = milliseconds();
    event.dwSequence = nextSequence++;
    event.uAppData = appData;
    ++count_;
}

void EventBuffer::pushMotion(DWORD offset, LONG delta, UINT_PTR appData) {
    if (!events_.empty() && count_ == events_.size()) {
        DIDEVICEOBJECTDATA& newest = at(count_ - 1);
        if (newest.dwOfs == offset && newest.uAppData == appData) {
            const long long sum = static_cast<long long>(static_cast<LONG>(newest.dwData)) + delta;
            newest.dwData = static_cast<DWORD>(static_cast<LONG>(std::clamp<long long>(
                sum, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max())));
            return;
        }
    }
    push(offset, static_cast<DWORD>(delta), appData);
}

std::size_t EventBuffer::take(DIDEVICEOBJECTDATA* out, std::size_t count) {
    const std::size_t taken = std::min(count, count_);
    for (std::size_t i = 0; i < taken; ++i) {
        if (out != nullptr) {
            out[i] = at(i);
        }
    }
    if (taken > 0) {
        first_ = (first_ + taken) % events_.size();
        count_ -= taken;
    }
    return taken;
}

bool EventBuffer::takeOverflow() {
    const bool overflowed = overflowed_;
    overflowed_ = false;
    return overflowed;
}

}  // namespace dinput8
