#include "engine/core/log/channels.h"

#include "engine/core/log/log_manager.h"

namespace boost {
namespace log {

Logger getLogger(const std::string& name) {
    return LogManager::instance().getLogger(name);
}

Logger& logResource() {
    static Logger channel = getLogger("resource");
    return channel;
}

Logger& logWarning() {
    static Logger channel = getLogger("warning");
    return channel;
}

Logger& logError() {
    static Logger channel = getLogger("error");
    return channel;
}

Logger& logDebug() {
    static Logger channel = getLogger("debug");
    return channel;
}

Logger& logVideo() {
    static Logger channel = getLogger("video");
    return channel;
}

Logger& logLua() {
    static Logger channel = getLogger("lua");
    return channel;
}

Logger& logScreen() {
    static Logger channel = getLogger("screen");
    return channel;
}

}  // namespace log
}  // namespace boost
