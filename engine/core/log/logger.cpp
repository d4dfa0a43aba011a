#include "engine/core/log/logger.h"

#include <algorithm>

namespace boost {
namespace log {

namespace {

template <typename Entry>
void insertByOrder(std::vector<Entry>& entries, Entry entry) {
    auto position =
        std::lower_bound(entries.begin(), entries.end(), entry.order,
                         [](const Entry& existing, int order) { return existing.order < order; });
    entries.insert(position, std::move(entry));
}

}  // namespace

logger_impl::logger_impl(const std::string& name) : name_(name) {}

void logger_impl::insertAppender(const Appender& appender, int order) {
    insertByOrder(appenders_, AppenderEntry{appender, order});
}

void logger_impl::insertModifier(const Modifier& modifier, int order) {
    insertByOrder(modifiers_, ModifierEntry{modifier, order});
}

void logger_impl::clearAppenders() {
    appenders_.clear();
}

void logger_impl::clearModifiers() {
    modifiers_.clear();
}

void logger_impl::dispatch(const std::string& text) const {
    if (!enabled_) {
        return;
    }
    if (modifiers_.empty()) {
        // Nothing rewrites the line: the appenders read it where it stands, uncopied.
        for (const AppenderEntry& appender : appenders_) {
            appender.function(name_, text);
        }
        return;
    }
    std::string line = text;
    for (const ModifierEntry& modifier : modifiers_) {
        modifier.function(name_, line);
    }
    for (const AppenderEntry& appender : appenders_) {
        appender.function(name_, line);
    }
}

}  // namespace log
}  // namespace boost
