#include "engine/core/log/log_line.h"

#include "engine/core/log/log_manager.h"

#include <exception>
#include <vector>

namespace boost {
namespace log {

namespace {

// Trivially destructible, so a line written while the thread's objects are destroyed (a
// static logging at exit) can still tell that the spares are gone.
thread_local bool sparesGone = false;

struct SpareStreams {
    std::vector<std::unique_ptr<LineStream>> streams;
    ~SpareStreams() { sparesGone = true; }
};
thread_local SpareStreams spares;

std::unique_ptr<LineStream> takeStream() {
    if (sparesGone || spares.streams.empty()) {
        return std::make_unique<LineStream>();
    }
    std::unique_ptr<LineStream> stream = std::move(spares.streams.back());
    spares.streams.pop_back();
    stream->reset();
    return stream;
}

void giveBack(std::unique_ptr<LineStream> stream) {
    if (sparesGone) {
        return;
    }
    try {
        spares.streams.push_back(std::move(stream));
    } catch (...) {
        // Out of memory: the stream is simply freed.
    }
}

// Gives the stream back however the line ends, a throwing appender included.
struct GiveBackAtEnd {
    std::unique_ptr<LineStream> stream;
    ~GiveBackAtEnd() { giveBack(std::move(stream)); }
};

}  // namespace

LineStream::LineStream() : std::ostream(nullptr) {
    rdbuf(&buffer_);
}

void LineStream::reset() {
    buffer_.text.clear();
    clear();
    flags(std::ios_base::skipws | std::ios_base::dec);
    width(0);
    precision(6);
    fill(widen(' '));
}

LineStream::Buffer::int_type LineStream::Buffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        text.push_back(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
}

std::streamsize LineStream::Buffer::xsputn(const char* s, std::streamsize count) {
    text.append(s, static_cast<std::size_t>(count));
    return count;
}

LogLine::LogLine(Logger& channel)
    : channel_(&channel), exceptionsInFlight_(std::uncaught_exceptions()) {
    // Once caching has ended, a line no appender will receive is not formatted at all.
    if (channel.isEnabled() && (channel->hasAppenders() || LogManager::instance().isCaching())) {
        stream_ = takeStream();
    }
}

LogLine::~LogLine() noexcept(false) {
    if (!stream_) {
        return;
    }
    // Taken out first: an appender that writes a line of its own gets another stream.
    GiveBackAtEnd line{std::move(stream_)};
    if (std::uncaught_exceptions() > exceptionsInFlight_) {
        try {
            LogManager::instance().write(*channel_, line.stream->text());
        } catch (...) {
            // Throwing now would call std::terminate.
        }
        return;
    }
    LogManager::instance().write(*channel_, line.stream->text());
}

}  // namespace log
}  // namespace boost
