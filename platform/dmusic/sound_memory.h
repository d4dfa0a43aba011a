// One budget for every sound the layer holds, decoded or in OpenAL's buffers: a folder of
// long sounds is refused file by file once the budget is spent, instead of taking the
// machine's memory.
#pragma once

#include <cstdint>

namespace dmusic {

// 1 GiB: a sound is held once, as 16-bit stereo (192,000 bytes a second at 48 kHz), so
// this is about 93 minutes of 48 kHz sound in all, hundreds of times the game's own. While a
// sound is handed to OpenAL it is held twice, so one sound alone may last 46 minutes.
constexpr std::uint64_t kSoundBudget = 1ull << 30;

// Bytes taken from the budget, given back when the claim goes.
class SoundClaim {
public:
    SoundClaim() = default;
    ~SoundClaim();
    SoundClaim(SoundClaim&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = 0; }
    SoundClaim& operator=(SoundClaim&& other) noexcept;
    SoundClaim(const SoundClaim&) = delete;
    SoundClaim& operator=(const SoundClaim&) = delete;

    // Takes `more` bytes; false, with nothing taken, when the budget has not that many left.
    bool grow(std::uint64_t more);
    // Gives back what is held past `bytes`.
    void shrinkTo(std::uint64_t bytes);
    std::uint64_t bytes() const { return bytes_; }

private:
    std::uint64_t bytes_ = 0;
};

// The budget in force (a test may lower it) and what all claims hold now.
std::uint64_t soundBudget();
std::uint64_t heldSoundBytes();

}  // namespace dmusic
