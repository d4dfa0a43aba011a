#include "engine/core/log/log_line.h"

#include "engine/core/log/log_manager.h"

#include <exception>

namespace boost {
namespace log {

LogLine::LogLine(Logger& channel)
    : channel_(&channel), exceptionsInFlight_(std::uncaught_exceptions()) {
    if (channel.isEnabled()) {
        stream_.reset(new std::ostringstream());
    }
}

LogLine::~LogLine() noexcept(false) {
    if (!stream_) {
        return;
    }
    std::unique_ptr<std::ostringstream> stream = std::move(stream_);
    if (std::uncaught_exceptions() > exceptionsInFlight_) {
        try {
            LogManager::instance().write(*channel_, stream->str());
        } catch (...) {
            // Throwing now would call std::terminate.
        }
        return;
    }
    LogManager::instance().write(*channel_, stream->str());
}

}  // namespace log
}  // namespace boost
