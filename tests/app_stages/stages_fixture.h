// The shell's test art over the null device, with the performance counter in the test's
// hands (one tick a millisecond, from 0), ".rs" videos written on demand and the exit
// picture in the atlas.
#pragma once

#include <win32/seams.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/core/strings.h"
#include "tests/app_shell/shell_fixture.h"
#include "tests/render_video/rs_files.h"
#include "tests/support/art_files.h"

namespace stages_testing {

class StagesTest : public shell_testing::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        previousSource = win32::setPerformanceCounterSource([this] { return now; });
        previousFrequency = win32::setPerformanceFrequency(1000);
        std::ifstream in(artRoot() + "texture/hi/gui/shell.tai");
        std::stringstream index;
        index << in.rdbuf() << "menu_background_exit gui/menu_background_exit 0 0 1 1\n";
        writeArt("texture/hi/gui/shell.tai", index.str());
        writeArt("texture/hi/gui/menu_background_exit.dds",
                 morvale_testing::solidDds(4, 4, 0xFF808080));
        known.push_back("menu_background_exit");
        drainQuits();
    }
    void TearDown() override {
        win32::setPerformanceFrequency(previousFrequency);
        win32::setPerformanceCounterSource(previousSource);
        ShellTest::TearDown();
    }

    std::wstring guiFolder() const { return kesh::toWide(artRoot() + "texture/hi/gui/"); }

    std::wstring writeVideo(const std::string& name, int frames) {
        std::vector<video_testing::Bytes> images;
        for (int i = 0; i < frames; ++i) {
            images.push_back(morvale_testing::solidDds(4, 4, 0xFF000000u | (0x010203u * i)));
        }
        writeArt("video/" + name, video_testing::rsFile(images));
        return kesh::toWide(artRoot() + "video/" + name);
    }

    // Whether a quit message waits; takes every waiting message off the queue.
    static bool drainQuits() {
        bool quit = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quit = quit || message.message == WM_QUIT;
        }
        return quit;
    }

    LONGLONG now = 0;

private:
    win32::CounterSource previousSource;
    LONGLONG previousFrequency = 0;
};

}  // namespace stages_testing
