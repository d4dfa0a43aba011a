// Switches the platform layers' test records off (draws, font texts, DirectMusic calls) for
// as long as it lives, and back on after, as every test program starts with them. For
// stretches whose heap use a test counts: a record is the test's allocation, not the game's.
#pragma once

#include <d3d9/seams.h>
#include <d3dx9/seams.h>
#include <dmusic/test_seam.h>

namespace morvale_testing {

class RecordsOff {
public:
    RecordsOff() { set(false); }
    ~RecordsOff() { set(true); }
    RecordsOff(const RecordsOff&) = delete;
    RecordsOff& operator=(const RecordsOff&) = delete;

private:
    static void set(bool on) {
        d3d9::setDrawRecording(on);
        d3dx9::setTextRecording(on);
        dmusic_test::setRecording(on);
    }
};

}  // namespace morvale_testing
