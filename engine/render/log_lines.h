// One log line made of parts, formatted only when the channel is enabled.
#pragma once

#include <ostream>
#include <string>

#include "engine/core/log.h"

namespace kesh {

template <class... Parts>
void writeLine(boost::log::Logger& channel, const Parts&... parts) {
    boost::log::LogLine line(channel);
    if (line.stream()) {
        (*line.stream() << ... << parts) << std::endl;
    }
}

// Wide texts that are ASCII by construction (format names), narrowed for the log.
inline std::string asciiOf(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

}  // namespace kesh
