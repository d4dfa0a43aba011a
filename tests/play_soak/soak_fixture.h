// The play stage run for a long stretch of simulated time on random input fed through the
// input script, as the game runs it: the window's messages go to the stage before each frame,
// and the stage the run asks for next (a restart, or the menu after a win or a loss, from
// which the player starts again) is built in place of the old one. Every frame checks the
// car's state for values that are not finite; the resident memory and the log are sampled
// along the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/app_play/play_fixture.h"
#include "tests/play_soak/soak_input.h"

namespace soak {

struct MemorySample {
    double seconds = 0.0;    // simulated
    long kilobytes = 0;      // VmRSS
    long heapKilobytes = 0;  // what the allocator has handed out and not had back
};

struct SoakResult {
    long frames = 0;
    double seconds = 0.0;
    int menuRestarts = 0;     // the pause menu's restart
    int decidedRestarts = 0;  // a key after the win or lose picture
    int wins = 0;
    int losses = 0;
    std::vector<MemorySample> memory;
    std::vector<std::string> faults;      // the first few non-finite values, with their frame
    std::vector<std::string> errorLines;  // log lines that report an error
    double mostOwedTime = 0.0;            // the most simulated time a frame left unstepped
};

// The resident set of this process, in kilobytes; 0 when it cannot be read.
long residentKilobytes();
// The heap in use, in kilobytes.
long heapKilobytes();

// Growth of the samples taken after settle seconds, in kilobytes: the median of their last
// third over the median of their first.
long memoryGrowth(const std::vector<MemorySample>& samples, double settle,
                  long MemorySample::*measure = &MemorySample::kilobytes);

std::string describe(const std::vector<MemorySample>& samples);

class PlaySoak : public play_testing::PlayTest {
protected:
    using PlayTest::PlayTest;

    void SetUp() override;

    // Runs the script of plan (its rows filled in here) for plan.seconds of simulated time.
    SoakResult soak(InputPlan plan, double sampleEvery);

private:
    // The sound bank decodes a sound on its first play and the texture cache loads a picture
    // on its first draw, each kept for the process: the run's memory is measured with every
    // sound and picture the stage plays and shows already held.
    void warmCaches();
    void pumpMessages();
    void checkCar(long frameNumber, SoakResult& result);
    void collectLog(SoakResult& result);
};

}  // namespace soak
