#include "dmusic/test_seam.h"

#include "performance.h"
#include "registry.h"
#include "seam_state.h"
#include "sound_memory.h"

namespace dmusic_test {

void advance(double seconds) {
    const bool capture = dmusic::captureEnabled();
    for (const auto& mixer : dmusic::manualMixers()) {
        mixer->advance(seconds, capture);
    }
}

std::vector<float> takeCapture(IDirectMusicPerformance8* performance) {
    dmusic::PerformanceImpl* known = dmusic::asPerformance(performance);
    if (known == nullptr || !known->mixer()) {
        return {};
    }
    return known->mixer()->takeCapture();
}

bool usesLoopback(IDirectMusicPerformance8* performance) {
    dmusic::PerformanceImpl* known = dmusic::asPerformance(performance);
    return known != nullptr && known->mixer() &&
           known->mixer()->clock() != dmusic::Mixer::Clock::Device;
}

unsigned long long heldSoundBytes() {
    return dmusic::heldSoundBytes();
}

int liveObjects() {
    return dmusic::liveObjectCount();
}

void reset() {
    dmusic::resetSeamState();
}

}  // namespace dmusic_test
