// What the test seam has set, as the layer's own code reads it.
#pragma once

#include "dinput8/test_seam.h"

namespace dinput8 {

// Whether a foreground device of this window may be acquired.
bool inForeground(HWND window);
// The failure injected for this call of the named device; S_OK when none (one flag test
// while no test injects anything).
HRESULT injectedFailure(dinput8_test::Call call, const WCHAR* deviceName);

void objectMade();
void objectDestroyed();

}  // namespace dinput8
