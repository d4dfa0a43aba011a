// Process-wide configuration of the layer (adapters, backend, injected failures) and the
// seams that reach into devices and resources.
#include <array>
#include <atomic>

#include "core/device.h"
#include "core/direct3d.h"
#include "d3d9/display.h"

namespace d3d9 {

namespace {

struct Configuration {
    std::vector<AdapterDescription> adapters;
    bool describedAdapters = false;
    HRESULT createDeviceFailure = D3D_OK;
    BackendFactory backendFactory;
    std::array<int, static_cast<size_t>(ObjectType::Count)> live{};
};

// Read on every null draw: a flag outside the configuration, so the test is one load.
std::atomic<bool> recordingDraws{false};

Configuration& configuration() {
    static Configuration instance;
    return instance;
}

Device* ourDevice(IDirect3DDevice9* device) {
    return dynamic_cast<Device*>(device);
}

}  // namespace

AdapterDescription defaultAdapter() {
    AdapterDescription adapter;
    D3DCAPS9& caps = adapter.caps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    caps.MaxTextureWidth = 8192;
    caps.MaxTextureHeight = 8192;
    caps.MaxSimultaneousTextures = 8;
    caps.MaxTextureBlendStages = 8;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = kStreamCount;
    caps.MaxStreamStride = 255;
    caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
    caps.MaxVertexShaderConst = kShaderConstantCount;
    caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
    static const UINT sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}) {
        for (const auto& size : sizes) {
            adapter.modes[format].push_back({size[0], size[1], 60, format});
        }
    }
    adapter.desktopMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    adapter.depthStencilFormats = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32};
    adapter.textureFormats = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5,
                              D3DFMT_A4R4G4B4, D3DFMT_A8,       D3DFMT_L8,     D3DFMT_A8L8,
                              D3DFMT_DXT1,     D3DFMT_DXT3,     D3DFMT_DXT5,   D3DFMT_A16B16G16R16F,
                              D3DFMT_R32F};
    return adapter;
}

void setAdapters(std::vector<AdapterDescription> adapters) {
    configuration().adapters = std::move(adapters);
}

void setDescribedAdapters(bool on) {
    configuration().describedAdapters = on;
}

std::vector<AdapterDescription> configuredAdapters() {
    const Configuration& current = configuration();
    if (!current.adapters.empty()) {
        return current.adapters;
    }
    return {current.describedAdapters ? defaultAdapter() : displayAdapter()};
}

void failNextCreateDevice(HRESULT result) {
    configuration().createDeviceFailure = result;
}

HRESULT takeCreateDeviceFailure() {
    const HRESULT failure = configuration().createDeviceFailure;
    configuration().createDeviceFailure = D3D_OK;
    return failure;
}

void setBackendFactory(BackendFactory factory) {
    configuration().backendFactory = std::move(factory);
}

std::unique_ptr<Backend> makeBackend() {
    const auto& factory = configuration().backendFactory;
    return factory ? factory() : makeNullBackend();
}

void countLiveObject(ObjectType type, int delta) {
    configuration().live[static_cast<size_t>(type)] += delta;
}

int liveObjects(ObjectType type) {
    return configuration().live[static_cast<size_t>(type)];
}

void scriptCooperativeLevel(IDirect3DDevice9* device, std::vector<HRESULT> results) {
    if (Device* ours = ourDevice(device)) {
        ours->scriptCooperativeLevel(std::move(results));
    }
}

void setDeviceCondition(IDirect3DDevice9* device, HRESULT condition) {
    if (Device* ours = ourDevice(device)) {
        ours->setCondition(condition);
    }
}

void failNextReset(IDirect3DDevice9* device, HRESULT result) {
    if (Device* ours = ourDevice(device)) {
        ours->failNextReset(result);
    }
}

void failNextIndexBufferCreate(IDirect3DDevice9* device, HRESULT result) {
    if (Device* ours = ourDevice(device)) {
        ours->context().nextIndexBufferCreateFailure = result;
    }
}

void failNextIndexBufferLock(IDirect3DDevice9* device, HRESULT result) {
    if (Device* ours = ourDevice(device)) {
        ours->context().nextIndexBufferLockFailure = result;
    }
}

void addResetBlocker(IDirect3DDevice9* device) {
    if (Device* ours = ourDevice(device)) {
        ++ours->context().resetBlockers;
    }
}

void removeResetBlocker(IDirect3DDevice9* device) {
    if (Device* ours = ourDevice(device)) {
        --ours->context().resetBlockers;
    }
}

void setDebugName(IDirect3DResource9* resource, const std::string& name) {
    if (auto* ours = dynamic_cast<ResourceBase*>(resource)) {
        ours->setName(name);
    }
}

std::string debugName(IDirect3DResource9* resource) {
    auto* ours = dynamic_cast<ResourceBase*>(resource);
    return ours != nullptr ? ours->name() : std::string();
}

void setDrawTag(IDirect3DDevice9* device, const std::string& tag) {
    if (Device* ours = ourDevice(device)) {
        ours->context().drawTag = tag;
    }
}

void setDrawRecording(bool on) {
    recordingDraws.store(on, std::memory_order_relaxed);
}

bool drawRecording() {
    return recordingDraws.load(std::memory_order_relaxed);
}

DeviceRecord* deviceRecord(IDirect3DDevice9* device) {
    Device* ours = ourDevice(device);
    return ours != nullptr ? ours->context().backend->record() : nullptr;
}

}  // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    return new d3d9::Direct3D(d3d9::configuredAdapters());
}
