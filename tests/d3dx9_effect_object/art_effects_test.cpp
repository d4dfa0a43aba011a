// Every effect file of the art folder becomes an effect on the device: a valid technique,
// a restore pass, and each pass applicable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "effect_fixture.h"

namespace {

using fxobject::EffectTest;

class ArtEffectTest : public EffectTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ArtEffectTest, BuildsValidatesAndRunsEveryPass) {
    const char* root = std::getenv("MORVALE_SOURCE_DIR");
    const std::string path = std::string(root != nullptr ? root : ".") + "/art/fx/" + GetParam();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect,
                                        &errors),
              D3D_OK)
        << (errors != nullptr ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    D3DXHANDLE technique = nullptr;
    ASSERT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    ASSERT_EQ(effect->SetTechnique(technique), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 3), D3D_OK);
    EXPECT_GE(passes, 2u);
    for (UINT p = 0; p < passes; ++p) {
        EXPECT_EQ(effect->BeginPass(p), D3D_OK);
        EXPECT_EQ(effect->CommitChanges(), D3D_OK);
        EXPECT_EQ(effect->EndPass(), D3D_OK);
    }
    EXPECT_EQ(effect->End(), D3D_OK);
    // What every restore pass leaves behind.
    EXPECT_EQ(renderState(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(renderState(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    effect->Release();
}

INSTANTIATE_TEST_SUITE_P(ArtFolder, ArtEffectTest,
                         ::testing::Values("global.fx", "textured_mesh.fx", "car.fx", "decal.fx",
                                           "billboard.fx", "effect_plain_mesh.fx", "gui.fx",
                                           "car_interface.fx", "video_playback.fx",
                                           "debug_render.fx"));

}  // namespace
