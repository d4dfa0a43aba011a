// Common set-up: COM initialised, a manual loopback clock, a temporary sound folder, and
// objects released (and checked gone) at the end of every test.
#pragma once

#include "wav_files.h"

#include <dmusic/test_seam.h>
#include <dmusici.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dmusic_testing {

class DmusicTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A performance not yet initialised, released at the end.
    IDirectMusicPerformance8* createPerformance();
    // An initialised performance (stereo default path), released at the end.
    IDirectMusicPerformance8* makePerformance();
    // Plays a secondary segment (optionally queued after `from`) on the default path or
    // `path`; the state handle, or null when the play failed.
    static IDirectMusicSegmentState* play(IDirectMusicPerformance8* performance,
                                          IDirectMusicSegment8* segment, DWORD flags = 0,
                                          IDirectMusicSegmentState* from = nullptr,
                                          IDirectMusicAudioPath* path = nullptr);
    // A loader searching the test's folder, cache off, released at the end.
    IDirectMusicLoader8* makeLoader();
    // Writes the tone as `name` in the test's folder, loads it and downloads it to
    // `performance`; released at the end.
    IDirectMusicSegment8* loadTone(IDirectMusicPerformance8* performance, const std::string& name,
                                   const Tone& tone);
    // Released at the end of the test (in reverse order of keeping).
    void keep(IUnknown* object) { kept_.push_back(object); }

    static HRESULT playing(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment) {
        return performance->IsPlaying(segment, nullptr);
    }

    TempFolder folder_;

private:
    std::vector<IUnknown*> kept_;
    IDirectMusicLoader8* loader_ = nullptr;
};

}  // namespace dmusic_testing
