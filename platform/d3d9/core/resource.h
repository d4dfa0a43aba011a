// What every resource shares: its device's context (which outlives the device while
// resources remain), its pool and usage, and a name for records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <d3d9.h>

#include "core/backend.h"

namespace d3d9 {

struct DeviceContext {
    IDirect3DDevice9* device = nullptr;  // null once the device is gone
    std::unique_ptr<Backend> backend;
    D3DCAPS9 caps{};
    std::vector<D3DFORMAT> textureFormats;
    int defaultPoolResources = 0;
    // Bytes of the textures in video memory (default and managed pools).
    std::uint64_t textureBytes = 0;
    int resetBlockers = 0;
    std::string drawTag;
    // Injected by tests: the next index buffer's creation or lock fails with these.
    HRESULT nextIndexBufferCreateFailure = D3D_OK;
    HRESULT nextIndexBufferLockFailure = D3D_OK;
};

class ResourceBase {
public:
    ResourceBase(std::shared_ptr<DeviceContext> context, D3DPOOL pool, DWORD usage);
    virtual ~ResourceBase();
    ResourceBase(const ResourceBase&) = delete;
    ResourceBase& operator=(const ResourceBase&) = delete;

    D3DPOOL pool() const { return pool_; }
    DWORD usage() const { return usage_; }
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    Backend& backend() const { return *context_->backend; }
    DeviceContext& context() const { return *context_; }
    HRESULT deviceOf(IDirect3DDevice9** device) const;

private:
    std::shared_ptr<DeviceContext> context_;
    D3DPOOL pool_;
    DWORD usage_;
    std::string name_;
};

// CPU storage of a buffer with Direct3D's lock rules.
//
// DISCARD hands out a block other than the one the last lock wrote, zeroed. Draws read the
// storage while they are made (the null backend copies, the gl backend uploads at unlock),
// so once the buffer is unlocked the previous block is read by nobody and the two blocks
// take turns: a dynamic buffer discarded every frame allocates only on its first discard.
class BufferData {
public:
    explicit BufferData(UINT size);
    BufferData(const BufferData&) = delete;
    BufferData& operator=(const BufferData&) = delete;

    HRESULT lock(UINT offset, UINT size, DWORD flags, bool dynamic, void** data);
    HRESULT unlock();
    bool locked() const { return locks_ > 0; }
    const BYTE* bytes() const { return storage_.data(); }
    UINT size() const { return static_cast<UINT>(storage_.size()); }

private:
    std::vector<BYTE> storage_;
    // The block the next DISCARD hands out; empty until the first one.
    std::vector<BYTE> spare_;
    // Blocks replaced by a DISCARD while an earlier lock was still open: its writer may
    // still use them, so they live until the last unlock.
    std::vector<std::vector<BYTE>> stillLocked_;
    int locks_ = 0;
};

}  // namespace d3d9
