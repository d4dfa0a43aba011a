#include "sound_memory.h"

#include "seam_state.h"

#include <atomic>

namespace dmusic {
namespace {

std::atomic<std::uint64_t> held{0};

}  // namespace

SoundClaim::~SoundClaim() {
    held.fetch_sub(bytes_, std::memory_order_relaxed);
}

SoundClaim& SoundClaim::operator=(SoundClaim&& other) noexcept {
    if (this != &other) {
        held.fetch_sub(bytes_, std::memory_order_relaxed);
        bytes_ = other.bytes_;
        other.bytes_ = 0;
    }
    return *this;
}

bool SoundClaim::grow(std::uint64_t more) {
    const std::uint64_t budget = soundBudget();
    std::uint64_t now = held.load(std::memory_order_relaxed);
    do {
        if (more > budget || now > budget - more) {
            return false;
        }
    } while (!held.compare_exchange_weak(now, now + more, std::memory_order_relaxed));
    bytes_ += more;
    return true;
}

void SoundClaim::shrinkTo(std::uint64_t bytes) {
    if (bytes < bytes_) {
        held.fetch_sub(bytes_ - bytes, std::memory_order_relaxed);
        bytes_ = bytes;
    }
}

std::uint64_t soundBudget() {
    const std::uint64_t chosen = soundBudgetChosen();
    return chosen != 0 ? chosen : kSoundBudget;
}

std::uint64_t heldSoundBytes() {
    return held.load(std::memory_order_relaxed);
}

}  // namespace dmusic
