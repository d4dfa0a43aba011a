#include <algorithm>

#include <windows.h>

#include "core/device.h"
#include "core/formats.h"

namespace d3d9 {

HRESULT resolvePresentParameters(const AdapterDescription& adapter, HWND focusWindow,
                                 D3DPRESENT_PARAMETERS& parameters) {
    if (parameters.BackBufferCount > 3 || parameters.SwapEffect < D3DSWAPEFFECT_DISCARD ||
        parameters.SwapEffect > D3DSWAPEFFECT_COPY) {
        return D3DERR_INVALIDCALL;
    }
    const HWND window =
        parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : focusWindow;
    if (window == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (parameters.BackBufferCount == 0) {
        parameters.BackBufferCount = 1;
    }
    if (parameters.Windowed) {
        if (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0) {
            RECT client{};
            if (!GetClientRect(window, &client)) {
                return D3DERR_INVALIDCALL;
            }
            // A minimised window has no client area; Direct3D then takes 1 x 1.
            if (parameters.BackBufferWidth == 0) {
                parameters.BackBufferWidth =
                    static_cast<UINT>(std::max<LONG>(1, client.right - client.left));
            }
            if (parameters.BackBufferHeight == 0) {
                parameters.BackBufferHeight =
                    static_cast<UINT>(std::max<LONG>(1, client.bottom - client.top));
            }
        }
        if (parameters.BackBufferFormat == D3DFMT_UNKNOWN) {
            parameters.BackBufferFormat = adapter.desktopMode.Format;
        }
    } else {
        // Full screen needs a mode of that size, format and refresh rate (0: the display
        // chooses), as the display could not show any other.
        const auto modes = adapter.modes.find(parameters.BackBufferFormat);
        if (modes == adapter.modes.end()) {
            return D3DERR_INVALIDCALL;
        }
        const UINT refresh = parameters.FullScreen_RefreshRateInHz;
        const bool found =
            std::any_of(modes->second.begin(), modes->second.end(), [&](const auto& mode) {
                return mode.Width == parameters.BackBufferWidth &&
                       mode.Height == parameters.BackBufferHeight &&
                       (refresh == 0 || mode.RefreshRate == refresh);
            });
        if (!found) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (parameters.EnableAutoDepthStencil) {
        const auto& formats = adapter.depthStencilFormats;
        if (std::find(formats.begin(), formats.end(), parameters.AutoDepthStencilFormat) ==
            formats.end()) {
            return D3DERR_INVALIDCALL;
        }
    }
    return D3D_OK;
}

}  // namespace d3d9
