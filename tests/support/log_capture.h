// The lines written to chosen log channels since the last capture began, each without its
// line end.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "engine/core/log.h"

namespace morvale_testing {

struct LoggedLine {
    std::string channel;
    std::string text;
};

inline std::vector<LoggedLine>& loggedLines() {
    static std::vector<LoggedLine> lines;
    return lines;
}

// Attaches the capture to each channel the first time one asks for it (the log manager keeps
// its appenders for the whole process, so fixtures that capture other channels can share a
// test program) and empties it.
inline void captureLog(std::initializer_list<const char*> channels) {
    static std::set<std::string> attached;
    auto& manager = boost::log::LogManager::instance();
    for (const char* channel : channels) {
        const std::string name = channel;
        if (!attached.insert(name).second) {
            continue;
        }
        manager.addAppender(
            name,
            [name](const std::string&, const std::string& text) {
                std::string line = text;
                if (!line.empty() && line.back() == '\n') {
                    line.pop_back();
                }
                loggedLines().push_back({name, line});
            },
            0);
        manager.setCaching(false, 0);
    }
    loggedLines().clear();
}

inline std::vector<std::string> linesOf(const std::string& channel) {
    std::vector<std::string> texts;
    for (const LoggedLine& line : loggedLines()) {
        if (line.channel == channel) {
            texts.push_back(line.text);
        }
    }
    return texts;
}

inline bool logged(const std::string& channel, const std::string& text) {
    const std::vector<std::string> texts = linesOf(channel);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

inline bool loggedContaining(const std::string& channel, const std::string& part) {
    for (const std::string& text : linesOf(channel)) {
        if (text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace morvale_testing
