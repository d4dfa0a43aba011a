// What the game's readers complain about while a check runs: the lines written to the
// channels on which a reader reports bad or missing art.
#pragma once

#include <string>
#include <vector>

namespace art_testing {

struct Complaint {
    std::string channel;
    std::string text;
};

// Starts a new capture of the "warning", "error" and "resource" channels ("debug" too when
// asked for: the effect list reports its failures there), dropping what was captured.
void captureComplaints();
const std::vector<Complaint>& complaints();
// The lines of one channel since the last captureComplaints.
std::vector<std::string> linesOf(const std::string& channel);
// "channel: text" per line, for failure messages.
std::string describeComplaints();

}  // namespace art_testing
