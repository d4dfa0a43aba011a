// EffectPass runs each drawing pass once and the restore pass once at the end, whatever
// leaves the scope.
#include "engine/render/effect/effect_pass.h"

#include <d3dx9/effect_seams.h>

#include <stdexcept>

#include "effect_fixture.h"

namespace kesh::testing {
namespace {

class EffectPassTest : public EffectDeviceTest {
protected:
    ID3DXEffect* make(const std::string& text) {
        ID3DXEffect* effect = nullptr;
        EXPECT_EQ(D3DXCreateEffect(device, text.c_str(), static_cast<UINT>(text.size()), nullptr,
                                   nullptr, 0, nullptr, &effect, nullptr),
                  D3D_OK);
        return effect;
    }
    // Draws one triangle; the null device records the states in force.
    void draw() {
        const float triangle[3][5] = {};
        device->SetFVF(0x102);
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 20);
        device->EndScene();
    }
    std::vector<DWORD> drawnFactors() {
        std::vector<DWORD> factors;
        for (const auto& d : d3d9::deviceRecord(device)->draws) {
            factors.push_back(d.state.renderState(D3DRS_TEXTUREFACTOR));
        }
        return factors;
    }
};

const char* const kTwoPasses =
    "technique t { pass draw { TextureFactor = 0x11111111; } pass restore { TextureFactor = "
    "0xffffffff; } }";
const char* const kThreePasses =
    "technique t { pass a { TextureFactor = 0x11111111; } pass b { TextureFactor = 0x22222222; "
    "} pass restore { TextureFactor = 0xffffffff; } }";

TEST_F(EffectPassTest, TwoPassesDrawOnceThenRestore) {
    ID3DXEffect* effect = make(kTwoPasses);
    d3d9::deviceRecord(device)->clear();
    {
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        EXPECT_EQ(pass.flags, 3u);
        EXPECT_EQ(pass.count, 1u);
        while (pass.current < pass.count) {
            draw();
            pass.next();
        }
    }
    EXPECT_EQ(drawnFactors(), std::vector<DWORD>({0x11111111u}));
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xffffffffu);
    const d3dx9::EffectCalls calls = d3dx9::effectCalls(effect);
    EXPECT_EQ(calls.begins, 1);
    EXPECT_EQ(calls.beginPasses, 2);
    EXPECT_EQ(calls.endPasses, 2);
    EXPECT_EQ(calls.ends, 1);
    // The walk ended the effect: another one can begin it.
    EXPECT_NO_THROW(EffectPass(effect, D3DXFX_DONOTSAVESTATE));
    effect->Release();
}

TEST_F(EffectPassTest, ThreePassesAndRestart) {
    ID3DXEffect* effect = make(kThreePasses);
    d3d9::deviceRecord(device)->clear();
    {
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        EXPECT_EQ(pass.count, 2u);
        while (pass.current < pass.count) {
            draw();
            pass.next();
        }
        pass.restart();
        draw();
        pass.end();
        pass.end();  // at most once
    }
    EXPECT_EQ(drawnFactors(), std::vector<DWORD>({0x11111111u, 0x22222222u, 0x11111111u}));
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xffffffffu);
    effect->Release();
}

TEST_F(EffectPassTest, AnEffectWithoutARestorePassThrowsAndStaysUsable) {
    ID3DXEffect* effect = make("technique t { pass only { } }");
    try {
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "EffectPass::begin : Effect has less than 2 passes (no restore pass?)");
    }
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 3), D3D_OK);
    effect->End();
    effect->Release();
}

TEST_F(EffectPassTest, AnExceptionInsideAPassStillRestoresAndEnds) {
    ID3DXEffect* effect = make(kThreePasses);
    try {
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        draw();
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xffffffffu);
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 3), D3D_OK) << "the effect was ended";
    effect->End();
    effect->Release();
}

TEST_F(EffectPassTest, AFailingBeginThrowsWithItsText) {
    ID3DXEffect* effect = make(kTwoPasses);
    UINT passes = 0;
    effect->Begin(&passes, 3);  // someone else's walk is still open
    try {
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ID3DXEffect::Begin failed", 0), 0u) << e.what();
    }
    effect->End();
    effect->Release();
}

}  // namespace
}  // namespace kesh::testing
