#include "engine/render/effect/effect_pass.h"

#include <exception>

#include "engine/core/errors.h"
#include "engine/render/log_lines.h"

namespace kesh {

EffectPass::EffectPass(ID3DXEffect* passEffect, std::uint32_t passFlags)
    : current(0), count(0), flags(passFlags | D3DXFX_DONOTSAVESHADERSTATE), effect(passEffect) {
    begin();
    try {
        beginPass(0);
    } catch (...) {
        // No destructor runs for a constructor that throws: end the effect here, or it
        // could never be begun again.
        ended = true;
        effect->End();
        throw;
    }
}

EffectPass::~EffectPass() {
    if (ended) {
        return;
    }
    try {
        end();
    } catch (const std::exception& e) {
        writeLine(boost::log::logError(), "EffectPass: ", e.what());
    } catch (...) {
        writeLine(boost::log::logError(), "EffectPass: unknown exception while ending");
    }
}

void EffectPass::begin() {
    UINT passes = 0;
    const HRESULT hr = effect->Begin(&passes, flags);
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXEffect::Begin failed");
    }
    if (passes < 2) {
        effect->End();
        throwRuntimeError(L"EffectPass::begin : Effect has less than 2 passes (no restore pass?)");
    }
    count = passes - 1;
}

void EffectPass::beginPass(std::uint32_t index) {
    if (index != 0) {
        const HRESULT hr = effect->EndPass();
        if (FAILED(hr)) {
            throwDxError(hr, L"ID3DXEffect::EndPass failed");
        }
    }
    const HRESULT hr = effect->BeginPass(index);
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXEffect::BeginPass failed");
    }
}

void EffectPass::next() {
    ++current;
    if (current < count) {
        beginPass(current);
    }
}

void EffectPass::restart() {
    const HRESULT hr = effect->EndPass();
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXEffect::EndPass failed");
    }
    current = 0;
    beginPass(0);
}

void EffectPass::end() {
    if (ended) {
        return;
    }
    ended = true;
    try {
        beginPass(count);
        const HRESULT hr = effect->EndPass();
        if (FAILED(hr)) {
            throwDxError(hr, L"ID3DXEffect::EndPass failed");
        }
    } catch (...) {
        // The effect is still begun: end it, so that the next walk can begin it again.
        effect->End();
        throw;
    }
    const HRESULT hr = effect->End();
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXEffect::End failed");
    }
}

}  // namespace kesh
