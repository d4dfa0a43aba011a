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
// restart. Allocator noise between samples stays well under a megabyte here; a leak of one
// level's worth per restart, or of a few dozen bytes a frame (18000 frames), is over this.
constexpr long kMemorySlackKilobytes = 2048;
constexpr double kMemorySettleSeconds = 60.0;

void expectHealthyRun(const SoakResult& result, const InputPlan& plan, bool checkMemory);

}  // namespace soak
