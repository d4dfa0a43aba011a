// Creating effects: compiler messages with line numbers, techniques validated against the
// device's shader caps, resources by name, files with includes, and device resets.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "effect_fixture.h"
#include "engine/render/resources/error_fx_text.h"
#include "tests/win32/temp_folder.h"
#include "win32/resources.h"

namespace {

using fxobject::EffectTest;

TEST_F(EffectTest, AnHlslSyntaxErrorFailsWithTheLineOfTheError) {
    const std::string text =
        "matrix wvp;\n"
        "float4 VS(float3 p : POSITION) : POSITION\n"
        "{\n"
        "    return mul(float4(p, 1), wvp) +;\n"
        "}\n"
        "technique t { pass p { VertexShader = compile vs_1_1 VS(); } pass r { } }\n";
    EXPECT_EQ(make(text), nullptr);
    EXPECT_TRUE(FAILED(lastResult));
    EXPECT_NE(messages.find("memory(4)"), std::string::npos) << messages;
    EXPECT_NE(messages.find("error"), std::string::npos) << messages;
}

TEST_F(EffectTest, AnEffectSyntaxErrorFailsWithItsLine) {
    EXPECT_EQ(make("float x;\ntechnique t { pass p { ZEnable = ; } }\n"), nullptr);
    EXPECT_EQ(lastResult, D3DXERR_INVALIDDATA);
    EXPECT_NE(messages.find("memory(2)"), std::string::npos) << messages;
}

TEST_F(EffectTest, MacrosAreRefusedAndNullArgumentsFail) {
    const D3DXMACRO macros[] = {{"A", "1"}, {nullptr, nullptr}};
    ID3DXEffect* effect = nullptr;
    EXPECT_TRUE(FAILED(D3DXCreateEffect(device, kesh::kErrorEffectText, 594, macros, nullptr, 0,
                                        nullptr, &effect, nullptr)));
    EXPECT_EQ(effect, nullptr);
    const D3DXMACRO none[] = {{nullptr, nullptr}};
    ASSERT_EQ(D3DXCreateEffect(device, kesh::kErrorEffectText, 594, none, nullptr, 0, nullptr,
                               &effect, nullptr),
              D3D_OK);
    effect->Release();
    EXPECT_EQ(D3DXCreateEffect(device, nullptr, 10, nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateEffect(nullptr, "x", 1, nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3DERR_INVALIDCALL);
}

const char* const kTwoTechniques = R"(
matrix wvp;
float4 VS(float3 p : POSITION) : POSITION { return mul(float4(p, 1), wvp); }
technique high { pass p { VertexShader = compile vs_3_0 VS(); } pass r { } }
technique low { pass p { VertexShader = compile vs_1_1 VS(); } pass r { } }
)";

class ShaderCapsTest : public EffectTest {
protected:
    // A second device whose adapter runs vertex shaders up to `version`.
    IDirect3DDevice9* deviceWithVertexShaders(DWORD version) {
        d3d9::AdapterDescription adapter = d3d9::defaultAdapter();
        adapter.caps.VertexShaderVersion = version;
        d3d9::setAdapters({adapter});
        if (limited3d != nullptr) {
            limited3d->Release();
        }
        limited3d = Direct3DCreate9(D3D_SDK_VERSION);
        IDirect3DDevice9* limited = nullptr;
        D3DPRESENT_PARAMETERS pp = d3d9::testing::windowedParameters();
        EXPECT_EQ(limited3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x40, &pp, &limited), D3D_OK);
        d3d9::setAdapters({});
        return limited;
    }
    void TearDown() override {
        if (limited3d != nullptr) {
            limited3d->Release();
        }
        EffectTest::TearDown();
    }
    IDirect3D9* limited3d = nullptr;
};

TEST_F(ShaderCapsTest, TheFirstTechniqueTheDeviceRunsIsFound) {
    IDirect3DDevice9* limited = deviceWithVertexShaders(0xFFFE0101);
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffect(limited, kTwoTechniques, 0, nullptr, nullptr, 0, nullptr, &effect,
                               nullptr),
              D3DERR_INVALIDCALL)
        << "zero length is no text";
    ASSERT_EQ(
        D3DXCreateEffect(limited, kTwoTechniques, static_cast<UINT>(std::strlen(kTwoTechniques)),
                         nullptr, nullptr, 0, nullptr, &effect, nullptr),
        D3D_OK);
    D3DXHANDLE technique = nullptr;
    ASSERT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    EXPECT_STREQ(technique, "low");
    EXPECT_TRUE(FAILED(effect->ValidateTechnique("high")));
    EXPECT_TRUE(FAILED(effect->FindNextValidTechnique(technique, &technique)));
    effect->Release();
    EXPECT_EQ(limited->Release(), 0u);

    IDirect3DDevice9* none = deviceWithVertexShaders(0xFFFE0000);
    ASSERT_EQ(D3DXCreateEffect(none, kTwoTechniques, static_cast<UINT>(std::strlen(kTwoTechniques)),
                               nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3D_OK);
    EXPECT_TRUE(FAILED(effect->FindNextValidTechnique(nullptr, &technique)));
    EXPECT_EQ(technique, nullptr);
    effect->Release();
    EXPECT_EQ(none->Release(), 0u);
}

const unsigned char kTinyEffect[] = "technique only { pass a { ZEnable = false; } pass b { } }";
const win32::ResourceEntry kEntries[] = {
    {RT_RCDATA, "TINY.FX", kTinyEffect, sizeof kTinyEffect},
    {3, "ICON.FX", kTinyEffect, sizeof kTinyEffect},
};

TEST_F(EffectTest, ResourcesAreFoundByNameWithoutRegardToCase) {
    const win32::ResourceTableRegistration registration(kEntries, 2);
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromResourceW(device, GetModuleHandleW(nullptr), L"tiny.fx", nullptr,
                                            nullptr, 0, nullptr, &effect, nullptr),
              D3D_OK);
    D3DXHANDLE technique = nullptr;
    EXPECT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    EXPECT_STREQ(technique, "only");
    effect->Release();

    effect = reinterpret_cast<ID3DXEffect*>(1);
    ID3DXBuffer* errors = reinterpret_cast<ID3DXBuffer*>(1);
    EXPECT_TRUE(FAILED(D3DXCreateEffectFromResourceW(device, nullptr, L"missing.fx", nullptr,
                                                     nullptr, 0, nullptr, &effect, &errors)));
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(errors, nullptr);
    // Only RCDATA counts, and no other module has resources.
    EXPECT_TRUE(FAILED(D3DXCreateEffectFromResourceW(device, nullptr, L"ICON.FX", nullptr, nullptr,
                                                     0, nullptr, &effect, nullptr)));
    EXPECT_TRUE(
        FAILED(D3DXCreateEffectFromResourceW(device, reinterpret_cast<HMODULE>(8), L"TINY.FX",
                                             nullptr, nullptr, 0, nullptr, &effect, nullptr)));
    EXPECT_TRUE(FAILED(D3DXCreateEffectFromResourceW(device, nullptr, L"TINY.F", nullptr, nullptr,
                                                     0, nullptr, &effect, nullptr)));
}

TEST_F(EffectTest, FilesIncludeTheirNeighboursAndMissingFilesFail) {
    TempFolder folder;
    const std::string dir = folder.path().string();
    // Both begin with the UTF-8 byte-order mark, as editors on Windows save them.
    std::ofstream(dir + "/common.fxh") << "\xEF\xBB\xBF"
                                          "float4 tint = {1, 0, 0, 1};\n";
    std::ofstream(dir + "/main.fx") << "\xEF\xBB\xBF#include \"common.fxh\"\ntechnique t { pass a "
                                       "{ TextureFactor = <tint>; } pass b { "
                                       "} }\n";
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(device, (dir + "/main.fx").c_str(), nullptr, nullptr, 0,
                                        nullptr, &effect, nullptr),
              D3D_OK);
    UINT passes = 0;
    effect->Begin(&passes, 3);
    effect->BeginPass(0);
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xffff0000u);
    effect->EndPass();
    effect->End();
    effect->Release();

    effect = reinterpret_cast<ID3DXEffect*>(1);
    EXPECT_TRUE(FAILED(D3DXCreateEffectFromFileA(device, (dir + "/none.fx").c_str(), nullptr,
                                                 nullptr, 0, nullptr, &effect, nullptr)));
    EXPECT_EQ(effect, nullptr);
}

TEST_F(EffectTest, AnEffectHoldsUpResetUntilItsDeviceIsLost) {
    ID3DXEffect* effect = make(kesh::kErrorEffectText);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->OnLostDevice(), D3D_OK);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(effect->OnResetDevice(), D3D_OK);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    effect->Release();
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

}  // namespace
