// The boundary between the shared device and a backend. The device keeps every state,
// validates every call and builds each draw; a backend only executes what it is given.
// The null backend records; a drawing backend reuses everything else unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <d3d9.h>

#include "d3d9/drawing.h"
#include "d3d9/records.h"

namespace d3d9 {

class ResourceBase;
struct ShaderCode;

struct DrawCall {
    DrawKind kind;
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    INT baseVertex;
    UINT minIndex;
    UINT numVertices;
    UINT startIndex;
    UINT startVertex;
    const DeviceState& state;
    const std::vector<D3DVERTEXELEMENT9>& layout;
    // Changes whenever the layout does: backends key what they derive from it by this.
    std::uint64_t layoutId;
    // Stream 0: the buffer (null for user pointers) and its bytes from the stream offset.
    const ResourceBase* vertexBuffer;
    const BYTE* vertexData;
    UINT vertexDataSize;
    UINT stride;
    // Indexed draws: the indices drawn (startIndex applied), 2 or 4 bytes each.
    const ResourceBase* indexBuffer;
    const BYTE* indexData;
    UINT indexSize;
    UINT indexCount;
    // The tag the layers above set for the draws that follow.
    const std::string& tag;
};

class Backend {
public:
    virtual ~Backend() = default;

    // At creation and after each successful Reset, with the resolved parameters.
    virtual HRESULT configure(HWND window, const D3DPRESENT_PARAMETERS& parameters) = 0;
    virtual void beginScene() {}
    virtual void endScene() {}
    virtual void clear(const RecordedClear& clear, const DeviceState& state) = 0;
    virtual void draw(const DrawCall& call) = 0;
    virtual HRESULT present() = 0;

    // interfacePointer is the interface the caller locked through; for textures offset is
    // the level.
    virtual void resourceLocked(const ResourceBase&, const void* interfacePointer,
                                D3DRESOURCETYPE type, UINT offset, UINT size, DWORD flags) {
        (void)interfacePointer;
        (void)type;
        (void)offset;
        (void)size;
        (void)flags;
    }
    // After Unlock: the resource's bytes changed.
    virtual void resourceUpdated(const ResourceBase&) {}
    virtual void resourceDestroyed(const ResourceBase&) {}
    // A managed texture's level, just unlocked: true when the backend now holds its own copy
    // of it, so the device may let its bytes go; readTextureLevel gives them back (rows
    // `pitch` bytes apart), false when it cannot.
    virtual bool holdTextureLevel(const ResourceBase&, UINT level) {
        (void)level;
        return false;
    }
    virtual bool readTextureLevel(const ResourceBase&, UINT level, BYTE* bytes, UINT pitch) {
        (void)level;
        (void)bytes;
        (void)pitch;
        return false;
    }
    virtual void shaderDestroyed(const ShaderCode&) {}

    // The back buffer as drawn so far; false for backends that do not draw.
    virtual bool readBack(BackBufferImage&) { return false; }
    virtual const DrawingStats* drawingStats() const { return nullptr; }

    // The null backend's record; null for backends that draw.
    virtual DeviceRecord* record() { return nullptr; }
};

using BackendFactory = std::function<std::unique_ptr<Backend>()>;

// The backend for devices created afterwards; an empty factory restores the null backend.
void setBackendFactory(BackendFactory factory);
std::unique_ptr<Backend> makeBackend();

std::unique_ptr<Backend> makeNullBackend();
std::unique_ptr<Backend> makeGlBackend();

}  // namespace d3d9
