// The lines written to the channels the visual effects log on, since the last clear, each
// without its line end.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/log.h"

namespace effect_testing {

struct LoggedLine {
    std::string channel;
    std::string text;
};

inline std::vector<LoggedLine>& loggedLines() {
    static std::vector<LoggedLine> lines;
    return lines;
}

// Attaches the capture once per process and empties it.
inline void captureLog() {
    static bool attached = false;
    if (!attached) {
        auto& manager = boost::log::LogManager::instance();
        for (const char* channel : {"debug", "warning", "resource", "screen"}) {
            const std::string name = channel;
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
        }
        manager.setCaching(false, 0);
        attached = true;
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

}  // namespace effect_testing
