// Steady play frames of the real car touch no heap: after the first frames have made every
// buffer, cache entry and log stream they need, frames with the accelerator held allocate
// nothing.
#include <gtest/gtest.h>

#include <cstddef>

#include "engine/core/log.h"
#include "tests/app_play/play_fixture.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/records_off.h"
#include "win32/window_seams.h"

namespace {

using namespace play_testing;

class PlayAllocations : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        useRealCar();
        // As the game object's construction does: lines go to their appenders at once.
        boost::log::flushLogCache();
    }

    // Counts the allocations of frames and, if there are any, prints where the first came
    // from.
    std::size_t allocationsOf(int frames) {
        allocation_counter::startTracing();
        for (int i = 0; i < frames; ++i) {
            frame();
        }
        const std::size_t count = allocation_counter::stop();
        if (count != 0) {
            allocation_counter::printTraces();
        }
        return count;
    }
};

TEST_F(PlayAllocations, FramesWithTheAcceleratorHeldAllocateNothingOnceWarm) {
    buildAndPlay();
    // No sound starts in these frames (the car's first ones come seconds later): each sound
    // that plays makes its segment state object, by the DirectMusic design.
    morvale_testing::RecordsOff recordsOff;
    win32::simulateKey(window, VK_UP, true);
    for (int i = 0; i < 60; ++i) {
        frame();
    }
    EXPECT_EQ(allocationsOf(120), 0u);
    // They were frames of a car driving.
    EXPECT_GT(probe().level()->getEnginePower(), 0.0f);
    win32::simulateKey(window, VK_UP, false);
}

}  // namespace
