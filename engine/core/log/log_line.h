// One line written to a channel. Construct it on a channel, insert into its stream only when
// the stream is present (a disabled channel gets none, so nothing is formatted), and end the
// text with std::endl: the line is handed to the log manager when the LogLine is destroyed.
//
//     boost::log::LogLine line(boost::log::logDebug());
//     if (line.stream()) *line.stream() << "Loaded " << name << std::endl;
#pragma once

#include "engine/core/log/logger.h"

#include <memory>
#include <sstream>

namespace boost {
namespace log {

class LogLine {
public:
    explicit LogLine(Logger& channel);
    // Passes on an appender's exception, except while the stack already unwinds another
    // exception: then the line is dropped rather than terminating the program.
    ~LogLine() noexcept(false);
    LogLine(const LogLine&) = delete;
    LogLine& operator=(const LogLine&) = delete;

    std::ostringstream* stream() const { return stream_.get(); }

private:
    std::unique_ptr<std::ostringstream> stream_;
    Logger* channel_;
    int exceptionsInFlight_;
};

}  // namespace log
}  // namespace boost
