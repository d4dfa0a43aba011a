// Scripts describe effects with the bound component classes; the record they return casts
// back to the engine's own.
#include <gtest/gtest.h>

#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/render/visual_effects/effect_params.h"
#include "tests/support/services_fixture.h"

namespace {

using kesh::effect::EffectParams;

class EffectScriptTest : public morvale_testing::ServicesTest {};

TEST_F(EffectScriptTest, TheBinderIsLinkedInItsPlace) {
    int found = 0;
    for (const kesh::LuaBinderEntry& entry : kesh::LuaBinderRegistry::instance()) {
        found += entry.place == kesh::kEffectParamsBinder ? 1 : 0;
    }
    EXPECT_EQ(found, 1);
}

TEST_F(EffectScriptTest, AScriptBuildsAnEffectOfBothKinds) {
    writeArt("config/effect.lua",
             "local mesh = PlainMeshComponent()\n"
             "mesh.layer = 2\n"
             "mesh.mesh = res('glow.wfm')\n"
             "mesh.texture = res('glow.dds')\n"
             "mesh.uSpeed = 0.5\n"
             "mesh.vSpeed = -1\n"
             "local board = BillboardComponent()\n"
             "board.texture = res('flare.dds')\n"
             "board.size = vec2(2, 3)\n"
             "board.orientation = 1\n"
             "local fx = Effect()\n"
             "fx:addComponent(mesh)\n"
             "fx:addComponent(board)\n"
             "mesh.layer = 5\n"  // a copy went in
             "fx:addComponent(mesh)\n"
             "return fx\n");
    const EffectParams fx = kesh::theLuaConfig->runFileAs<EffectParams>(L"effect.lua");
    ASSERT_EQ(fx.plainMeshes.size(), 2u);
    ASSERT_EQ(fx.billboards.size(), 1u);
    EXPECT_EQ(fx.plainMeshes[0].layer, 2u);
    EXPECT_EQ(fx.plainMeshes[1].layer, 5u);
    EXPECT_EQ(fx.plainMeshes[0].mesh.id, "glow.wfm");
    EXPECT_EQ(fx.plainMeshes[0].texture.id, "glow.dds");
    EXPECT_FLOAT_EQ(fx.plainMeshes[0].uSpeed, 0.5f);
    EXPECT_FLOAT_EQ(fx.plainMeshes[0].vSpeed, -1.0f);
    EXPECT_TRUE(fx.plainMeshes[0].zTest);  // the record's defaults for what is not bound
    EXPECT_EQ(fx.billboards[0].texture.id, "flare.dds");
    EXPECT_FLOAT_EQ(fx.billboards[0].size.y, 3.0f);
    EXPECT_EQ(fx.billboards[0].orientation, 1);
    EXPECT_FLOAT_EQ(fx.billboards[0].color.a, 1.0f);
}

TEST_F(EffectScriptTest, AComponentAloneIsNotAnEffect) {
    writeArt("config/wrong.lua", "return PlainMeshComponent()\n");
    EXPECT_THROW(kesh::theLuaConfig->runFileAs<EffectParams>(L"wrong.lua"), luabind::cast_failed);
}

}  // namespace
