// The start-up options of a run, read from the command line once by the entry point and
// copied into the game object.
#pragma once

#include <string>

#include "game/app/command_line.h"

struct GameOptions {
    std::wstring level;   // "levels/" + the level value; empty for the default level
    bool mouse = false;   // mouse drags move the scene camera; the play stage leaves it alone
    bool tga = false;     // textures as ".tga" instead of ".dds"
    bool fps = false;     // frame-rate text, "NO SIGNAL" when no stage was built, the debug queues
    bool camera = false;  // far plane 500, the camera's position, the on-screen log
    std::string effect;   // carried to the play stage; nothing reads it
};

// An option is given as a flag (-fps) or as a pair with any value (fps=1).
bool optionGiven(const CommandLine& commandLine, const char* name);

GameOptions gameOptionsFrom(const CommandLine& commandLine);
