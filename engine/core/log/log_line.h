// One line written to a channel. Construct it on a channel, insert into its stream only when
// the stream is present (a disabled channel gets none, nor does one without appenders once
// caching has ended, so nothing is formatted), and end the text with std::endl: the line is
// handed to the log manager when the LogLine is destroyed.
//
//     boost::log::LogLine line(boost::log::logDebug());
//     if (line.stream()) *line.stream() << "Loaded " << name << std::endl;
//
// Lines written every frame must not touch the heap: each thread keeps the streams of its
// finished lines, text storage and all, and hands them to its next lines with the default
// formatting restored.
#pragma once

#include "engine/core/log/logger.h"

#include <memory>
#include <ostream>
#include <string>

namespace boost {
namespace log {

// A stream that formats into a string it keeps, so the text can be handed on as it stands.
class LineStream : public std::ostream {
public:
    LineStream();
    LineStream(const LineStream&) = delete;
    LineStream& operator=(const LineStream&) = delete;

    const std::string& text() const { return buffer_.text; }
    // Empties the text (keeping its storage) and restores the default state and formatting.
    void reset();

private:
    class Buffer : public std::streambuf {
    public:
        std::string text;

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize count) override;
    };

    Buffer buffer_;
};

class LogLine {
public:
    explicit LogLine(Logger& channel);
    // Passes on an appender's exception, except while the stack already unwinds another
    // exception: then the line is dropped rather than terminating the program.
    ~LogLine() noexcept(false);
    LogLine(const LogLine&) = delete;
    LogLine& operator=(const LogLine&) = delete;

    std::ostream* stream() const { return stream_.get(); }

private:
    std::unique_ptr<LineStream> stream_;
    Logger* channel_;
    int exceptionsInFlight_;
};

}  // namespace log
}  // namespace boost
