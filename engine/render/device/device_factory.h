// Prepares and creates the Direct3D 9 device: enumerates the adapters with their modes
// (reported on the "video" channel), chooses the behaviour flags and keeps the present
// parameters that every later reset uses.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <d3d9.h>

#include "win32/com_ptr.h"

namespace kesh {

class DxDeviceFactory {
public:
    struct Adapter {
        D3DCAPS9 caps{};
        // Only formats with at least one mode.
        std::map<D3DFORMAT, std::vector<D3DDISPLAYMODE>> modes;
        D3DADAPTER_IDENTIFIER9 identifier{};
    };

    // direct3d is not owned.
    explicit DxDeviceFactory(IDirect3D9* direct3d);
    ~DxDeviceFactory();
    DxDeviceFactory(const DxDeviceFactory&) = delete;
    DxDeviceFactory& operator=(const DxDeviceFactory&) = delete;

    bool getDisplayMode(UINT adapter, D3DDISPLAYMODE& mode);
    // The first supported candidate with exactly these bits, or 0.
    D3DFORMAT findDepthStencilFormat(UINT adapter, D3DFORMAT adapterFormat,
                                     D3DFORMAT renderTargetFormat, int depthBits, int stencilBits);
    bool selectDepthStencil(int depthBits, int stencilBits);
    // All zero when nothing fits; refresh -1 accepts any rate.
    D3DDISPLAYMODE findModeByResolution(UINT adapter, UINT width, UINT height, int refresh);
    // Any refresh rate is accepted whatever refresh holds; reserved is not read. The present
    // parameters keep the rate the mode was enumerated with: the display offers no other,
    // so a caller must not force one.
    bool selectFullscreen(UINT width, UINT height, int refresh, int reserved);
    // Back to the windowed settings after a full-screen selection: the back buffer follows
    // the window's client area in the desktop's format. The depth/stencil choice stays.
    void selectWindowed();
    // The device for the caller to hold. Throws when Direct3D refuses.
    win32::ComPtr<IDirect3DDevice9> createDevice(HWND window);

    D3DPRESENT_PARAMETERS& presentParameters() { return presentParameters_; }
    DWORD behaviourFlags() const { return behaviourFlags_; }
    D3DDEVTYPE deviceType() const { return deviceType_; }
    bool isFullscreen() const { return fullscreen_; }
    const std::vector<std::unique_ptr<Adapter>>& adapters() const { return adapters_; }

private:
    void enumerateAdapters();
    void initDefaultSettings();

    IDirect3D9* direct3d_;
    D3DDEVTYPE deviceType_ = D3DDEVTYPE_HAL;
    DWORD behaviourFlags_ = 0;
    D3DPRESENT_PARAMETERS presentParameters_{};
    std::vector<std::unique_ptr<Adapter>> adapters_;
    bool fullscreen_ = false;
};

}  // namespace kesh
