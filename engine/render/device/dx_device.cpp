#include "engine/render/device/dx_device.h"

#include <algorithm>

#include "engine/core/errors.h"
#include "engine/render/log_lines.h"

namespace kesh {

namespace {

using boost::log::logVideo;

}  // namespace

DxDevice::DxDevice(IDirect3DDevice9* device, DxDeviceFactory* settings)
    : device(device), settings(settings) {
    readViewport();
}

void DxDevice::readViewport() {
    const HRESULT result = device->GetViewport(&viewport);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get viewport");
    }
}

void DxDevice::addListener(DeviceListener* listener) {
    const auto added = listeners.insert(listeners.end(), listener);
    if (lost) {
        return;
    }
    try {
        listener->OnResetDevice();
    } catch (...) {
        // The listener's constructor fails with this: kept in the list, it would be called
        // after it is gone.
        listeners.erase(added);
        throw;
    }
}

void DxDevice::removeListener(DeviceListener* listener) {
    listeners.remove(listener);
    if (!lost) {
        listener->OnLostDevice();
    }
}

void DxDevice::notifyReset() {
    // A copy, so a listener that removes itself does not break the walk.
    const std::list<DeviceListener*> current = listeners;
    for (DeviceListener* listener : current) {
        listener->OnResetDevice();
    }
}

void DxDevice::notifyLost() {
    const std::list<DeviceListener*> current = listeners;
    for (DeviceListener* listener : current) {
        listener->OnLostDevice();
    }
}

void DxDevice::checkCooperativeLevel() {
    const HRESULT level = device->TestCooperativeLevel();
    // A device that asks for a reset without having reported the loss is lost all the same:
    // its listeners must let go of their resources before the reset.
    if ((level == D3DERR_DEVICELOST || level == D3DERR_DEVICENOTRESET) && !lost) {
        writeLine(logVideo(), "DxDevice: Device lost");
        notifyLost();
        lost = true;
    }
    if (!lost) {
        return;
    }
    if (device->TestCooperativeLevel() != D3DERR_DEVICENOTRESET) {
        return;
    }
    writeLine(logVideo(), "DxDevice: Reseting device");
    if (!resetDevice()) {
        return;
    }
    notifyReset();
    writeLine(logVideo(), "DxDevice: Device restored");
    lost = false;
    readViewport();
}

bool DxDevice::resetDevice() {
    const HRESULT result = device->Reset(&settings->presentParameters());
    if (result == D3DERR_DEVICELOST) {
        return false;
    }
    if (FAILED(result)) {
        throwDxError(result, L"DxDevice: Device reset failed");
    }
    return true;
}

void DxDevice::resize(unsigned width, unsigned height) {
    D3DPRESENT_PARAMETERS& parameters = settings->presentParameters();
    // Full screen keeps its mode whatever the window does.
    if (!parameters.Windowed) {
        return;
    }
    if (parameters.BackBufferWidth == width && parameters.BackBufferHeight == height) {
        writeLine(logVideo(), "resize rejected, backbuffer is (", width, ", ", height, ")");
        return;
    }
    notifyLost();
    lost = true;
    parameters.BackBufferWidth = 0;
    parameters.BackBufferHeight = 0;
    if (!reset()) {
        return;  // lost meanwhile: the protocol resets it at a later idle turn
    }
    notifyReset();
    lost = false;
}

bool DxDevice::reset() {
    writeLine(logVideo(), "DxDevice: Performing 'device reset'");
    if (!resetDevice()) {
        return false;
    }
    writeLine(logVideo(), "DxDevice: Device restored");
    readViewport();
    return true;
}

D3DFORMAT DxDevice::backBufferFormat() const {
    return settings->presentParameters().BackBufferFormat;
}

D3DFORMAT DxDevice::depthStencilFormat() const {
    return settings->presentParameters().AutoDepthStencilFormat;
}

win32::ComPtr<IDirect3DVertexDeclaration9> DxDevice::createVertexDeclaration(
    const D3DVERTEXELEMENT9* elements) {
    win32::ComPtr<IDirect3DVertexDeclaration9> declaration;
    const HRESULT result = device->CreateVertexDeclaration(elements, declaration.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to create vertex declaration");
    }
    return declaration;
}

}  // namespace kesh
