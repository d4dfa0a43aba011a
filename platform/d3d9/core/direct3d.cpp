#include "core/direct3d.h"

#include <algorithm>
#include <cstring>

#include "core/device.h"
#include "core/formats.h"

namespace d3d9 {

namespace {

void copyText(char* target, size_t capacity, const std::string& text) {
    const size_t length = std::min(capacity - 1, text.size());
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

bool contains(const std::vector<D3DFORMAT>& formats, D3DFORMAT format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

}  // namespace

Direct3D::Direct3D(std::vector<AdapterDescription> adapters)
    : ComObject(ObjectType::Direct3D), adapters_(std::move(adapters)) {}

const AdapterDescription* Direct3D::find(UINT adapter, D3DDEVTYPE type) const {
    if (adapter >= adapters_.size() || type != D3DDEVTYPE_HAL) {
        return nullptr;
    }
    return &adapters_[adapter];
}

UINT Direct3D::GetAdapterCount() {
    return static_cast<UINT>(adapters_.size());
}

HRESULT Direct3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
    const AdapterDescription* description = find(adapter, D3DDEVTYPE_HAL);
    if (description == nullptr || identifier == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *identifier = D3DADAPTER_IDENTIFIER9();
    copyText(identifier->Driver, sizeof identifier->Driver, description->driver);
    copyText(identifier->Description, sizeof identifier->Description, description->description);
    copyText(identifier->DeviceName, sizeof identifier->DeviceName, description->deviceName);
    return D3D_OK;
}

UINT Direct3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
    const AdapterDescription* description = find(adapter, D3DDEVTYPE_HAL);
    if (description == nullptr) {
        return 0;
    }
    const auto modes = description->modes.find(format);
    return modes == description->modes.end() ? 0 : static_cast<UINT>(modes->second.size());
}

HRESULT Direct3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                   D3DDISPLAYMODE* displayMode) {
    const AdapterDescription* description = find(adapter, D3DDEVTYPE_HAL);
    if (description == nullptr || displayMode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const auto modes = description->modes.find(format);
    if (modes == description->modes.end() || mode >= modes->second.size()) {
        return D3DERR_INVALIDCALL;
    }
    *displayMode = modes->second[mode];
    return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    const AdapterDescription* description = find(adapter, D3DDEVTYPE_HAL);
    if (description == nullptr || mode == nullptr || description->desktopModeFails) {
        return D3DERR_INVALIDCALL;
    }
    *mode = description->desktopMode;
    return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    const AdapterDescription* description = find(adapter, type);
    if (description == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (usage & D3DUSAGE_DEPTHSTENCIL) {
        const bool usable =
            (resourceType == D3DRTYPE_SURFACE || resourceType == D3DRTYPE_TEXTURE) &&
            contains(description->depthStencilFormats, checkFormat);
        return usable ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    if (resourceType == D3DRTYPE_TEXTURE || resourceType == D3DRTYPE_SURFACE) {
        return contains(description->textureFormats, checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT,
                                         D3DFORMAT depthStencilFormat) {
    const AdapterDescription* description = find(adapter, type);
    if (description == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const bool matches = contains(description->depthStencilFormats, depthStencilFormat) &&
                         !contains(description->depthStencilMismatches, depthStencilFormat);
    return matches ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    const AdapterDescription* description = find(adapter, type);
    if (description == nullptr || caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *caps = description->caps;
    caps->AdapterOrdinal = adapter;
    caps->DeviceType = type;
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                               DWORD behaviourFlags, D3DPRESENT_PARAMETERS* parameters,
                               IDirect3DDevice9** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    const AdapterDescription* description = find(adapter, type);
    if (description == nullptr || parameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const HRESULT injected = takeCreateDeviceFailure();
    if (FAILED(injected)) {
        return injected;
    }
    // Exactly one kind of vertex processing; a pure device needs hardware processing and
    // an adapter that offers it.
    const DWORD processing =
        behaviourFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                          D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
        return D3DERR_INVALIDCALL;
    }
    if ((behaviourFlags & D3DCREATE_PUREDEVICE) &&
        (processing != D3DCREATE_HARDWARE_VERTEXPROCESSING ||
         !(description->caps.DevCaps & D3DDEVCAPS_PUREDEVICE))) {
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS resolved = *parameters;
    HRESULT result = resolvePresentParameters(*description, focusWindow, resolved);
    if (FAILED(result)) {
        return result;
    }
    std::unique_ptr<Backend> backend = makeBackend();
    const HWND window = resolved.hDeviceWindow != nullptr ? resolved.hDeviceWindow : focusWindow;
    result = backend->configure(window, resolved);
    if (FAILED(result)) {
        return result;
    }
    auto* created =
        new Device(this, *description, focusWindow, behaviourFlags, resolved, std::move(backend));
    result = created->applyDisplayMode();
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *parameters = resolved;
    *device = created;
    return D3D_OK;
}

}  // namespace d3d9
