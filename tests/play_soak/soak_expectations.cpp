#include "tests/play_soak/soak_expectations.h"

#include <cstdio>
#include <string>

#include "game/world/level/level.h"

namespace soak {

void expectHealthyRun(const SoakResult& result, const InputPlan& plan, bool checkMemory,
                      long memorySlackKilobytes) {
    std::printf(
        "soak: %ld frames, %.0f s; restarts %d from the menu, %d after %d wins and "
        "%d losses\n",
        result.frames, result.seconds, result.menuRestarts, result.decidedRestarts, result.wins,
        result.losses);
    std::printf("soak: resident memory\n%s", describe(result.memory).c_str());
    EXPECT_GE(result.seconds, plan.seconds - plan.frameSeconds);

    std::string faults;
    for (const std::string& fault : result.faults) {
        faults += "  " + fault + "\n";
    }
    EXPECT_TRUE(result.faults.empty()) << "seed " << plan.seed << ":\n" << faults;

    std::string lines;
    for (const std::string& line : result.errorLines) {
        lines += "  " + line + "\n";
    }
    EXPECT_TRUE(result.errorLines.empty()) << "seed " << plan.seed << ":\n" << lines;

    // The whole of every frame's time was simulated: nothing dropped by the step limit.
    EXPECT_LT(result.mostOwedTime, Level::kStep * 1.01);

    if (!kFullSoak) {
        return;
    }
    // The race clock alone ends a run every 600 s (and a key after the picture starts the
    // next); the random player also restarts through the pause menu.
    const int runs = static_cast<int>(plan.seconds / 600.0);
    EXPECT_GE(result.menuRestarts, 1) << "seed " << plan.seed;
    EXPECT_GE(result.decidedRestarts, 1) << "seed " << plan.seed;
    EXPECT_GE(result.menuRestarts + result.decidedRestarts, runs) << "seed " << plan.seed;

    if (checkMemory) {
        EXPECT_LE(memoryGrowth(result.memory, kMemorySettleSeconds), memorySlackKilobytes)
            << "seed " << plan.seed << ", samples:\n"
            << describe(result.memory);
    }
}

}  // namespace soak
