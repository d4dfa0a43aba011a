// A null device and helpers to build effects from text.
#pragma once

#include <d3dx9effect.h>

#include <string>

#include "tests/d3d9/d3d9_fixture.h"

namespace fxobject {

class EffectTest : public d3d9::testing::DeviceTest {
protected:
    // The effect, or null with the compiler's messages in `messages`.
    ID3DXEffect* make(const std::string& text, ID3DXEffectPool* pool = nullptr) {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        lastResult = D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size() + 1),
                                      nullptr, nullptr, 0, pool, &effect, &errors);
        messages.clear();
        if (errors != nullptr) {
            messages = static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        return effect;
    }

    DWORD renderState(D3DRENDERSTATETYPE state) {
        DWORD value = 0;
        device->GetRenderState(state, &value);
        return value;
    }
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        DWORD value = 0;
        device->GetTextureStageState(stage, type, &value);
        return value;
    }

    HRESULT lastResult = D3D_OK;
    std::string messages;
};

}  // namespace fxobject
