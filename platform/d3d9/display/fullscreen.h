// A device's hold on its window's full-screen mode: taken by a full-screen creation or
// Reset, given back (the desktop's mode restored) by a windowed Reset and on release.
#pragma once

#include <d3d9.h>

namespace d3d9 {

class FullscreenMode {
public:
    FullscreenMode() = default;
    ~FullscreenMode();
    FullscreenMode(const FullscreenMode&) = delete;
    FullscreenMode& operator=(const FullscreenMode&) = delete;

    // Switches the window to the parameters' mode when they are full screen, else gives a
    // held mode back. Fails when the display cannot show the mode.
    HRESULT apply(HWND window, const D3DPRESENT_PARAMETERS& parameters);
    void restore();
    bool held() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
    // Whether the exit and terminate handlers know the window (and may give its mode back
    // first).
    bool inTable_ = false;
};

}  // namespace d3d9
