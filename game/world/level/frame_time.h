// The play stage's clock as the level sees it each frame.
#pragma once

struct FrameTime {
    double time = 0.0;   // seconds on the play stage's clock
    double delta = 0.0;  // seconds since the previous frame
};
