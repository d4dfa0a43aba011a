// What the game's readers complain about while a check runs: the lines written to the
// channels on which a reader reports bad or missing art.
#pragma once

#include <string>
#include <vector>

#include "tests/support/log_capture.h"

namespace art_testing {

using Complaint = morvale_testing::LoggedLine;

// Starts a new capture of the "warning", "error" and "resource" channels ("debug" too when
// asked for: the effect list reports its failures there), dropping what was captured.
void captureComplaints();
const std::vector<Complaint>& complaints();
// The lines of one channel since the last captureComplaints.
using morvale_testing::linesOf;
// "channel: text" per line, for failure messages.
std::string describeComplaints();

}  // namespace art_testing
