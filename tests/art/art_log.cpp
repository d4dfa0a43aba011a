#include "tests/art/art_log.h"

#include "engine/core/log.h"

namespace art_testing {
namespace {

std::vector<Complaint>& captured() {
    static std::vector<Complaint> lines;
    return lines;
}

}  // namespace

void captureComplaints() {
    static bool attached = false;
    if (!attached) {
        auto& manager = boost::log::LogManager::instance();
        for (const char* channel : {"warning", "error", "resource", "debug"}) {
            const std::string name = channel;
            manager.addAppender(
                name,
                [name](const std::string&, const std::string& text) {
                    std::string line = text;
                    if (!line.empty() && line.back() == '\n') {
                        line.pop_back();
                    }
                    captured().push_back({name, line});
                },
                0);
        }
        manager.setCaching(false, 0);
        attached = true;
    }
    captured().clear();
}

const std::vector<Complaint>& complaints() {
    return captured();
}

std::vector<std::string> linesOf(const std::string& channel) {
    std::vector<std::string> lines;
    for (const Complaint& line : captured()) {
        if (line.channel == channel) {
            lines.push_back(line.text);
        }
    }
    return lines;
}

std::string describeComplaints() {
    std::string text;
    for (const Complaint& line : captured()) {
        if (line.channel != "debug") {
            text += line.channel + ": " + line.text + "\n";
        }
    }
    return text;
}

}  // namespace art_testing
