// The choice of drawing backend and its line on the "video" log. Each case runs in a child
// process: the choice and SDL's video driver are process-wide.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/core/log.h"
#include "engine/render/device/drawing_backend.h"

namespace {

std::string videoLog;

void recordVideoLines() {
    boost::log::addLogAppender(
        "video", [](const std::string&, const std::string& text) { videoLog += text; }, 100);
    boost::log::flushLogCache();
}

// _Exit: the GL driver leaves allocations behind that a leak check at exit would report.
[[noreturn]] void finish(bool ok) {
    if (!ok) {
        std::fprintf(stderr, "video log: %s\n", videoLog.c_str());
    }
    std::_Exit(ok ? 0 : 1);
}

}  // namespace

TEST(DrawingBackend, OffscreenMesaDrawsThroughOpenGL) {
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            recordVideoLines();
            const bool drawing = kesh::selectDrawingBackend();
            finish(drawing && videoLog == "Drawing through OpenGL\n");
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DrawingBackend, WithoutOpenGLTheLogSaysWhy) {
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            recordVideoLines();
            const bool drawing = kesh::selectDrawingBackend();
            const std::string start = "OpenGL is not available (";
            const std::string end = "): nothing will be drawn\n";
            finish(!drawing && videoLog.size() > start.size() + end.size() + 1 &&
                   videoLog.compare(0, start.size(), start) == 0 &&
                   videoLog.compare(videoLog.size() - end.size(), end.size(), end) == 0);
        },
        ::testing::ExitedWithCode(0), "");
}
