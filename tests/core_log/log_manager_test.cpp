#include "engine/core/log/log_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using boost::log::Logger;
using boost::log::logger_impl;
using boost::log::LogManager;

namespace {

// Records (log name, text) pairs in the order appenders were called.
struct Recorder {
    std::vector<std::pair<std::string, std::string>> lines;

    boost::log::Appender appender(const std::string& tag = "") {
        return [this, tag](const std::string& name, const std::string& text) {
            lines.emplace_back(name, tag + text);
        };
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& line : lines) {
            result.push_back(line.second);
        }
        return result;
    }
};

}  // namespace

TEST(LoggerImpl, EntriesRunInOrderWithNewerEntriesFirstAmongEquals) {
    logger_impl log("test");
    log.setEnabled(true);
    Recorder recorder;
    log.insertAppender(recorder.appender("old100:"), 100);
    log.insertAppender(recorder.appender("new100:"), 100);
    log.insertAppender(recorder.appender("first50:"), 50);
    log.insertAppender(recorder.appender("last200:"), 200);
    log.dispatch("x");
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::string>{"first50:x", "new100:x", "old100:x", "last200:x"}));
}

TEST(LoggerImpl, ModifiersChainBeforeEveryAppender) {
    logger_impl log("lua");
    log.setEnabled(true);
    Recorder recorder;
    log.insertModifier([](const std::string&, std::string& text) { text += "1"; }, 100);
    log.insertModifier([](const std::string& name, std::string& text) { text = name + text; }, 50);
    log.insertAppender(recorder.appender(), 100);
    log.insertAppender(recorder.appender(), 100);
    log.dispatch("x");
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"luax1", "luax1"}));
}

TEST(LoggerImpl, DisabledLogWritesNothing) {
    logger_impl log("quiet");
    Recorder recorder;
    log.insertAppender(recorder.appender(), 100);
    log.dispatch("x");
    EXPECT_TRUE(recorder.lines.empty());
}

TEST(LoggerImpl, EmptyFunctionThrowsAfterTheEntriesBeforeIt) {
    logger_impl log("test");
    log.setEnabled(true);
    Recorder recorder;
    log.insertAppender(boost::log::Appender(), 100);
    log.insertAppender(recorder.appender(), 50);
    EXPECT_THROW(log.dispatch("x"), boost::bad_function_call);
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"x"});

    logger_impl other("other");
    other.setEnabled(true);
    other.insertModifier(boost::log::Modifier(), 100);
    other.insertAppender(recorder.appender(), 100);
    EXPECT_THROW(other.dispatch("y"), boost::bad_function_call);
    EXPECT_EQ(recorder.lines.size(), 1u);

    log.clearAppenders();
    log.dispatch("z");
    EXPECT_EQ(recorder.lines.size(), 1u);
}

TEST(LogManagerTest, PatternOutputsReachLogsMadeBeforeAndAfter) {
    Recorder recorder;
    LogManager manager;
    manager.setCaching(false, 256);
    Logger before = manager.getLogger("before");
    manager.addAppender("*", recorder.appender(), 100);
    manager.addAppender("lua", recorder.appender("lua-only:"), 100);
    Logger after = manager.getLogger("after");
    Logger lua = manager.getLogger("lua");

    manager.write(before, "1");
    manager.write(after, "2");
    manager.write(lua, "3");
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"1", "2", "lua-only:3", "3"}));
}

TEST(LogManagerTest, GetLoggerReturnsTheSameLogForTheSameName) {
    LogManager manager;
    Logger a = manager.getLogger("debug");
    Logger b = manager.getLogger("debug");
    EXPECT_EQ(a.get(), b.get());
    EXPECT_NE(a.get(), manager.getLogger("Debug").get());
    EXPECT_TRUE(a.isEnabled());
    manager.addEnableRule("*");
    EXPECT_TRUE(manager.getLogger("new").isEnabled());
}

TEST(LogManagerTest, ModifierOfOneLogDoesNotChangeWhatOthersSee) {
    Recorder recorder;
    LogManager manager;
    manager.setCaching(false, 256);
    manager.addAppender("*", recorder.appender(), 100);
    manager.addModifier(
        "lua", [](const std::string&, std::string& text) { text += "!"; }, 100);
    manager.write(manager.getLogger("lua"), "a");
    manager.write(manager.getLogger("debug"), "b");
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"a!", "b"}));
}

TEST(LogManagerTest, The257thCachedLineFlushesEveryLogGroupedByName) {
    Recorder recorder;  // outlives the manager, which flushes into it
    LogManager manager;
    manager.addAppender("*", recorder.appender(), 100);
    Logger warning = manager.getLogger("warning");
    Logger debug = manager.getLogger("debug");

    manager.write(warning, "w0");
    for (int i = 1; i <= 256; ++i) {
        manager.write(debug, "d" + std::to_string(i));
    }
    manager.write(warning, "w1");
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_TRUE(manager.isCaching());

    manager.write(debug, "d257");
    EXPECT_FALSE(manager.isCaching());
    ASSERT_EQ(recorder.lines.size(), 259u);
    // "debug" sorts before "warning": its lines come first, the 257th included.
    EXPECT_EQ(recorder.lines.front(), std::make_pair(std::string("debug"), std::string("d1")));
    EXPECT_EQ(recorder.lines[256].second, "d257");
    EXPECT_EQ(recorder.lines[257].second, "w0");
    EXPECT_EQ(recorder.lines[258].second, "w1");

    for (int i = 0; i < 1000; ++i) {
        manager.write(debug, "late");
        ASSERT_EQ(recorder.lines.size(), 260u + i);
    }
}

TEST(LogManagerTest, TheCacheLimitCountsPerLog) {
    Recorder recorder;  // outlives the manager, which flushes into it
    LogManager manager;
    manager.addAppender("*", recorder.appender(), 100);
    Logger a = manager.getLogger("a");
    Logger b = manager.getLogger("b");
    for (int i = 0; i < 200; ++i) {
        manager.write(a, "a");
        manager.write(b, "b");
    }
    EXPECT_TRUE(manager.isCaching());
    EXPECT_TRUE(recorder.lines.empty());
}

TEST(LogManagerTest, LinesOfUnknownLogsAreDroppedWhileCaching) {
    Recorder recorder;  // outlives the manager, which flushes into it
    LogManager manager;
    manager.addAppender("*", recorder.appender(), 100);
    boost::shared_ptr<logger_impl> stray(new logger_impl("stray"));
    stray->setEnabled(true);
    stray->insertAppender(recorder.appender(), 100);
    manager.write(Logger(stray), "lost");
    manager.setCaching(false, 256);
    EXPECT_TRUE(recorder.lines.empty());
}

TEST(LogManagerTest, DestructionDispatchesWhatIsStillCached) {
    Recorder recorder;
    {
        LogManager manager;
        manager.addAppender("*", recorder.appender(), 100);
        manager.write(manager.getLogger("video"), "v");
        manager.write(manager.getLogger("debug"), "d");
        EXPECT_TRUE(recorder.lines.empty());
    }
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"d", "v"}));
}
