// Thirty minutes (five in a sanitized build) of simulated play on the null device with random
// input: the car's state stays finite, the resident memory stops growing after the first minute,
// the log reports no error, and the run is restarted several times, through the pause menu and
// after a win or a loss, as a player would.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/play_soak/soak_expectations.h"
#include "tests/play_soak/soak_fixture.h"

namespace {

using soak::PlaySoak;

TEST_F(PlaySoak, RandomPlayThroughSeveralRuns) {
    soak::InputPlan plan;
    plan.seed = soak::kSeed;
    plan.seconds = soak::kSoakSeconds;
    plan.frameSeconds = 1.0 / 60.0;
    std::printf("soak seed %u, %.4f s a frame\n", plan.seed, plan.frameSeconds);
    const soak::SoakResult result = soak(plan, 30.0);
    soak::expectHealthyRun(result, plan, true);
}

}  // namespace
