// Effect files from memory, compiled for the null device, then every valid technique set and
// every pass begun: the layer ends in an effect or a failure code with its messages.
#include <d3dx9effect.h>

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "win32/com_ptr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    fuzz_support::MemoryBound bound(size);
    win32::ComPtr<ID3DXEffectPool> pool;
    if (FAILED(D3DXCreateEffectPool(pool.out()))) {
        return 0;
    }
    win32::ComPtr<ID3DXEffect> effect;
    win32::ComPtr<ID3DXBuffer> errors;
    if (FAILED(D3DXCreateEffect(services.device, data, static_cast<UINT>(size), nullptr, nullptr, 0,
                                pool.get(), effect.out(), errors.out())) ||
        !effect) {
        return 0;
    }
    // Every valid technique, in file order, as the usual enumeration loop finds them; at
    // most kTechniques steps, since two techniques of one name make that loop go round for
    // ever (a known fault of the enumeration, not what this target looks for).
    constexpr int kTechniques = 64;
    D3DXHANDLE technique = nullptr;
    for (int step = 0; step < kTechniques; ++step) {
        if (FAILED(effect->FindNextValidTechnique(technique, &technique)) || technique == nullptr) {
            break;
        }
        if (FAILED(effect->ValidateTechnique(technique)) ||
            FAILED(effect->SetTechnique(technique))) {
            continue;
        }
        UINT passes = 0;
        if (FAILED(effect->Begin(&passes, 0))) {
            continue;
        }
        for (UINT pass = 0; pass < passes; ++pass) {
            if (SUCCEEDED(effect->BeginPass(pass))) {
                effect->EndPass();
            }
        }
        effect->End();
    }
    return 0;
}
