#include <vector>

#include "common/com_object.h"
#include "d3dx9core.h"

namespace d3dx9 {
namespace {

class Buffer : public ComObject<ID3DXBuffer> {
public:
    explicit Buffer(DWORD size) : bytes_(size == 0 ? 1 : size, 0), size_(size) {}
    void* GetBufferPointer() override { return bytes_.data(); }
    DWORD GetBufferSize() override { return size_; }

private:
    std::vector<BYTE> bytes_;  // never empty, so the pointer is always valid
    DWORD size_;
};

}  // namespace
}  // namespace d3dx9

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    try {
        *buffer = new d3dx9::Buffer(size);
    } catch (...) {
        *buffer = nullptr;
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
