// The lines written to the channels the visual effects log on, since the last clear, each
// without its line end.
#pragma once

#include "tests/support/log_capture.h"

namespace effect_testing {

using morvale_testing::linesOf;
using morvale_testing::logged;
using morvale_testing::LoggedLine;
using morvale_testing::loggedLines;

// Attaches the capture once per process and empties it.
inline void captureLog() {
    morvale_testing::captureLog({"debug", "warning", "resource", "screen"});
}

}  // namespace effect_testing
