#include "core/shader.h"

namespace d3d9 {

namespace {

std::uint64_t nextShaderId() {
    static std::uint64_t next = 0;
    return ++next;
}

}  // namespace

ShaderBase::ShaderBase(std::shared_ptr<DeviceContext> context, ShaderBlob blob)
    : context_(std::move(context)), code_{std::move(blob), nextShaderId()} {}

ShaderBase::~ShaderBase() {
    context_->backend->shaderDestroyed(code_);
}

HRESULT ShaderBase::deviceOf(IDirect3DDevice9** device) const {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = context_->device;
    if (*device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    (*device)->AddRef();
    return D3D_OK;
}

const ShaderCode* shaderCode(IUnknown* shader) {
    const auto* base = dynamic_cast<const ShaderBase*>(shader);
    return base != nullptr ? &base->code() : nullptr;
}

}  // namespace d3d9
