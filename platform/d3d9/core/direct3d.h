// IDirect3D9 over a list of described adapters.
#pragma once

#include <vector>

#include "core/com_object.h"
#include "d3d9/seams.h"

namespace d3d9 {

class Direct3D : public ComObject<IDirect3D9> {
public:
    explicit Direct3D(std::vector<AdapterDescription> adapters);

    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                 D3DADAPTER_IDENTIFIER9* identifier) override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                             D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat,
                                   D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

private:
    const AdapterDescription* find(UINT adapter, D3DDEVTYPE type) const;

    std::vector<AdapterDescription> adapters_;
};

// The adapters set through the seam (or the default one), and a pending CreateDevice
// failure, taken once.
std::vector<AdapterDescription> configuredAdapters();
HRESULT takeCreateDeviceFailure();

}  // namespace d3d9
