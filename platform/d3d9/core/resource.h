// What every resource shares: its device's context (which outlives the device while
// resources remain), its pool and usage, and a name for records.
#pragma once

#include <memory>
#include <string>

#include <d3d9.h>

#include "core/backend.h"

namespace d3d9 {

struct DeviceContext {
    IDirect3DDevice9* device = nullptr;  // null once the device is gone
    std::unique_ptr<Backend> backend;
    D3DCAPS9 caps{};
    std::vector<D3DFORMAT> textureFormats;
    int defaultPoolResources = 0;
    int resetBlockers = 0;
    std::string drawTag;
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
    HRESULT deviceOf(IDirect3DDevice9** device) const;

private:
    std::shared_ptr<DeviceContext> context_;
    D3DPOOL pool_;
    DWORD usage_;
    std::string name_;
};

// CPU storage of a buffer with Direct3D's lock rules.
class BufferData {
public:
    explicit BufferData(UINT size);

    HRESULT lock(UINT offset, UINT size, DWORD flags, bool dynamic, void** data);
    HRESULT unlock();
    bool locked() const { return locks_ > 0; }
    const BYTE* bytes() const { return storage_->data(); }
    UINT size() const { return static_cast<UINT>(storage_->size()); }

private:
    std::shared_ptr<std::vector<BYTE>> storage_;
    int locks_ = 0;
};

}  // namespace d3d9
