// The adapter of the player's display, from SDL's display modes.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "d3d9/display.h"
#include "win32/sdl_video.h"

namespace d3d9 {

namespace {

// Drivers that draw into memory only: their one "mode" is the surface they draw into, and
// switching to it would change nothing a player sees.
bool drawsOffscreen(const char* driver) {
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
           std::strcmp(driver, "dummy") == 0;
}

D3DDISPLAYMODE modeOf(const SDL_DisplayMode& mode) {
    return {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h),
            static_cast<UINT>(std::max(0, mode.refresh_rate)), displayFormatOf(mode.format)};
}

void addMode(AdapterDescription& adapter, const D3DDISPLAYMODE& mode) {
    if (mode.Format == D3DFMT_UNKNOWN || mode.Width == 0 || mode.Height == 0) {
        return;
    }
    // Drivers list a mode once per flavour (e.g. interlaced); Direct3D lists it once.
    std::vector<D3DDISPLAYMODE>& modes = adapter.modes[mode.Format];
    const bool known = std::any_of(modes.begin(), modes.end(), [&](const D3DDISPLAYMODE& other) {
        return other.Width == mode.Width && other.Height == mode.Height &&
               other.RefreshRate == mode.RefreshRate;
    });
    if (!known) {
        modes.push_back(mode);
    }
}

}  // namespace

D3DFORMAT displayFormatOf(unsigned sdlPixelFormat) {
    if (sdlPixelFormat == SDL_PIXELFORMAT_ARGB2101010) {
        return D3DFMT_A2R10G10B10;
    }
    // Only the formats Direct3D 9 can show: the channel order is the driver's business.
    switch (SDL_BITSPERPIXEL(sdlPixelFormat)) {
        case 24:
        case 32:
            return SDL_ISPIXELFORMAT_INDEXED(sdlPixelFormat) ? D3DFMT_UNKNOWN : D3DFMT_X8R8G8B8;
        case 16:
            return D3DFMT_R5G6B5;
        case 15:
            return D3DFMT_X1R5G5B5;
        default:
            return D3DFMT_UNKNOWN;
    }
}

AdapterDescription displayAdapter() {
    AdapterDescription adapter = defaultAdapter();
    adapter.modes.clear();
    adapter.description = "Morvale display adapter";
    if (!win32::startSdlVideo()) {
        // No video at all: windows are headless and have the headless desktop.
        adapter.desktopMode = {1024, 768, 0, D3DFMT_X8R8G8B8};
        return adapter;
    }
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        adapter.desktopMode = modeOf(desktop);
        if (adapter.desktopMode.Format == D3DFMT_UNKNOWN) {
            adapter.desktopMode.Format = D3DFMT_X8R8G8B8;
        }
    } else {
        adapter.desktopModeFails = true;
    }
    if (const char* name = SDL_GetDisplayName(0)) {
        adapter.description = name;
    }
    if (!drawsOffscreen(SDL_GetCurrentVideoDriver())) {
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode{};
            if (SDL_GetDisplayMode(0, i, &mode) == 0) {
                addMode(adapter, modeOf(mode));
            }
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return adapter;
}

}  // namespace d3d9
