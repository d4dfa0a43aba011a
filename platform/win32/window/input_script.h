// The scripted input of MORVALE_INPUT_SCRIPT, played one frame at a time.
#pragma once

namespace win32::detail {

// Called with each idle turn of the message pump; does nothing without a script.
void playInputScriptFrame();

}  // namespace win32::detail
