// The loader's chain of fallbacks: the file, the embedded resource of the same name, then
// the one shared error effect; and device loss reaching every live effect.
#include "engine/render/effect/effect_loader.h"

#include <d3dx9/effect_seams.h>
#include <boost/make_shared.hpp>

#include "engine/render/effect/effect_cache.h"

#include "effect_fixture.h"

namespace kesh::testing {
namespace {

const char* const kGoodEffect =
    "float4 tint = {1, 0, 0, 1};\n"
    "technique t { pass draw { TextureFactor = <tint>; } pass restore { } }\n";

using EffectLoaderTest = EffectDeviceTest;

TEST_F(EffectLoaderTest, AFileThatCompilesIsUsed) {
    writeFile("good.fx", kGoodEffect);
    EffectLoader loader(dx.get(), 0, folder);
    ID3DXEffect* effect = loader.load(ResourceId("good.fx"));
    ASSERT_NE(effect, nullptr);
    EXPECT_STREQ(effect->GetCurrentTechnique(), "t");
    EXPECT_EQ(loader.live().size(), 1u);
    loader.release(effect);
    EXPECT_EQ(effect, nullptr);
    EXPECT_TRUE(loader.live().empty());
}

TEST_F(EffectLoaderTest, UnknownNamesShareTheErrorEffectWithOneReferenceEach) {
    auto loader = std::make_unique<EffectLoader>(dx.get(), 0, folder);
    ID3DXEffect* first = loader->load(ResourceId("nothing.fx"));
    EXPECT_TRUE(loggedContaining("Building 'nothing.fx' (from resource)..."));
    EXPECT_TRUE(loggedContaining("Unable to compile nothing.fx (from resource)"));
    EXPECT_TRUE(loggedContaining("Creating <error.fx> from code embedded text"));
    ID3DXEffect* second = loader->load(ResourceId("other.fx"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(references(first), 3u);  // the loader's own and one per name
    EXPECT_EQ(loader->live().size(), 1u);

    // Released by both names, it still hears of device loss while the loader lives.
    IDirect3DDevice9* d3d = device;
    first->AddRef();
    ID3DXEffect* watched = first;
    loader->release(first);
    loader->release(second);
    EXPECT_EQ(references(watched), 2u);
    EXPECT_EQ(loader->live().size(), 1u);
    dx->notifyLost();
    EXPECT_EQ(d3d->Reset(&factory->presentParameters()), D3D_OK);
    dx->notifyReset();
    loader.reset();
    EXPECT_EQ(watched->Release(), 0u);
}

TEST_F(EffectLoaderTest, TheEmbeddedDebugEffectStandsInForAMissingFile) {
    EffectLoader loader(dx.get(), 0, folder);
    ID3DXEffect* effect = loader.load(ResourceId("debug_render.fx"));
    ASSERT_NE(effect, nullptr);
    EXPECT_FALSE(loggedContaining("Creating <error.fx>"));
    // The resource's own parameters are there: it is not the error effect.
    EXPECT_EQ(effect->SetInt("g_fillmode", 3), D3D_OK);
    loader.release(effect);
}

TEST_F(EffectLoaderTest, AnHlslSyntaxErrorIsLoggedWithItsLineAndFallsBack) {
    writeFile("broken.fx",
              "matrix wvp;\n"
              "float4 VS(float3 p : POSITION) : POSITION\n"
              "{\n"
              "    return mul(float4(p, 1), wvp) +;\n"
              "}\n"
              "technique t { pass a { VertexShader = compile vs_1_1 VS(); } pass b { } }\n");
    EffectLoader loader(dx.get(), 0, folder);
    ID3DXEffect* effect = loader.load(ResourceId("broken.fx"));
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(loggedContaining("broken.fx(4)")) << "the compiler's message with its line";
    EXPECT_TRUE(loggedContaining("Creating <error.fx> from code embedded text"));
    UINT passes = 0;
    effect->Begin(&passes, 3);
    effect->BeginPass(0);
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xc0ff4040u);
    effect->EndPass();
    effect->End();
    loader.release(effect);
}

TEST_F(EffectLoaderTest, AFileWhoseTechniquesAllFailValidationFallsThrough) {
    d3d9::setAdapters({adapterWith(true, 0xFFFE0101)});
    IDirect3D9* limited = Direct3DCreate9(D3D_SDK_VERSION);
    DxDeviceFactory limitedFactory(limited);
    ASSERT_TRUE(limitedFactory.selectDepthStencil(24, 0));
    IDirect3DDevice9* limitedDevice = limitedFactory.createDevice(window).release();
    {
        DxDevice limitedDx(limitedDevice, &limitedFactory);
        writeFile("modern.fx",
                  "matrix wvp;\n"
                  "float4 VS(float3 p : POSITION) : POSITION { return mul(float4(p, 1), wvp); }\n"
                  "technique t { pass a { VertexShader = compile vs_3_0 VS(); } pass b { } }\n");
        EffectLoader loader(&limitedDx, 0, folder);
        ID3DXEffect* effect = loader.load(ResourceId("modern.fx"));
        EXPECT_TRUE(loggedContaining("no valid techniques found for modern.fx"));
        EXPECT_TRUE(loggedContaining("Unable to assign valid technique (" + folder + "modern.fx)"));
        EXPECT_TRUE(loggedContaining("Creating <error.fx> from code embedded text"));
        loader.release(effect);
    }
    EXPECT_EQ(limitedDevice->Release(), 0u);
    EXPECT_EQ(limited->Release(), 0u);
}

TEST_F(EffectLoaderTest, FilesAndResourcesMadeToFailFallThroughToTheErrorEffect) {
    writeFile("good.fx", kGoodEffect);
    d3dx9::failEffectCompile("good.fx");
    d3dx9::failEffectValidation("DEBUG_RENDER.FX");
    EffectLoader loader(dx.get(), 0, folder);
    ID3DXEffect* good = loader.load(ResourceId("good.fx"));
    EXPECT_TRUE(loggedContaining("good.fx(1): error"));
    EXPECT_TRUE(loggedContaining("Creating <error.fx> from code embedded text"));
    // A resource that compiles without a valid technique is still used.
    ID3DXEffect* debug = loader.load(ResourceId("debug_render.fx"));
    EXPECT_TRUE(loggedContaining("Unable to assign valid technique (from resource)"));
    EXPECT_NE(debug, good);
    d3dx9::clearEffectFailures();
    loader.release(good);
    loader.release(debug);
}

TEST_F(EffectLoaderTest, LossAndResetReachEveryLiveEffectSoTheDeviceCanReset) {
    writeFile("a.fx", kGoodEffect);
    writeFile("b.fx", kGoodEffect);
    EffectLoader loader(dx.get(), 0, folder);
    ID3DXEffect* a = loader.load(ResourceId("a.fx"));
    ID3DXEffect* b = loader.load(ResourceId("b.fx"));
    EXPECT_EQ(device->Reset(&factory->presentParameters()), D3DERR_INVALIDCALL);
    d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    EXPECT_NO_THROW(dx->checkCooperativeLevel());
    EXPECT_FALSE(dx->isLost());
    loader.release(a);
    loader.release(b);
}

TEST_F(EffectLoaderTest, TheCacheFetchesOnceAndCanLoseAndRestoreItsEffects) {
    writeFile("a.fx", kGoodEffect);
    {
        EffectCache cache(boost::make_shared<EffectLoader>(dx.get(), 0, folder), dx.get());
        ID3DXEffect* a = cache.fetch(ResourceId("a.fx"));
        EXPECT_EQ(cache.fetch(ResourceId("a.fx")), a);
        ID3DXEffect* missing = cache.fetch(ResourceId("missing.fx"));
        EXPECT_NE(missing, a);
        EXPECT_EQ(cache.size(), 2u);

        cache.restoreAll();  // not lost: nothing happens
        EXPECT_EQ(device->Reset(&factory->presentParameters()), D3DERR_INVALIDCALL);
        cache.loseAll();
        EXPECT_TRUE(cache.isLost());
        EXPECT_EQ(device->Reset(&factory->presentParameters()), D3D_OK);
        cache.restoreAll();
        EXPECT_FALSE(cache.isLost());
        EXPECT_EQ(device->Reset(&factory->presentParameters()), D3DERR_INVALIDCALL);

        cache.release(ResourceId("a.fx"));
        EXPECT_EQ(cache.size(), 1u);
    }
    // Cache and loader are gone, and with them every effect.
    EXPECT_EQ(device->Reset(&factory->presentParameters()), D3D_OK);
}

}  // namespace
}  // namespace kesh::testing
