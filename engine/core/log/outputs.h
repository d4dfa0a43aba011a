// Attaching outputs to logs by wildcard pattern, and the standard outputs: the debugger
// output with a "[name] " prefix and a log file. Each attach ends the start-up cache.
#pragma once

#include "engine/core/log/logger.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace boost {
namespace log {

void addLogAppender(const std::string& pattern, const Appender& appender, int order);
void addLogModifier(const std::string& pattern, const Modifier& modifier, int order);
void enableLogs(const char* pattern);
// Stops caching and dispatches every cached line.
void flushLogCache();

void attachDebuggerOutput();
void attachLogFile(const char* pattern, const char* fileName);

void prefixModifier(const std::string& name, std::string& text);
void debuggerAppender(const std::string& name, const std::string& text);

// Appends each line to a file, opened and closed per line. All copies share one flag, so
// the file is truncated once per run, by whichever log writes first.
class write_to_file {
public:
    write_to_file(const std::string& fileName, bool truncateFirst);
    void operator()(const std::string& name, const std::string& text) const;

private:
    std::string fileName_;
    boost::shared_ptr<bool> firstWrite_;
};

}  // namespace log
}  // namespace boost
