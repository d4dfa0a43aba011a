// The null backend: no drawing; while draw recording is on, a record of every call with the
// data and state it used.
#pragma once

#include "core/backend.h"

namespace d3d9 {

class NullBackend : public Backend {
public:
    HRESULT configure(HWND window, const D3DPRESENT_PARAMETERS& parameters) override;
    void clear(const RecordedClear& clear, const DeviceState& state) override;
    void draw(const DrawCall& call) override;
    HRESULT present() override { return D3D_OK; }
    void resourceLocked(const ResourceBase& resource, const void* interfacePointer,
                        D3DRESOURCETYPE type, UINT offset, UINT size, DWORD flags) override;
    DeviceRecord* record() override { return &record_; }

private:
    DeviceRecord record_;
};

}  // namespace d3d9
