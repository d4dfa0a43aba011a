#include "core/declaration.h"

#include "core/formats.h"

namespace d3d9 {

VertexDeclaration* VertexDeclaration::create(std::shared_ptr<DeviceContext> context,
                                             const D3DVERTEXELEMENT9* elements) {
    if (elements == nullptr) {
        return nullptr;
    }
    std::vector<D3DVERTEXELEMENT9> kept;
    for (int i = 0;; ++i) {
        if (i >= MAXD3DDECLLENGTH) {
            return nullptr;
        }
        const D3DVERTEXELEMENT9& element = elements[i];
        if (element.Stream == 0xFF) {
            break;
        }
        if (element.Stream >= kStreamCount || element.Type >= D3DDECLTYPE_UNUSED ||
            element.Offset % 4 != 0 || element.Usage > D3DDECLUSAGE_SAMPLE ||
            element.Method > D3DDECLMETHOD_LOOKUPPRESAMPLED) {
            return nullptr;
        }
        for (const D3DVERTEXELEMENT9& other : kept) {
            if (other.Usage == element.Usage && other.UsageIndex == element.UsageIndex) {
                return nullptr;
            }
        }
        kept.push_back(element);
    }
    return new VertexDeclaration(std::move(context), std::move(kept));
}

VertexDeclaration::VertexDeclaration(std::shared_ptr<DeviceContext> context,
                                     std::vector<D3DVERTEXELEMENT9> elements)
    : ComObject(ObjectType::VertexDeclaration),
      context_(std::move(context)),
      elements_(std::move(elements)) {}

HRESULT VertexDeclaration::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr || context_->device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = context_->device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
    if (count == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const UINT total = static_cast<UINT>(elements_.size()) + 1;
    if (elements != nullptr) {
        for (size_t i = 0; i < elements_.size(); ++i) {
            elements[i] = elements_[i];
        }
        elements[elements_.size()] = D3DDECL_END();
    }
    *count = total;
    return D3D_OK;
}

}  // namespace d3d9
