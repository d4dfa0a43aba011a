// The buffered events of one device: a ring of a fixed number of events that keeps the
// newest when it overflows, so that the last state of every object always arrives.
#pragma once

#include <dinput.h>

#include <cstddef>
#include <vector>

namespace dinput8 {

class EventBuffer {
public:
    // Keeps the newest pending events that fit.
    void setCapacity(std::size_t capacity);
    std::size_t capacity() const { return events_.size(); }
    std::size_t size() const { return count_; }

    void push(DWORD offset, DWORD data, UINT_PTR appData);
    // Relative motion: when the buffer is full and the newest event is motion of the same
    // object, the two are added up rather than losing the oldest event.
    void pushMotion(DWORD offset, LONG delta, UINT_PTR appData);
    // Moves up to count of the oldest events to out (or drops them when out is null);
    // returns how many.
    std::size_t take(DIDEVICEOBJECTDATA* out, std::size_t count);
    // True once after events were lost.
    bool takeOverflow();

private:
    DIDEVICEOBJECTDATA& at(std::size_t index) { return events_[(first_ + index) % events_.size()]; }

    std::vector<DIDEVICEOBJECTDATA> events_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    bool overflowed_ = false;
};

}  // namespace dinput8
