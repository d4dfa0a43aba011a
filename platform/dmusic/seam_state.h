// What the test seam has set, and the call record, as the layer's own code reads them.
#pragma once

#include "dmusic/test_seam.h"

#include <string>

namespace dmusic {

// While tests record calls; read without a lock, so an unrecorded call costs a flag test.
// A call whose event copies data (a path) builds it only when this is true.
bool recordingCalls();
// Keeps the event while recording is on.
void record(const dmusic_test::Event& event);
dmusic_test::Output outputMode();
bool captureEnabled();
// The failure injected for this file (S_OK when none).
HRESULT injectedLoadFailure(const std::wstring& path);
// The sound budget a test chose, in bytes; 0 when no test chose one.
unsigned long long soundBudgetChosen();
void resetSeamState();

}  // namespace dmusic
