#include "engine/core/log/outputs.h"

#include "engine/core/log/log_manager.h"

#include <fstream>

namespace boost {
namespace log {

void addLogAppender(const std::string& pattern, const Appender& appender, int order) {
    LogManager::instance().addAppender(pattern, appender, order);
}

void addLogModifier(const std::string& pattern, const Modifier& modifier, int order) {
    LogManager::instance().addModifier(pattern, modifier, order);
}

void enableLogs(const char* pattern) {
    LogManager::instance().addEnableRule(pattern ? pattern : "");
    flushLogCache();
}

void flushLogCache() {
    LogManager::instance().setCaching(false, 256);
}

void attachDebuggerOutput() {
    addLogModifier("*", prefixModifier, 100);
    addLogAppender("*", debuggerAppender, 100);
    flushLogCache();
}

void attachLogFile(const char* pattern, const char* fileName) {
    addLogAppender(pattern ? pattern : "", write_to_file(fileName ? fileName : "", true), 100);
    flushLogCache();
}

void prefixModifier(const std::string& name, std::string& text) {
    text = "[" + name + "] " + text;
}

write_to_file::write_to_file(const std::string& fileName, bool truncateFirst)
    : fileName_(fileName), firstWrite_(new bool(truncateFirst)) {}

void write_to_file::operator()(const std::string&, const std::string& text) const {
    std::ofstream file(fileName_.c_str(),
                       *firstWrite_ ? std::ios::out : std::ios::out | std::ios::app);
    if (file) {
        file << text;
    }
    *firstWrite_ = false;
}

}  // namespace log
}  // namespace boost
