// The one Direct3D device of the run: its listeners, the lost-device protocol, resizes,
// and helpers that throw on failure. The device is not owned.
#pragma once

#include <list>

#include <d3d9.h>

#include "engine/render/device/device_factory.h"
#include "engine/render/device/device_listener.h"
#include "win32/com_ptr.h"

namespace kesh {

class DxDevice {
public:
    // Throws when the viewport cannot be read.
    DxDevice(IDirect3DDevice9* device, DxDeviceFactory* settings);
    DxDevice(const DxDevice&) = delete;
    DxDevice& operator=(const DxDevice&) = delete;

    // A listener added while the device is live gets OnResetDevice at once (when that
    // throws, the listener is not added); one removed while live gets OnLostDevice at once.
    void addListener(DeviceListener* listener);
    void removeListener(DeviceListener* listener);
    void notifyReset();
    void notifyLost();

    // Once per idle turn of the pump: notices a loss (or a device that needs a reset),
    // resets the device when it can be reset. Throws when a reset fails for any reason but
    // a new loss, which is retried at the next turn.
    void checkCooperativeLevel();
    // A new back-buffer size from the window's client area; ignored in full screen and when
    // the size is unchanged.
    void resize(unsigned width, unsigned height);
    // Resets with the factory's parameters; false when the device was lost again meanwhile.
    bool reset();

    D3DFORMAT backBufferFormat() const;
    D3DFORMAT depthStencilFormat() const;
    // Throws when the device refuses the elements.
    win32::ComPtr<IDirect3DVertexDeclaration9> createVertexDeclaration(
        const D3DVERTEXELEMENT9* elements);

    IDirect3DDevice9* getDevice() const { return device; }
    const D3DVIEWPORT9& getViewport() const { return viewport; }
    bool isLost() const { return lost; }

private:
    void readViewport();
    // false when the device was lost again during the reset.
    bool resetDevice();

    IDirect3DDevice9* device;
    DxDeviceFactory* settings;
    D3DVIEWPORT9 viewport{};
    std::list<DeviceListener*> listeners;
    bool lost = false;
};

// The helpers below throw with their own texts unless the caller names its own failure.
constexpr const wchar_t* kLockWholeIbFailure = L"lock_whole_ib: Failed to lock index buffer";
constexpr const wchar_t* kCreateIndexBufferFailure = L"create_index_buffer: cannot create buffer";

// A scoped lock of a whole index buffer.
class lock_whole_ib {
public:
    lock_whole_ib(IDirect3DIndexBuffer9* buffer, DWORD flags,
                  const wchar_t* failure = kLockWholeIbFailure);
    ~lock_whole_ib();
    lock_whole_ib(const lock_whole_ib&) = delete;
    lock_whole_ib& operator=(const lock_whole_ib&) = delete;

    void* data() const { return data_; }

private:
    IDirect3DIndexBuffer9* buffer_;
    void* data_ = nullptr;
};

// Buffers for the caller to hold; they throw std::runtime_error when the device refuses.
win32::ComPtr<IDirect3DVertexBuffer9> create_vertex_buffer(IDirect3DDevice9* device, UINT length,
                                                           DWORD usage, DWORD fvf, D3DPOOL pool);
win32::ComPtr<IDirect3DIndexBuffer9> create_index_buffer(
    IDirect3DDevice9* device, UINT indexCount, D3DFORMAT format, DWORD usage, D3DPOOL pool,
    const wchar_t* failure = kCreateIndexBufferFailure);
// For quad k: 4k, 4k+1, 4k+2, 4k, 4k+2, 4k+3; 32-bit for an INDEX32 buffer, else 16-bit.
void fillQuadIndices(IDirect3DIndexBuffer9* buffer, UINT quadCount,
                     const wchar_t* lockFailure = kLockWholeIbFailure);
// Binds, draws a triangle list from base vertex 0 and unbinds again.
void drawIndexedTriangles(IDirect3DDevice9* device, IDirect3DVertexDeclaration9* declaration,
                          UINT stride, IDirect3DVertexBuffer9* vertices, UINT minIndex,
                          UINT vertexCount, IDirect3DIndexBuffer9* indices, UINT startIndex,
                          UINT triangleCount);

}  // namespace kesh
