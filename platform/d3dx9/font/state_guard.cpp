#include "font/state_guard.h"

namespace d3dx9 {

StateGuard::StateGuard(IDirect3DDevice9* device) : device_(device) {
    for (size_t i = 0; i < kRenderStates.size(); ++i) {
        device_->GetRenderState(kRenderStates[i], &renderStates_[i]);
    }
    for (size_t i = 0; i < kStageStates.size(); ++i) {
        device_->GetTextureStageState(kStageStates[i].first, kStageStates[i].second,
                                      &stageStates_[i]);
    }
    for (size_t i = 0; i < kSamplerStates.size(); ++i) {
        device_->GetSamplerState(0, kSamplerStates[i], &samplerStates_[i]);
    }
    device_->GetTexture(0, &texture_);
    device_->GetVertexShader(&vertexShader_);
    device_->GetPixelShader(&pixelShader_);
    device_->GetVertexDeclaration(&declaration_);
    device_->GetFVF(&fvf_);
    device_->GetStreamSource(0, &stream_, &streamOffset_, &streamStride_);
}

StateGuard::~StateGuard() {
    for (size_t i = 0; i < kRenderStates.size(); ++i) {
        device_->SetRenderState(kRenderStates[i], renderStates_[i]);
    }
    for (size_t i = 0; i < kStageStates.size(); ++i) {
        device_->SetTextureStageState(kStageStates[i].first, kStageStates[i].second,
                                      stageStates_[i]);
    }
    for (size_t i = 0; i < kSamplerStates.size(); ++i) {
        device_->SetSamplerState(0, kSamplerStates[i], samplerStates_[i]);
    }
    device_->SetTexture(0, texture_);
    device_->SetVertexShader(vertexShader_);
    device_->SetPixelShader(pixelShader_);
    // The declaration and the FVF share one slot: whichever was set last wins.
    if (declaration_ != nullptr) {
        device_->SetVertexDeclaration(declaration_);
    } else {
        device_->SetFVF(fvf_);
    }
    device_->SetStreamSource(0, stream_, streamOffset_, streamStride_);
    for (IUnknown* held : {static_cast<IUnknown*>(texture_), static_cast<IUnknown*>(vertexShader_),
                           static_cast<IUnknown*>(pixelShader_),
                           static_cast<IUnknown*>(declaration_), static_cast<IUnknown*>(stream_)}) {
        if (held != nullptr) {
            held->Release();
        }
    }
}

}  // namespace d3dx9
