// Random input for long runs of the play stage, written as an input script: a player who
// drives with the arrow keys and the handbrake, switches the view, opens and closes the map,
// pauses, reads the help page and now and then restarts through the pause menu.
#pragma once

#include <cstdint>
#include <string>

namespace soak {

struct Point {
    int x = 0;
    int y = 0;
};

struct InputPlan {
    std::uint32_t seed = 0;
    double seconds = 0.0;       // how long the script runs
    double frameSeconds = 0.0;  // simulated time of one frame
    Point restartRow;           // the pause menu's rows, in window pixels
    Point continueRow;
};

struct Script {
    std::string text;
    int restartsAsked = 0;  // restarts clicked in the pause menu
    long frames = 0;        // the frame of the last event
};

// The same plan always gives the same script.
Script randomScript(const InputPlan& plan);

}  // namespace soak
