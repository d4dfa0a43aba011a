// The program's entry point: sets up everything that lives for the whole run, runs the game
// until the quit message and tears it down again. It is the only place that tells the player
// about a failure; it then rethrows, so the crash handler writes its report.
#pragma once

#include <windows.h>

// The command line is read through GetCommandLineW; the second and third arguments are not
// used. Returns 0 after a normal run.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
