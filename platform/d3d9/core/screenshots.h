// Pictures of the back buffer at chosen Presents, for runs of the whole game from outside:
// MORVALE_SCREENSHOT_PRESENTS lists Present numbers (counted from 1 over the process, comma
// separated), MORVALE_SCREENSHOT_DIR the folder ("." when unset); each becomes
// "present_<number>.png". Nothing happens while the list is unset.
#pragma once

#include <d3d9.h>

namespace d3d9 {

// Called by Present before the buffers swap.
void noteScreenshotPresent(IDirect3DDevice9* device);

}  // namespace d3d9
