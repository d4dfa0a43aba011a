// The player's display as Direct3D reports it, and the test seam over its mode changes.
#pragma once

#include <vector>

#include <d3d9.h>

#include "d3d9/seams.h"

namespace d3d9 {

// The adapter of display 0: its modes in the formats a device can show, its desktop mode.
// Without a display (no video driver, or one that only draws offscreen) it offers no
// full-screen mode, so the game stays windowed.
AdapterDescription displayAdapter();

// The Direct3D display format of an SDL pixel format; D3DFMT_UNKNOWN for formats a device
// cannot show.
D3DFORMAT displayFormatOf(unsigned sdlPixelFormat);

// Gives back the mode of every device that still holds one, restoring the desktop's mode.
// Also run on exit and on std::terminate once a device went full screen, so a game ending
// through a failure that skips the device's release still gives the display back.
void restoreDesktopModes();

enum class ModeCall {
    SetDisplayMode,  // the full-screen mode of the window
    EnterFullscreen,
    LeaveFullscreen  // the desktop's mode comes back
};

struct RecordedModeCall {
    ModeCall call;
    HWND window;
    UINT width;
    UINT height;
    UINT refreshRate;
};

// While recording is on (every test executable turns it on at start), mode changes are
// recorded instead of made, so no test changes a real display's mode.
void setModeCallRecording(bool on);
bool modeCallRecording();
std::vector<RecordedModeCall> recordedModeCalls();
void clearRecordedModeCalls();

}  // namespace d3d9
