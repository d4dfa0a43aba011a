// Effect files as the game's effect loader reads them, from a file of the art folder with its
// neighbours for includes, on the drawing backend; then every valid technique set, every pass
// begun and drawn once, so that each pair of shaders is translated and linked as a program.
// The layer ends in an effect or a failure code with its messages, and a draw whose shaders
// cannot be built is skipped.
//
// The input is two files: up to a line "//fuzz.fxh" the effect "fx/fuzz.fx", after it its
// neighbour "fx/fuzz.fxh" (without that line, both are the whole input), so includes are
// read from the file system: chains, a file including itself, names reaching out of the
// folder.
#include <d3dx9effect.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "win32/com_ptr.h"

namespace {

struct Vertex {
    float x, y, z;
    DWORD colour;
    float u, v;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const Vertex kTriangle[3] = {{-1.0f, -1.0f, 0.5f, 0xFFFFFFFF, 0.0f, 1.0f},
                             {0.0f, 1.0f, 0.5f, 0xFFFFFFFF, 0.5f, 0.0f},
                             {1.0f, -1.0f, 0.5f, 0xFFFFFFFF, 1.0f, 1.0f}};

void drawPasses(IDirect3DDevice9* device, ID3DXEffect& effect) {
    // Every valid technique, in file order, as the usual enumeration loop finds them; at
    // most kTechniques steps, since two techniques of one name make that loop go round for
    // ever (a known fault of the enumeration, not what this target looks for).
    constexpr int kTechniques = 64;
    D3DXHANDLE technique = nullptr;
    for (int step = 0; step < kTechniques; ++step) {
        if (FAILED(effect.FindNextValidTechnique(technique, &technique)) || technique == nullptr) {
            break;
        }
        if (FAILED(effect.ValidateTechnique(technique)) || FAILED(effect.SetTechnique(technique))) {
            continue;
        }
        UINT passes = 0;
        if (FAILED(effect.Begin(&passes, 0))) {
            continue;
        }
        for (UINT pass = 0; pass < passes; ++pass) {
            if (SUCCEEDED(effect.BeginPass(pass))) {
                device->SetFVF(kVertexFormat);
                device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, sizeof kTriangle[0]);
                effect.EndPass();
            }
        }
        effect.End();
    }
}

}  // namespace

// The Mesa driver leaves a few allocations that LeakSanitizer finds only at exit, in a module
// it can no longer name (no suppression matches "<unknown module>"). The check after each
// input that libFuzzer makes still finds what an effect leaks; only the one at exit is off.
extern "C" const char* __asan_default_options() {
    return "leak_check_at_exit=0";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services =
        fuzz_support::Services::instance(morvale_testing::DeviceKind::Gl);
    static const std::string path = services.artRoot() + "fx/fuzz.fx";
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string marker = "\n//fuzz.fxh\n";
    const std::size_t split = input.find(marker);
    services.writeArt("fx/fuzz.fx", input.substr(0, split));
    services.writeArt("fx/fuzz.fxh",
                      split == std::string::npos ? input : input.substr(split + marker.size()));
    fuzz_support::MemoryBound bound(size);
    win32::ComPtr<ID3DXEffectPool> pool;
    if (FAILED(D3DXCreateEffectPool(pool.out()))) {
        return 0;
    }
    win32::ComPtr<ID3DXEffect> effect;
    win32::ComPtr<ID3DXBuffer> errors;
    if (FAILED(D3DXCreateEffectFromFileA(services.device, path.c_str(), nullptr, nullptr, 0,
                                         pool.get(), effect.out(), errors.out())) ||
        !effect) {
        return 0;
    }
    services.device->BeginScene();
    drawPasses(services.device, *effect.get());
    services.device->EndScene();
    return 0;
}
