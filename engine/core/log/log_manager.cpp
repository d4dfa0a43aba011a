#include "engine/core/log/log_manager.h"

#include "engine/core/log/log_pattern.h"

#include <cstdlib>

namespace boost {
namespace log {

namespace {

void flushProcessCacheAtExit() {
    LogManager::instance().setCaching(false, 256);
}

}  // namespace

LogManager& LogManager::instance() {
    // Deliberately leaked: destroying it at exit would race the statics that still log.
    static LogManager* const manager = [] {
        LogManager* created = new LogManager();
        std::atexit(flushProcessCacheAtExit);
        return created;
    }();
    return *manager;
}

LogManager::LogManager() = default;

LogManager::~LogManager() {
    try {
        setCaching(false, 256);
    } catch (...) {
        // A throwing appender cannot be reported from here; the lines are lost with it.
    }
}

Logger LogManager::getLogger(const std::string& name) {
    auto found = logs_.find(name);
    if (found != logs_.end()) {
        return found->second.logger;
    }
    Logger logger(boost::shared_ptr<logger_impl>(new logger_impl(name)));
    for (const RememberedAppender& appender : rememberedAppenders_) {
        if (matchLogPattern(name, appender.pattern)) {
            logger->insertAppender(appender.function, appender.order);
        }
    }
    for (const RememberedModifier& modifier : rememberedModifiers_) {
        if (matchLogPattern(name, modifier.pattern)) {
            logger->insertModifier(modifier.function, modifier.order);
        }
    }
    logger->setEnabled(enabledByRules(name));
    logs_.emplace(name, LogEntry{logger, {}});
    return logger;
}

void LogManager::addAppender(const std::string& pattern, const Appender& function, int order) {
    rememberedAppenders_.push_back(RememberedAppender{pattern, function, order});
    for (auto& log : logs_) {
        if (matchLogPattern(log.first, pattern)) {
            log.second.logger->insertAppender(function, order);
        }
    }
}

void LogManager::addModifier(const std::string& pattern, const Modifier& function, int order) {
    rememberedModifiers_.push_back(RememberedModifier{pattern, function, order});
    for (auto& log : logs_) {
        if (matchLogPattern(log.first, pattern)) {
            log.second.logger->insertModifier(function, order);
        }
    }
}

void LogManager::addEnableRule(const std::string& pattern) {
    enableRules_.push_back(EnableRule{pattern, true});
    applyEnableRules();
}

void LogManager::applyEnableRules() {
    for (auto& log : logs_) {
        log.second.logger->setEnabled(enabledByRules(log.first));
    }
}

bool LogManager::enabledByRules(const std::string& name) const {
    bool enabled = true;
    for (const EnableRule& rule : enableRules_) {
        if (matchLogPattern(name, rule.pattern)) {
            enabled = rule.enable;
        }
    }
    return enabled;
}

void LogManager::write(const Logger& logger, const std::string& text) {
    if (caching_) {
        cacheMessage(logger, text);
    } else if (logger.get()) {
        logger->dispatch(text);
    }
}

void LogManager::cacheMessage(const Logger& logger, const std::string& text) {
    if (!logger.isEnabled()) {
        return;
    }
    auto found = logs_.find(logger->name());
    if (found == logs_.end()) {
        return;
    }
    found->second.cache.push_back(text);
    if (found->second.cache.size() > cacheLimit_) {
        setCaching(false, 256);
    }
}

void LogManager::setCaching(bool on, std::uint32_t limit) {
    caching_ = on;
    if (on) {
        cacheLimit_ = limit;
        return;
    }
    for (auto& log : logs_) {
        // Taken out first, so a line an appender writes while we flush is neither lost nor
        // dispatched twice, and a throwing appender leaves no half-flushed cache behind.
        std::vector<std::string> cached;
        cached.swap(log.second.cache);
        for (const std::string& line : cached) {
            log.second.logger->dispatch(line);
        }
    }
}

}  // namespace log
}  // namespace boost
