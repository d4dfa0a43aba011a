// What a soak of the play stage must show, shared by the soaks of both backends.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/play_soak/soak_fixture.h"

namespace soak {

// Chosen once; printed by every soak so that a failure can be run again as it happened.
constexpr std::uint32_t kSeed = 20261209;

// Nine of the level's fixed steps, for soaks whose frames cost too much to run at the game's
// own rate: every frame's time is still stepped (the level steps at most ten a frame), and
// a frame's input lands within a tenth of a second of the script's time.
constexpr double kLongFrameSeconds = 0.1;

// A run may build its stage a few more times (a restart) but holds nothing per frame or per
// restart. The medians of the first and last ten settled minutes differ by well under a
// megabyte on either device; a leak of one level's worth per restart, or of a few dozen bytes
// a frame (18000 frames at the longest step), is over this.
constexpr long kMemorySlackKilobytes = 2048;
constexpr double kMemorySettleSeconds = 60.0;
// Drawn through OpenGL, the driver (Mesa's llvmpipe) fills caches of its own under the draws
// for the whole run: a heap profile of ten minutes against one of thirty puts some 3 MB more
// in its allocations and none in the game's. The game's share is held to the slack above by
// the null device's soak.
constexpr long kGlMemorySlackKilobytes = 6144;

#if defined(__SANITIZE_ADDRESS__)
// A sanitized build runs three to five times slower and its allocator holds freed memory
// back, so resident memory tells nothing there: a short soak checks the car's state and the
// log only.
constexpr bool kFullSoak = false;
constexpr double kSoakSeconds = 5.0 * 60.0;
#else
constexpr bool kFullSoak = true;
constexpr double kSoakSeconds = 30.0 * 60.0;
#endif

// The car stayed finite, the log reported no error and every frame's time was stepped; in a
// full soak also the resident memory stayed flat after its first minute and the run was
// restarted through the pause menu and after a win or a loss. Without checkMemory the
// samples are only printed. Memory is compared by the medians of the settled samples' first
// and last thirds, each sampled once the allocator has handed back what it keeps free.
void expectHealthyRun(const SoakResult& result, const InputPlan& plan, bool checkMemory,
                      long memorySlackKilobytes = kMemorySlackKilobytes);

}  // namespace soak
