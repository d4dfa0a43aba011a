// ID3DXEffect over a parsed effect: parameter values (shared through the pool when one is
// given), technique selection and validation, and the Begin / pass / End protocol.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <d3dx9effect.h>

#include "common/com_object.h"
#include "d3dx9/effect_seams.h"
#include "effect_apply.h"
#include "effect_names.h"
#include "effect_plan.h"
#include "effect_pool.h"
#include "effect_shaders.h"

namespace d3dx9::fx {

class Effect : public ComObject<ID3DXEffect> {
public:
    // Throws ShaderError when a shader does not compile. The device (and the pool, when
    // given) gain a reference for the effect's lifetime. `noValidTechnique` makes every
    // technique fail validation.
    Effect(IDirect3DDevice9* device, EffectDesc desc, EffectPool* pool,
           bool noValidTechnique = false);
    ~Effect() override;

    const std::string& warnings() const { return shaders_->warnings(); }
    const EffectCalls& calls() const { return calls_; }

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetPool(ID3DXEffectPool** pool) override;

    HRESULT SetBool(D3DXHANDLE parameter, BOOL value) override;
    HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) override;
    HRESULT SetInt(D3DXHANDLE parameter, INT value) override;
    HRESULT GetInt(D3DXHANDLE parameter, INT* value) override;
    HRESULT SetFloat(D3DXHANDLE parameter, FLOAT value) override;
    HRESULT GetFloat(D3DXHANDLE parameter, FLOAT* value) override;
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* value) override;
    HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* value) override;
    HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* value) override;
    HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* value) override;
    HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) override;

    HRESULT FindNextValidTechnique(D3DXHANDLE after, D3DXHANDLE* technique) override;
    HRESULT ValidateTechnique(D3DXHANDLE technique) override;
    HRESULT SetTechnique(D3DXHANDLE technique) override;
    D3DXHANDLE GetCurrentTechnique() override;

    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT CommitChanges() override;
    HRESULT EndPass() override;
    HRESULT End() override;

    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

private:
    ParameterValue* value(D3DXHANDLE name) const;
    bool techniqueValid(const Technique& technique) const;
    PassContext passContext() const;
    void takeSnapshot();

    IDirect3DDevice9* device_;
    EffectPool* pool_;
    // The name tables view the names inside desc_, which stays as parsed.
    const EffectDesc desc_;
    const NameIndex parameterNames_;
    const NameIndex techniqueNames_;
    std::unique_ptr<EffectShaders> shaders_;
    std::unique_ptr<EffectPlan> plan_;
    ParameterValues values_;  // parallel to desc_.parameters
    std::vector<bool> validTechniques_;
    int technique_ = 0;
    bool begun_ = false;
    int pass_ = -1;
    std::vector<std::uint64_t> applied_;  // value versions when the pass last applied them
    bool lost_ = false;
    EffectCalls calls_;
};

}  // namespace d3dx9::fx
