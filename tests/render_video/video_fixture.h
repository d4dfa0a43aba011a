// The shared services over the null device, with the performance counter in the test's hands
// (one tick a millisecond, starting at 0) and ".rs" files written into the art folder.
#pragma once

#include <d3d9/seams.h>
#include <win32/seams.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/render_video/rs_files.h"
#include "tests/support/log_capture.h"

namespace video_testing {

class VideoTest : public kesh::testing::QuadsTest {
protected:
    explicit VideoTest(morvale_testing::DeviceKind kind = morvale_testing::DeviceKind::Null,
                       int width = 320, int height = 240)
        : QuadsTest(kind, width, height) {}

    void SetUp() override {
        QuadsTest::SetUp();
        previousSource = win32::setPerformanceCounterSource([this] { return now; });
        previousFrequency = win32::setPerformanceFrequency(1000);
        morvale_testing::captureLog({"debug", "screen"});
    }
    void TearDown() override {
        win32::setPerformanceFrequency(previousFrequency);
        win32::setPerformanceCounterSource(previousSource);
        QuadsTest::TearDown();
    }

    // Writes the video below the art folder; returns its full path.
    std::wstring writeVideo(const std::string& name, const Bytes& bytes) {
        writeArt("video/" + name, bytes);
        return kesh::toWide(artRoot() + "video/" + name);
    }
    std::string scratch() const { return artRoot() + "scratch.png"; }

    // count frames of 4 x 4 pixels, each of its own colour.
    std::vector<Bytes> colouredFrames(int count) {
        std::vector<Bytes> frames;
        for (int i = 0; i < count; ++i) {
            frames.push_back(solidPng(4, 4, 0xFF000000u | (0x0A0B0Cu * (i + 1)), scratch()));
        }
        return frames;
    }

    static std::vector<std::string> debugLines() { return morvale_testing::linesOf("debug"); }
    static std::vector<std::string> screenLines() { return morvale_testing::linesOf("screen"); }
    static long loadLines() {
        const std::vector<std::string> lines = debugLines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("  LOAD: ", 0) == 0;
        });
    }
    static bool logged(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    LONGLONG now = 0;

private:
    win32::CounterSource previousSource;
    LONGLONG previousFrequency = 0;
};

}  // namespace video_testing
