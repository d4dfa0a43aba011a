#include "core/device.h"
#include "core/screenshots.h"

#include <algorithm>

#include "win32/window_seams.h"

namespace d3d9 {

Device::Device(IDirect3D9* direct3d, AdapterDescription adapter, HWND focusWindow,
               DWORD behaviourFlags, const D3DPRESENT_PARAMETERS& parameters,
               std::unique_ptr<Backend> backend)
    : ComObject(ObjectType::Device),
      context_(std::make_shared<DeviceContext>()),
      direct3d_(direct3d),
      adapter_(std::move(adapter)),
      focusWindow_(focusWindow),
      behaviourFlags_(behaviourFlags),
      parameters_(parameters) {
    context_->device = this;
    context_->backend = std::move(backend);
    context_->caps = adapter_.caps;
    context_->textureFormats = adapter_.textureFormats;
    direct3d_->AddRef();
    setDefaultState(state_, parameters_.EnableAutoDepthStencil != 0, parameters_.BackBufferWidth,
                    parameters_.BackBufferHeight);
    refreshLayout();
    win32::setBackBufferSize(deviceWindow(), static_cast<int>(parameters_.BackBufferWidth),
                             static_cast<int>(parameters_.BackBufferHeight));
}

Device::~Device() {
    // Back in its windowed size, the window would keep the last frame at the mode's size,
    // cropped (behind a failure's message box, say): it shows it again, scaled to fit.
    if (fullscreen_.held()) {
        const HWND window = deviceWindow();
        fullscreen_.restore();
        win32::awaitWindowedSize(window);
        context_->backend->present();
    }
    win32::setBackBufferSize(deviceWindow(), 0, 0);
    unbindAll();
    context_->device = nullptr;
    direct3d_->Release();
}

void Device::scriptCooperativeLevel(std::vector<HRESULT> results) {
    scriptedConditions_.assign(results.begin(), results.end());
}

HRESULT Device::TestCooperativeLevel() {
    if (!scriptedConditions_.empty()) {
        condition_ = scriptedConditions_.front();
        scriptedConditions_.pop_front();
    }
    return condition_;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (parameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (nextResetFailure_ != D3D_OK) {
        const HRESULT failure = nextResetFailure_;
        nextResetFailure_ = D3D_OK;
        condition_ = failure == D3DERR_DEVICELOST ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
        return failure;
    }
    if (condition_ == D3DERR_DEVICELOST) {
        return D3DERR_DEVICELOST;
    }
    // Bindings go first, so a resource the caller released but left bound does not count
    // as alive. As Direct3D 9: everything in the default pool (and every effect or font not
    // in its lost state) must be gone, and a failed Reset leaves the device needing one.
    restoreDefaults();
    if (context_->defaultPoolResources > 0 || context_->resetBlockers > 0) {
        condition_ = D3DERR_DEVICENOTRESET;
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS resolved = *parameters;
    HRESULT result = resolvePresentParameters(adapter_, focusWindow_, resolved);
    const HWND window = resolved.hDeviceWindow != nullptr ? resolved.hDeviceWindow : focusWindow_;
    if (SUCCEEDED(result)) {
        result = fullscreen_.apply(window, resolved);
    }
    if (SUCCEEDED(result)) {
        result = context_->backend->configure(window, resolved);
    }
    if (FAILED(result)) {
        condition_ = D3DERR_DEVICENOTRESET;
        return result;
    }
    *parameters = resolved;
    parameters_ = resolved;
    win32::setBackBufferSize(window, static_cast<int>(resolved.BackBufferWidth),
                             static_cast<int>(resolved.BackBufferHeight));
    restoreDefaults();
    inScene_ = false;
    condition_ = D3D_OK;
    if (DeviceRecord* record = context_->backend->record()) {
        ++record->resets;
    }
    return D3D_OK;
}

HRESULT Device::GetDirect3D(IDirect3D9** direct3d) {
    if (direct3d == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *direct3d = direct3d_;
    direct3d_->AddRef();
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *caps = adapter_.caps;
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (lost()) {
        return D3D_OK;
    }
    if (inScene_) {
        return D3DERR_INVALIDCALL;
    }
    inScene_ = true;
    context_->backend->beginScene();
    if (DeviceRecord* record = context_->backend->record()) {
        ++record->beginScenes;
    }
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (lost()) {
        return D3D_OK;
    }
    if (!inScene_) {
        return D3DERR_INVALIDCALL;
    }
    inScene_ = false;
    context_->backend->endScene();
    if (DeviceRecord* record = context_->backend->record()) {
        ++record->endScenes;
    }
    return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD stencil) {
    if (lost()) {
        return D3D_OK;
    }
    if ((count != 0 && rects == nullptr) || flags == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !parameters_.EnableAutoDepthStencil) {
        return D3DERR_INVALIDCALL;
    }
    if (z < 0.0f || z > 1.0f) {
        return D3DERR_INVALIDCALL;
    }
    RecordedClear clear{count, {}, flags, color, z, stencil};
    if (count != 0) {
        clear.rects.assign(rects, rects + count);
    }
    context_->backend->clear(clear, state_);
    return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
    if (lost()) {
        return D3DERR_DEVICELOST;
    }
    if (inScene_) {
        return D3DERR_INVALIDCALL;
    }
    if (DeviceRecord* record = context_->backend->record()) {
        ++record->presents;
    }
    noteScreenshotPresent(this);
    return context_->backend->present();
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0 ||
        viewport->X + viewport->Width > parameters_.BackBufferWidth ||
        viewport->Y + viewport->Height > parameters_.BackBufferHeight || viewport->MinZ < 0.0f ||
        viewport->MaxZ > 1.0f || viewport->MinZ > viewport->MaxZ) {
        return D3DERR_INVALIDCALL;
    }
    state_.viewport = *viewport;
    state_.renderStatesVersion = nextStateVersion();
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *viewport = state_.viewport;
    return D3D_OK;
}

void Device::unbindAll() {
    auto release = [](IUnknown* object) {
        if (object != nullptr) {
            object->Release();
        }
    };
    for (auto* texture : state_.textures) {
        release(texture);
    }
    for (auto& stream : state_.streams) {
        release(stream.buffer);
    }
    release(state_.indices);
    release(state_.declaration);
    release(state_.vertexShader);
    release(state_.pixelShader);
}

void Device::restoreDefaults() {
    unbindAll();
    setDefaultState(state_, parameters_.EnableAutoDepthStencil != 0, parameters_.BackBufferWidth,
                    parameters_.BackBufferHeight);
    refreshLayout();
}

}  // namespace d3d9
