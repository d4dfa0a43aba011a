// One named log: the modifiers that rewrite a line and the appenders that write it, each
// list kept in ascending order. Logs are created only by the LogManager.
#pragma once

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

namespace boost {
namespace log {

// Writes a finished line somewhere: (log name, text).
typedef boost::function<void(const std::string&, const std::string&)> Appender;
// May rewrite a line in place before the appenders see it: (log name, text).
typedef boost::function<void(const std::string&, std::string&)> Modifier;

class logger_impl {
public:
    explicit logger_impl(const std::string& name);

    const std::string& name() const { return name_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // A new entry runs before existing entries of the same order.
    void insertAppender(const Appender& appender, int order);
    void insertModifier(const Modifier& modifier, int order);
    void clearAppenders();
    void clearModifiers();
    bool hasAppenders() const { return !appenders_.empty(); }

    // Runs the line through every modifier, then hands it to every appender. An empty
    // function throws boost::bad_function_call; entries before it have already run.
    void dispatch(const std::string& text) const;

private:
    struct AppenderEntry {
        Appender function;
        int order;
    };
    struct ModifierEntry {
        Modifier function;
        int order;
    };

    std::vector<AppenderEntry> appenders_;
    std::vector<ModifierEntry> modifiers_;
    std::string name_;
    bool enabled_ = false;
};

// The handle writers keep; copies share one log.
class Logger {
public:
    Logger() = default;
    explicit Logger(boost::shared_ptr<logger_impl> impl) : impl_(std::move(impl)) {}

    bool isEnabled() const { return impl_ && impl_->isEnabled(); }
    logger_impl* get() const { return impl_.get(); }
    logger_impl* operator->() const { return impl_.get(); }

private:
    boost::shared_ptr<logger_impl> impl_;
};

}  // namespace log
}  // namespace boost
