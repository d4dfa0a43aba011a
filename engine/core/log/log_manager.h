// Owns every log by name and remembers every appender, modifier and enable rule added by
// pattern, so that logs created later receive them too. Until caching ends, lines are held
// per log and then dispatched grouped by log name.
#pragma once

#include "engine/core/log/logger.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace boost {
namespace log {

class LogManager {
public:
    // The process-wide manager: built on first use and never destroyed, so statics that log
    // while the program shuts down still find it. Its cache is flushed at exit.
    static LogManager& instance();

    // A standalone manager (the process-wide one is just the first of these).
    LogManager();
    // Dispatches whatever is still cached before the logs go away.
    ~LogManager();
    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    Logger getLogger(const std::string& name);
    void addAppender(const std::string& pattern, const Appender& function, int order);
    void addModifier(const std::string& pattern, const Modifier& function, int order);
    // Rules can only enable: every log is enabled from its creation on.
    void addEnableRule(const std::string& pattern);
    void applyEnableRules();

    // The single entry for finished lines: cached while caching is on, else dispatched.
    void write(const Logger& logger, const std::string& text);
    void cacheMessage(const Logger& logger, const std::string& text);
    // Switching caching off dispatches every cached line, log by log in name order. It never
    // switches back on.
    void setCaching(bool on, std::uint32_t limit);

    bool isCaching() const { return caching_; }

private:
    struct LogEntry {
        Logger logger;
        std::vector<std::string> cache;
    };
    struct RememberedAppender {
        std::string pattern;
        Appender function;
        int order;
    };
    struct RememberedModifier {
        std::string pattern;
        Modifier function;
        int order;
    };
    struct EnableRule {
        std::string pattern;
        bool enable;
    };

    bool enabledByRules(const std::string& name) const;

    std::map<std::string, LogEntry> logs_;
    std::vector<RememberedAppender> rememberedAppenders_;
    std::vector<RememberedModifier> rememberedModifiers_;
    std::vector<EnableRule> enableRules_;
    bool caching_ = true;
    std::uint32_t cacheLimit_ = 256;
};

}  // namespace log
}  // namespace boost
