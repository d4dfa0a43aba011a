// The counter of the last frame that drew a run's scene, which the next frame's delta is
// measured from. The game keeps one across its play stages (see GameStage).
#pragma once

#include <cstdint>

struct PreviousFrame {
    bool known = false;
    std::int64_t count = 0;
};
