// Running the passes of an effect puts their assignments on the device, and CommitChanges
// re-applies exactly those whose parameters changed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include "effect_fixture.h"
#include "engine/render/resources/error_fx_text.h"

namespace {

using fxobject::EffectTest;

std::string debugEffectText() {
    const char* root = std::getenv("MORVALE_SOURCE_DIR");
    std::ifstream file(std::string(root != nullptr ? root : ".") +
                       "/engine/render/resources/DEBUG_RENDER.FX");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(EffectTest, ErrorEffectDrawsFlatAndRestoresTheBaseline) {
    ID3DXEffect* effect = make(kesh::kErrorEffectText);
    ASSERT_NE(effect, nullptr) << messages;
    D3DXHANDLE technique = nullptr;
    ASSERT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    EXPECT_STREQ(technique, "t0");
    ASSERT_EQ(effect->SetTechnique(technique), D3D_OK);

    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, D3DXFX_DONOTSAVESTATE | D3DXFX_DONOTSAVESHADERSTATE), D3D_OK);
    EXPECT_EQ(passes, 2u);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(renderState(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xc0ff4040u);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(stageState(0, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TFACTOR));
    EXPECT_EQ(stageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));

    // A draw made inside the pass carries the pass's states in the device's record.
    const float triangle[3][5] = {};
    record->clear();
    device->SetFVF(0x102);
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 20);
    device->EndScene();
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].state.renderState(D3DRS_TEXTUREFACTOR), 0xc0ff4040u);

    ASSERT_EQ(effect->EndPass(), D3D_OK);
    ASSERT_EQ(effect->BeginPass(1), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(renderState(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xffffffffu);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(effect->Release(), 0u);
}

TEST_F(EffectTest, PassProtocolRejectsCallsOutOfOrder) {
    ID3DXEffect* effect = make(kesh::kErrorEffectText);
    ASSERT_NE(effect, nullptr) << messages;
    EXPECT_EQ(effect->BeginPass(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->EndPass(), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->CommitChanges(), D3DERR_INVALIDCALL);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 3), D3D_OK);
    EXPECT_EQ(effect->Begin(&passes, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTechnique("t0"), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->BeginPass(2), D3DERR_INVALIDCALL);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(effect->BeginPass(1), D3DERR_INVALIDCALL);  // the pass in progress first ends
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(effect->SetTechnique("nonexistent"), D3DERR_INVALIDCALL);
    effect->Release();
}

TEST_F(EffectTest, ParameterReferencesAreReadAtBeginPassAndCommitChanges) {
    ID3DXEffect* effect = make(debugEffectText());
    ASSERT_NE(effect, nullptr) << messages;
    // Defaults of the file: no depth, culling none, wireframe.
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 3), D3D_OK);
    ASSERT_EQ(effect->SetInt("cColor", static_cast<INT>(0x80ff2000u)), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), 1u);
    EXPECT_EQ(renderState(D3DRS_FILLMODE), 2u);
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0x80ff2000u);

    // Only the assignments bound to changed parameters are sent again.
    device->SetRenderState(D3DRS_ZENABLE, 7);
    ASSERT_EQ(effect->SetInt("g_fillmode", 3), D3D_OK);
    ASSERT_EQ(effect->SetInt("do_cull_mode", 2), D3D_OK);
    ASSERT_EQ(effect->SetInt("cColor", static_cast<INT>(0xff00ff00u)), D3D_OK);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_FILLMODE), 3u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), 2u);
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xff00ff00u);
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 7u);

    ASSERT_EQ(effect->SetBool("do_z_enable", TRUE), D3D_OK);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(renderState(D3DRS_ZWRITEENABLE), 1u);
    effect->EndPass();
    effect->End();
    effect->Release();
}

}  // namespace
