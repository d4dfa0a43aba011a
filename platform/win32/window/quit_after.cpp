#include "window/quit_after.h"

#include <cstdlib>

#include "win32/user.h"
#include "win32/window_seams.h"
#include "window/input_script.h"

namespace {

// Turns still to go before the quit; 0 when no quit is asked for.
long& turnsLeft() {
    static long turns = [] {
        const char* text = std::getenv("MORVALE_QUIT_AFTER_FRAMES");
        const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
        return value > 0 ? value : 0;
    }();
    return turns;
}

}  // namespace

namespace win32 {

void postQuitAfterIdleTurns(long turns) {
    turnsLeft() = turns > 0 ? turns : 0;
}

namespace detail {

void noteIdleTurn() {
    advanceFrameClock();
    playInputScriptFrame();
    long& turns = turnsLeft();
    if (turns > 0 && --turns == 0) {
        PostQuitMessage(0);
    }
}

}  // namespace detail
}  // namespace win32
