// Test seams of the Direct3D 9 layer: the adapters Direct3D reports, device loss, the
// records of the null backend and live-object counts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <d3d9.h>

#include "d3d9/records.h"

namespace d3d9 {

struct AdapterDescription {
    std::string driver = "morvale";
    std::string description = "Morvale null adapter";
    std::string deviceName = "\\\\.\\DISPLAY1";
    D3DCAPS9 caps{};
    // Full-screen modes per format, in enumeration order.
    std::map<D3DFORMAT, std::vector<D3DDISPLAYMODE>> modes;
    D3DDISPLAYMODE desktopMode{};
    bool desktopModeFails = false;
    // Formats usable as depth/stencil surfaces; of these, the ones that fail
    // CheckDepthStencilMatch.
    std::vector<D3DFORMAT> depthStencilFormats;
    std::vector<D3DFORMAT> depthStencilMismatches;
    std::vector<D3DFORMAT> textureFormats;
};

// A pure device with shader model 3, common modes in X8R8G8B8 and R5G6B5, an 1024 x 768
// X8R8G8B8 desktop and the usual depth formats.
AdapterDescription defaultAdapter();

// The adapters of every IDirect3D9 created afterwards; an empty list restores the
// display's adapter (see d3d9/display.h), or one default adapter while described adapters
// are the default.
void setAdapters(std::vector<AdapterDescription> adapters);
// Off by default, so the game reports the player's display; every test executable turns it
// on at start, so tests do not depend on the machine's display.
void setDescribedAdapters(bool on);

// The next CreateDevice fails with this result.
void failNextCreateDevice(HRESULT result);

enum class ObjectType {
    Direct3D,
    Device,
    VertexBuffer,
    IndexBuffer,
    Texture,
    Surface,
    VertexDeclaration,
    Shader,
    Count
};
int liveObjects(ObjectType type);

// Each later TestCooperativeLevel takes the next result (D3D_OK, D3DERR_DEVICELOST,
// D3DERR_DEVICENOTRESET) and leaves the device in that condition; after the last one the
// device stays as it is. A lost device fails Reset with D3DERR_DEVICELOST.
void scriptCooperativeLevel(IDirect3DDevice9* device, std::vector<HRESULT> results);
// Puts the device into a condition at once (loss striking mid-frame).
void setDeviceCondition(IDirect3DDevice9* device, HRESULT condition);
// The next Reset fails with this result; D3DERR_DEVICELOST also loses the device again.
void failNextReset(IDirect3DDevice9* device, HRESULT result);
// The next CreateIndexBuffer on the device, or the next Lock of an index buffer made by it,
// fails with this result (a driver out of memory), once.
void failNextIndexBufferCreate(IDirect3DDevice9* device, HRESULT result);
void failNextIndexBufferLock(IDirect3DDevice9* device, HRESULT result);
// Objects outside the device (effects, fonts) that must be released or put into their
// lost state before Reset can succeed.
void addResetBlocker(IDirect3DDevice9* device);
void removeResetBlocker(IDirect3DDevice9* device);

// A name shown in draw records for a texture (e.g. its source file).
void setDebugName(IDirect3DResource9* resource, const std::string& name);
std::string debugName(IDirect3DResource9* resource);
// The tag attached to the draws that follow.
void setDrawTag(IDirect3DDevice9* device, const std::string& tag);

// Whether null devices record their draws, clears and locks (scene, present and reset
// counts are always kept). Off by default, so the game and its benchmarks pay nothing for
// a draw; every test executable turns it on at start.
void setDrawRecording(bool on);
bool drawRecording();

// The bytes the textures of each device may take in video memory (default and managed
// pools); past them CreateTexture answers D3DERR_OUTOFVIDEOMEMORY. 0 restores the device's own.
void setTextureMemory(unsigned long long bytes);

// The record of a device on the null backend; nullptr for any other device.
DeviceRecord* deviceRecord(IDirect3DDevice9* device);

}  // namespace d3d9
