// Virtual joysticks driven by the window layer's input script (MORVALE_INPUT_SCRIPT).
#pragma once

namespace dinput8 {

// Lets the script's "attach", "axis" and "joybutton" lines reach the virtual devices; does
// nothing when no script is set. Called when a DirectInput object is made.
void enableScriptedDevices();

}  // namespace dinput8
