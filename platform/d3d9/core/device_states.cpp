// Bindings and states: each binding holds a reference until replaced, unbound or reset.
#include <algorithm>

#include "core/buffers.h"
#include "core/declaration.h"
#include "core/device.h"
#include "core/formats.h"

namespace d3d9 {

namespace {

// Whether the slot now holds another object.
template <class T>
bool rebind(T*& slot, T* object) {
    if (object == slot) {
        return false;
    }
    if (object != nullptr) {
        object->AddRef();
    }
    if (slot != nullptr) {
        slot->Release();
    }
    slot = object;
    return true;
}

template <class T>
HRESULT handOut(T* object, T** out) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = object;
    if (object != nullptr) {
        object->AddRef();
    }
    return D3D_OK;
}

}  // namespace

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    // Renderers set the same declaration before every draw: nothing changes then.
    if (declaration == state_.declaration && (declaration == nullptr || state_.fvf == 0)) {
        return D3D_OK;
    }
    rebind(state_.declaration, declaration);
    state_.bindingsVersion = nextStateVersion();
    // Setting a declaration replaces the FVF, as in Direct3D.
    if (declaration != nullptr) {
        state_.fvf = 0;
    }
    refreshLayout();
    return D3D_OK;
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) {
    return handOut(state_.declaration, declaration);
}

HRESULT Device::SetFVF(DWORD fvf) {
    // Renderers set the same FVF before every draw: nothing changes then.
    if (fvf == state_.fvf && (fvf == 0 || state_.declaration == nullptr)) {
        return D3D_OK;
    }
    if (fvf != 0) {
        UINT size = 0;
        if (!fvfLayout(fvf, fvfScratch_, size)) {
            return D3DERR_INVALIDCALL;
        }
        rebind(state_.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    }
    state_.fvf = fvf;
    state_.bindingsVersion = nextStateVersion();
    refreshLayout();
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) {
    if (fvf == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                UINT stride) {
    if (stream >= kStreamCount || (buffer != nullptr && offset % 4 != 0)) {
        return D3DERR_INVALIDCALL;
    }
    StreamBinding& binding = state_.streams[stream];
    if (rebind(binding.buffer, buffer) || binding.offset != offset || binding.stride != stride) {
        binding.offset = offset;
        binding.stride = stride;
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                                UINT* stride) {
    if (stream >= kStreamCount || offset == nullptr || stride == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *offset = state_.streams[stream].offset;
    *stride = state_.streams[stream].stride;
    return handOut(state_.streams[stream].buffer, buffer);
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* indices) {
    if (rebind(state_.indices, indices)) {
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** indices) {
    return handOut(state_.indices, indices);
}

HRESULT Device::SetVertexShader(IDirect3DVertexShader9* shader) {
    if (rebind(state_.vertexShader, shader)) {
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetVertexShader(IDirect3DVertexShader9** shader) {
    return handOut(state_.vertexShader, shader);
}

HRESULT Device::SetPixelShader(IDirect3DPixelShader9* shader) {
    if (rebind(state_.pixelShader, shader)) {
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetPixelShader(IDirect3DPixelShader9** shader) {
    return handOut(state_.pixelShader, shader);
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= kRenderStateCount) {
        return D3DERR_INVALIDCALL;
    }
    if (state_.renderStates[state] != value) {
        state_.renderStates[state] = value;
        state_.renderStatesVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= kRenderStateCount || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kTextureStageCount || type >= kStageStateCount) {
        return D3DERR_INVALIDCALL;
    }
    if (state_.stageStates[stage][type] != value) {
        state_.stageStates[stage][type] = value;
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= kTextureStageCount || type >= kStageStateCount || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= kSamplerCount || type >= kSamplerStateCount) {
        return D3DERR_INVALIDCALL;
    }
    if (state_.samplerStates[sampler][type] != value) {
        state_.samplerStates[sampler][type] = value;
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (sampler >= kSamplerCount || type >= kSamplerStateCount || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= kSamplerCount) {
        return D3DERR_INVALIDCALL;
    }
    if (rebind(state_.textures[stage], texture)) {
        state_.bindingsVersion = nextStateVersion();
    }
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (stage >= kSamplerCount) {
        return D3DERR_INVALIDCALL;
    }
    return handOut(state_.textures[stage], texture);
}

HRESULT Device::SetVertexShaderConstantF(UINT start, const float* data, UINT count) {
    if (data == nullptr || start > kShaderConstantCount || count > kShaderConstantCount - start) {
        return D3DERR_INVALIDCALL;
    }
    std::copy(data, data + count * 4, state_.vertexConstants.begin() + start * 4);
    state_.vertexConstantsVersion = nextStateVersion();
    return D3D_OK;
}

HRESULT Device::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
    if (data == nullptr || start > kShaderConstantCount || count > kShaderConstantCount - start) {
        return D3DERR_INVALIDCALL;
    }
    std::copy(data, data + count * 4, state_.pixelConstants.begin() + start * 4);
    state_.pixelConstantsVersion = nextStateVersion();
    return D3D_OK;
}

}  // namespace d3d9
