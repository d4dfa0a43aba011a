// The front end works on the process-wide manager, whose caching never switches back on, so
// every scenario that depends on the start-up cache runs in a child process of its own.
#include "engine/core/log.h"

#include <win32/seams.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bl = boost::log;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + name + "-" + std::to_string(getpid());
}

// Ends the child process with 0 when the check holds, else with a message and 1.
void finish(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what.c_str());
        std::_Exit(1);
    }
    std::exit(0);
}

void writeLine(bl::Logger& channel, const std::string& text) {
    bl::LogLine line(channel);
    if (line.stream()) {
        *line.stream() << text << std::endl;
    }
}

}  // namespace

TEST(LogFrontEnd, StandardChannelsHaveTheirNames) {
    EXPECT_EQ(bl::logResource()->name(), "resource");
    EXPECT_EQ(bl::logWarning()->name(), "warning");
    EXPECT_EQ(bl::logError()->name(), "error");
    EXPECT_EQ(bl::logDebug()->name(), "debug");
    EXPECT_EQ(bl::logVideo()->name(), "video");
    EXPECT_EQ(bl::logLua()->name(), "lua");
    EXPECT_EQ(bl::logScreen()->name(), "screen");
    EXPECT_TRUE(bl::logDebug().isEnabled());
    EXPECT_EQ(&bl::logDebug(), &bl::logDebug());
    EXPECT_EQ(bl::getLogger("debug").get(), bl::logDebug().get());
}

TEST(LogFrontEnd, PrefixModifierWrapsTheLogName) {
    std::string text = "x\n";
    bl::prefixModifier("lua", text);
    EXPECT_EQ(text, "[lua] x\n");
}

TEST(LogFrontEnd, FileAppenderTruncatesOnceAcrossAllCopies) {
    const std::string path = tempPath("truncate-once.log");
    {
        std::ofstream old(path);
        old << "from an earlier run\n";
    }
    bl::write_to_file appender(path, true);
    bl::write_to_file copy = appender;
    appender("debug", "one\n");
    EXPECT_EQ(readFile(path), "one\n");
    copy("video", "two\n");
    appender("debug", "three");
    EXPECT_EQ(readFile(path), "one\ntwo\nthree");

    bl::write_to_file appending(path, false);
    appending("debug", "\nfour");
    EXPECT_EQ(readFile(path), "one\ntwo\nthree\nfour");
    std::remove(path.c_str());
}

TEST(LogFrontEnd, UnopenableFileLosesTheLineAndTheNextOneAppends) {
    const std::string folder = tempPath("missing-folder");
    const std::string path = folder + "/file.log";
    bl::write_to_file appender(path, true);
    appender("debug", "lost\n");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    {
        std::ofstream kept(path);
        kept << "kept\n";
    }
    appender("debug", "appended\n");
    EXPECT_EQ(readFile(path), "kept\nappended\n");
    std::remove(path.c_str());
    rmdir(folder.c_str());
}

TEST(LogFrontEndProcess, EmptyLineStillReachesTheManager) {
    EXPECT_EXIT(
        {
            std::vector<std::string> seen;
            bl::addLogAppender(
                "empty", [&](const std::string&, const std::string& text) { seen.push_back(text); },
                100);
            bl::flushLogCache();
            bl::Logger channel = bl::getLogger("empty");
            { bl::LogLine line(channel); }
            finish(seen == std::vector<std::string>{""}, "one empty line");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LogFrontEndProcess, LogOptionSetUpSplitsCachedAndLaterLines) {
    const std::string path = tempPath("GameModule.log");
    EXPECT_EXIT(
        {
            std::wstring debugger;
            win32::setDebugOutputSink([&](const std::wstring& text) { debugger += text; });
            writeLine(bl::logVideo(), "cached video");
            writeLine(bl::logDebug(), "cached debug");

            bl::attachDebuggerOutput();
            bl::enableLogs("*");
            bl::attachLogFile("*", path.c_str());
            const bool cachedToDebuggerOnly =
                debugger == L"[debug] cached debug\n[video] cached video\n" &&
                readFile(path).empty();

            debugger.clear();
            {
                bl::LogLine line(bl::logLua());
                if (line.stream())
                    *line.stream() << "x" << std::endl;
            }
            writeLine(bl::logWarning(), "second");
            finish(cachedToDebuggerOnly && debugger == L"[lua] x\n[warning] second\n" &&
                       readFile(path) == "[lua] x\n[warning] second\n",
                   "cached lines to the debugger only, later lines to both");
        },
        ::testing::ExitedWithCode(0), "");
    std::remove(path.c_str());
}

TEST(LogFrontEndProcess, AttachingTheDebuggerFlushesTenCachedLinesGroupedByName) {
    EXPECT_EXIT(
        {
            std::wstring debugger;
            win32::setDebugOutputSink([&](const std::wstring& text) { debugger += text; });
            for (int i = 0; i < 5; ++i) {
                writeLine(bl::logWarning(), "w" + std::to_string(i));
                writeLine(bl::logDebug(), "d" + std::to_string(i));
            }
            bl::attachDebuggerOutput();
            finish(debugger ==
                       L"[debug] d0\n[debug] d1\n[debug] d2\n[debug] d3\n[debug] d4\n"
                       L"[warning] w0\n[warning] w1\n[warning] w2\n[warning] w3\n[warning] w4\n",
                   "ten prefixed lines, debug before warning");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LogFrontEndProcess, LinesStillCachedAtExitAreDispatched) {
    const std::string path = tempPath("at-exit.log");
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            bl::addLogAppender("*", bl::write_to_file(path, true), 100);
            writeLine(bl::logDebug(), "written at exit");
            std::exit(readFile(path).empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(path), "written at exit\n");
    std::remove(path.c_str());
}

TEST(LogFrontEndProcess, ThrowingAppenderLeavesTheLineButNeverTerminates) {
    EXPECT_EXIT(
        {
            bl::addLogAppender(
                "throwing",
                [](const std::string&, const std::string&) {
                    throw std::runtime_error("appender");
                },
                100);
            bl::flushLogCache();
            bl::Logger channel = bl::getLogger("throwing");
            bool passedOn = false;
            try {
                writeLine(channel, "a");
            } catch (const std::runtime_error&) {
                passedOn = true;
            }
            bool unwoundCleanly = false;
            try {
                bl::LogLine line(channel);
                *line.stream() << "while unwinding" << std::endl;
                throw std::logic_error("first");
            } catch (const std::logic_error&) {
                unwoundCleanly = true;
            }
            finish(passedOn && unwoundCleanly, "passed on normally, dropped while unwinding");
        },
        ::testing::ExitedWithCode(0), "");
}
