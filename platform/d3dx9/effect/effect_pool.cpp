#include "effect_pool.h"

namespace d3dx9::fx {

SharedValue EffectPool::valueFor(const Parameter& declaration) {
    const auto found = values_.find(declaration.name);
    if (found != values_.end()) {
        if (found->second->sameShape(declaration)) {
            return found->second;
        }
        return std::make_shared<ParameterValue>(declaration);
    }
    auto value = std::make_shared<ParameterValue>(declaration);
    values_.emplace(declaration.name, value);
    return value;
}

}  // namespace d3dx9::fx

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool) {
    if (pool == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    try {
        *pool = new d3dx9::fx::EffectPool();
    } catch (...) {
        *pool = nullptr;
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
