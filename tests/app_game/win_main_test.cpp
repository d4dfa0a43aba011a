// The entry point run in this process: its start-up lines, the posted quit ending in
// "Successfull exit", and the failure handlers' boxes with the exception passed on.
#include <d3d9/seams.h>
#include <gtest/gtest.h>
#include <win32/seams.h>
#include <win32/window_seams.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/stream_error.h"
#include "engine/core/strings.h"
#include "game/app/win_main.h"

namespace {

// Lines of the "debug" channel, the start-up cache flushed; the appender stays for the rest
// of the process.
std::vector<std::string>& debugLines() {
    static std::vector<std::string> lines;
    static const bool attached = [] {
        boost::log::addLogAppender(
            "debug", [](const std::string&, const std::string& text) { lines.push_back(text); }, 0);
        return true;
    }();
    (void)attached;
    boost::log::flushLogCache();
    return lines;
}

class WinMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        debugLines().clear();
        savedBinders = kesh::LuaBinderRegistry::instance();
        // A program path two folders below the generated art.
        previousLine = win32::overrideCommandLine(L"\"" + kesh::toWide(MORVALE_TEST_ART_DIR) +
                                                  L"../build/bin/morvale\" -fps");
        previousHandler = win32::setMessageBoxHandler([this](const win32::MessageBoxCall& call) {
            boxes.push_back({call.text, call.caption});
            return IDOK;
        });
        win32::useWindowBackend(win32::WindowBackendKind::Headless);
    }
    void TearDown() override {
        win32::postQuitAfterIdleTurns(0);
        win32::setMessageBoxHandler(previousHandler);
        win32::overrideCommandLine(previousLine);
        win32::resetWindowSystem();
        d3d9::setAdapters({});
        kesh::LuaBinderRegistry::instance() = savedBinders;
    }

    int run() { return WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL); }

    // A failure of the game's start-up, from its first Lua binder.
    template <class Failure>
    void failInStartUp(Failure failure) {
        static Failure thrown = failure;
        thrown = failure;
        kesh::LuaBinderRegistry::add([](lua_State*) { throw thrown; }, 0);
    }

    std::vector<win32::RecordedMessageBox> boxes;

private:
    std::vector<kesh::LuaBinderEntry> savedBinders;
    std::optional<std::wstring> previousLine;
    win32::MessageBoxHandler previousHandler;
};

TEST_F(WinMainTest, APostedQuitEndsTheRunWithSuccessfullExit) {
    win32::postQuitAfterIdleTurns(5);
    EXPECT_EQ(run(), 0);
    const std::vector<std::string>& lines = debugLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "  -------------- START --------------\n");
    EXPECT_EQ(lines[1].rfind("Executable path: ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("Current path   : ", 0), 0u);
    EXPECT_EQ(lines[3], "proc_art path   : " + std::string(MORVALE_TEST_ART_DIR) +
                            "../build/bin/../../proc_art/\n");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Activating stage: 2\n"), lines.end());
    EXPECT_EQ(lines.back(), "Successfull exit\n");
}

TEST_F(WinMainTest, WithoutAFullScreenModeTheGameWarnsOnceAndRunsWindowed) {
    d3d9::AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.modes.clear();
    d3d9::setAdapters({adapter});
    win32::postQuitAfterIdleTurns(2);
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Fullscreen mode selection failed. Trying to use windowed mode.");
    EXPECT_EQ(boxes[0].caption, L"Warning");
}

TEST_F(WinMainTest, AMissingDepthFormatEndsTheRunWithARuntimeErrorBox) {
    d3d9::AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.depthStencilFormats = {D3DFMT_D16};
    d3d9::setAdapters({adapter});
    EXPECT_THROW(run(), std::runtime_error);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              L"Application terminating: Cannot find compatible deth/stencil surface");
    EXPECT_EQ(boxes[0].caption, L"std::runtime_error");
    ASSERT_FALSE(debugLines().empty());
    EXPECT_EQ(debugLines().back(),
              "Application terminating: Cannot find compatible deth/stencil surface\n");
}

TEST_F(WinMainTest, AStreamErrorShowsItsOwnText) {
    failInStartUp(kesh::stream::error(1));
    EXPECT_THROW(run(), kesh::stream::error);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, kesh::stream::error::text(1));
    EXPECT_EQ(boxes.back().caption, L"stream::error");
}

TEST_F(WinMainTest, AnyOtherStandardExceptionShowsItsText) {
    failInStartUp(std::logic_error("cast failed"));
    EXPECT_THROW(run(), std::logic_error);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, L"Application terminating: cast failed");
    EXPECT_EQ(boxes.back().caption, L"std::exception");
}

TEST_F(WinMainTest, AnUnknownExceptionIsAFatalError) {
    failInStartUp(42);
    EXPECT_THROW(run(), int);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, L"Application terminating: Unknown exception");
    EXPECT_EQ(boxes.back().caption, L"Fatal error");
    ASSERT_FALSE(debugLines().empty());
    EXPECT_EQ(debugLines().back(), "Application terminating: Unknown exception\n");
}

}  // namespace
