#include "effect_object.h"

#include <cstring>

#include "d3d9/seams.h"

namespace d3dx9::fx {

Effect::Effect(IDirect3DDevice9* device, EffectDesc desc, EffectPool* pool, bool noValidTechnique)
    : device_(device),
      pool_(pool),
      desc_(std::move(desc)),
      parameterNames_(desc_.parameters),
      techniqueNames_(desc_.techniques) {
    shaders_ = std::make_unique<EffectShaders>(device_, desc_, parameterNames_);
    plan_ = std::make_unique<EffectPlan>(desc_, parameterNames_, *shaders_);
    for (const auto& parameter : desc_.parameters) {
        values_.push_back(pool_ != nullptr ? pool_->valueFor(parameter)
                                           : std::make_shared<ParameterValue>(parameter));
    }
    applied_.resize(values_.size());
    for (const auto& technique : desc_.techniques) {
        validTechniques_.push_back(!noValidTechnique && techniqueValid(technique));
    }
    device_->AddRef();
    if (pool_ != nullptr) {
        pool_->AddRef();
    }
    // Until OnLostDevice, the effect holds up a Reset as Direct3D's own would.
    d3d9::addResetBlocker(device_);
}

Effect::~Effect() {
    if (!lost_) {
        d3d9::removeResetBlocker(device_);
    }
    values_.clear();
    if (pool_ != nullptr) {
        pool_->Release();
    }
    device_->Release();
}

HRESULT Effect::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Effect::GetPool(ID3DXEffectPool** pool) {
    if (pool == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (pool_ != nullptr) {
        pool_->AddRef();
    }
    *pool = pool_;
    return D3D_OK;
}

ParameterValue* Effect::value(D3DXHANDLE name) const {
    const int index = parameterNames_.findHandle(name);
    return index >= 0 ? values_[static_cast<std::size_t>(index)].get() : nullptr;
}

namespace {

HRESULT result(bool ok) {
    return ok ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace

HRESULT Effect::SetBool(D3DXHANDLE parameter, BOOL value) {
    ParameterValue* v = this->value(parameter);
    if (v == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    // BOOL is an int: an integer parameter keeps the number given.
    return result(v->type() == ParamType::Int ? v->setInt(value) : v->setBool(value != 0));
}

HRESULT Effect::GetBool(D3DXHANDLE parameter, BOOL* value) {
    ParameterValue* v = this->value(parameter);
    bool b = false;
    if (v == nullptr || value == nullptr || !v->getBool(b)) {
        return D3DERR_INVALIDCALL;
    }
    *value = b ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Effect::SetInt(D3DXHANDLE parameter, INT value) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && v->setInt(value));
}

HRESULT Effect::GetInt(D3DXHANDLE parameter, INT* value) {
    ParameterValue* v = this->value(parameter);
    int i = 0;
    if (v == nullptr || value == nullptr || !v->getInt(i)) {
        return D3DERR_INVALIDCALL;
    }
    *value = i;
    return D3D_OK;
}

HRESULT Effect::SetFloat(D3DXHANDLE parameter, FLOAT value) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && v->setFloat(value));
}

HRESULT Effect::GetFloat(D3DXHANDLE parameter, FLOAT* value) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && value != nullptr && v->getFloat(*value));
}

HRESULT Effect::SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* value) {
    ParameterValue* v = this->value(parameter);
    if (v == nullptr || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const float components[4] = {value->x, value->y, value->z, value->w};
    return result(v->setFloats(components, 4));
}

HRESULT Effect::GetVector(D3DXHANDLE parameter, D3DXVECTOR4* value) {
    ParameterValue* v = this->value(parameter);
    float components[4];
    if (v == nullptr || value == nullptr || !v->getFloats(components, 4)) {
        return D3DERR_INVALIDCALL;
    }
    *value = D3DXVECTOR4(components);
    return D3D_OK;
}

HRESULT Effect::SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* value) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && value != nullptr && v->setMatrix(value->m));
}

HRESULT Effect::GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* value) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && value != nullptr && v->getMatrix(value->m));
}

HRESULT Effect::SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) {
    ParameterValue* v = this->value(parameter);
    return result(v != nullptr && v->setTexture(texture));
}

HRESULT Effect::GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) {
    ParameterValue* v = this->value(parameter);
    if (v == nullptr || texture == nullptr || v->type() != ParamType::Texture) {
        return D3DERR_INVALIDCALL;
    }
    *texture = v->texture();
    if (*texture != nullptr) {
        (*texture)->AddRef();
    }
    return D3D_OK;
}

bool Effect::techniqueValid(const Technique& technique) const {
    for (const auto& pass : technique.passes) {
        for (const auto& assignment : pass.assignments) {
            if (!shaders_->supported(assignment)) {
                return false;
            }
        }
    }
    return !technique.passes.empty();
}

HRESULT Effect::FindNextValidTechnique(D3DXHANDLE after, D3DXHANDLE* technique) {
    if (technique == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *technique = nullptr;
    std::size_t start = 0;
    if (after != nullptr) {
        const int index = techniqueNames_.findHandle(after);
        if (index < 0) {
            return D3DERR_INVALIDCALL;
        }
        start = static_cast<std::size_t>(index) + 1;
    }
    for (std::size_t i = start; i < desc_.techniques.size(); ++i) {
        if (validTechniques_[i]) {
            *technique = NameIndex::handleOf(desc_.techniques[i]);
            return D3D_OK;
        }
    }
    return E_FAIL;
}

HRESULT Effect::ValidateTechnique(D3DXHANDLE technique) {
    const int index = techniqueNames_.findHandle(technique);
    if (index < 0) {
        return D3DERR_INVALIDCALL;
    }
    return validTechniques_[index] ? D3D_OK : E_FAIL;
}

HRESULT Effect::SetTechnique(D3DXHANDLE technique) {
    const int index = techniqueNames_.findHandle(technique);
    if (index < 0 || begun_) {
        return D3DERR_INVALIDCALL;
    }
    technique_ = index;
    return D3D_OK;
}

D3DXHANDLE Effect::GetCurrentTechnique() {
    if (desc_.techniques.empty()) {
        return nullptr;
    }
    return NameIndex::handleOf(desc_.techniques[technique_]);
}

HRESULT Effect::Begin(UINT* passes, DWORD) {
    if (begun_ || desc_.techniques.empty()) {
        return D3DERR_INVALIDCALL;
    }
    begun_ = true;
    pass_ = -1;
    ++calls_.begins;
    if (passes != nullptr) {
        *passes = static_cast<UINT>(desc_.techniques[technique_].passes.size());
    }
    return D3D_OK;
}

PassContext Effect::passContext() const {
    return PassContext{device_, *plan_, *shaders_, values_};
}

void Effect::takeSnapshot() {
    for (std::size_t i = 0; i < values_.size(); ++i) {
        applied_[i] = values_[i]->version();
    }
}

HRESULT Effect::BeginPass(UINT pass) {
    if (!begun_ || pass_ >= 0 || pass >= desc_.techniques[technique_].passes.size()) {
        return D3DERR_INVALIDCALL;
    }
    pass_ = static_cast<int>(pass);
    takeSnapshot();
    applyPass(passContext(), plan_->pass(technique_, pass_));
    ++calls_.beginPasses;
    return D3D_OK;
}

HRESULT Effect::CommitChanges() {
    if (!begun_ || pass_ < 0) {
        return D3DERR_INVALIDCALL;
    }
    commitPass(passContext(), plan_->pass(technique_, pass_), applied_);
    takeSnapshot();
    ++calls_.commits;
    return D3D_OK;
}

HRESULT Effect::EndPass() {
    if (!begun_ || pass_ < 0) {
        return D3DERR_INVALIDCALL;
    }
    pass_ = -1;
    ++calls_.endPasses;
    return D3D_OK;
}

HRESULT Effect::End() {
    if (!begun_) {
        return D3DERR_INVALIDCALL;
    }
    begun_ = false;
    pass_ = -1;
    ++calls_.ends;
    return D3D_OK;
}

HRESULT Effect::OnLostDevice() {
    if (!lost_) {
        lost_ = true;
        d3d9::removeResetBlocker(device_);
    }
    return D3D_OK;
}

HRESULT Effect::OnResetDevice() {
    if (lost_) {
        lost_ = false;
        d3d9::addResetBlocker(device_);
    }
    return D3D_OK;
}

}  // namespace d3dx9::fx
