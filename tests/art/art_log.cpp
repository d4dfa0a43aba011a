#include "tests/art/art_log.h"

namespace art_testing {

void captureComplaints() {
    morvale_testing::captureLog({"warning", "error", "resource", "debug"});
}

const std::vector<Complaint>& complaints() {
    return morvale_testing::loggedLines();
}

std::string describeComplaints() {
    std::string text;
    for (const Complaint& line : complaints()) {
        if (line.channel != "debug") {
            text += line.channel + ": " + line.text + "\n";
        }
    }
    return text;
}

}  // namespace art_testing
