// Log lines reuse their thread's streams: what one line did to its stream's state must not
// reach the next, a line written while another is being handed on must not disturb it, and
// a steady line costs no heap. Each scenario runs in a child process, as the process-wide
// manager's caching never switches back on.
#include "engine/core/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <ios>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/allocation_counter.h"

namespace bl = boost::log;

namespace {

void finish(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what.c_str());
        std::_Exit(1);
    }
    std::exit(0);
}

std::vector<std::string>& recorded() {
    static std::vector<std::string> lines;
    return lines;
}

void record(const std::string& channel) {
    bl::addLogAppender(
        channel, [](const std::string&, const std::string& text) { recorded().push_back(text); },
        100);
}

TEST(LogLineStreams, ALineNoAppenderWillReceiveGetsNoStreamOnceCachingHasEnded) {
    EXPECT_EXIT(
        {
            bl::Logger nobody = bl::getLogger("nobody");
            // While caching, an appender attached later still receives the line.
            const bool cached = bl::LogLine(nobody).stream() != nullptr;
            record("heard");
            bl::flushLogCache();
            const bool dropped = bl::LogLine(nobody).stream() == nullptr;
            bl::Logger heard = bl::getLogger("heard");
            const bool given = bl::LogLine(heard).stream() != nullptr;
            finish(cached && dropped && given, "streams only for lines someone receives");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LogLineStreams, ALineStartsWithDefaultFormattingWhateverTheLineBeforeLeft) {
    EXPECT_EXIT(
        {
            record("format");
            bl::flushLogCache();
            bl::Logger channel = bl::getLogger("format");
            {
                bl::LogLine line(channel);
                *line.stream() << std::hex << std::showbase << std::showpos << std::boolalpha
                               << std::setprecision(2) << std::setfill('*') << std::left
                               << std::fixed << 255 << std::endl
                               << std::setw(9);
                line.stream()->setstate(std::ios::badbit);
            }
            {
                bl::LogLine line(channel);
                *line.stream() << 255 << ' ' << 3.14159 << ' ' << std::setw(4) << 7 << ' ' << true
                               << std::endl;
            }
            finish(recorded().size() == 2 && recorded()[1] == "255 3.14159    7 1\n",
                   "second line formatted by default");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LogLineStreams, ALineWrittenWhileAnotherIsHandedOnLeavesItsTextAlone) {
    EXPECT_EXIT(
        {
            record("inner");
            bl::addLogAppender(
                "outer",
                [](const std::string&, const std::string& text) {
                    const std::string before = text;
                    {
                        bl::Logger inner = bl::getLogger("inner");
                        bl::LogLine nested(inner);
                        *nested.stream() << "nested line, long enough to need storage" << std::endl;
                    }
                    recorded().push_back(before == text ? "unchanged" : "changed: " + text);
                },
                100);
            bl::flushLogCache();
            bl::Logger outer = bl::getLogger("outer");
            {
                bl::LogLine line(outer);
                *line.stream() << "outer line, long enough to need storage" << std::endl;
            }
            {
                bl::LogLine line(outer);
                *line.stream() << "second outer line" << std::endl;
            }
            const std::string nested = "nested line, long enough to need storage\n";
            finish(recorded() == std::vector<std::string>{nested, "unchanged", nested, "unchanged"},
                   "outer text unchanged by the nested line");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LogLineStreams, SteadyLinesAllocateNothingEvenAfterAThrowingAppender) {
    EXPECT_EXIT(
        {
            std::size_t characters = 0;
            bool throwing = false;
            bl::addLogAppender(
                "steady",
                [&](const std::string&, const std::string& text) {
                    characters += text.size();
                    if (throwing) {
                        throw std::runtime_error("appender");
                    }
                },
                100);
            bl::flushLogCache();
            bl::Logger channel = bl::getLogger("steady");
            const auto write = [&channel](int frame) {
                bl::LogLine line(channel);
                *line.stream() << "Statics: visible " << frame << ", total " << 1.5f * frame
                               << "; a line longer than any short-string buffer" << std::endl;
            };
            write(100000);  // makes the stream and its text storage
            throwing = true;
            try {
                write(1);
            } catch (const std::runtime_error&) {
            }
            throwing = false;
            allocation_counter::start();
            for (int frame = 2; frame < 100; ++frame) {
                write(frame);
            }
            const std::size_t allocations = allocation_counter::stop();
            finish(allocations == 0 && characters > 0,
                   std::to_string(allocations) + " allocations in 98 lines");
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
