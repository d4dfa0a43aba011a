#include <d3dx9math.h>
#include <luabind/luabind.hpp>

#include <string>

#include "engine/core/resource/resource_id.h"
#include "tests/core_lua/lua_fixture.h"

using testing_lua::LuaTest;

typedef LuaTest LuaTypes;

TEST_F(LuaTypes, Vec3ConstructsAndChangesInPlaceThroughItsBase) {
    writeScript("v.lua",
                "local v = vec3(1, 2, 3)\n"
                "assert(v.y == 2)\n"
                "v.z = 5\n"
                "return v\n");
    const D3DXVECTOR3 v = runAndCollect<D3DXVECTOR3>("v.lua");
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 2.0f);
    EXPECT_EQ(v.z, 5.0f);
    // A vec3 is a __vec3 to luabind, so it casts to its base as well.
    writeScript("base.lua", "return vec3(7, 8, 9)\n");
    EXPECT_EQ(runAndCollect<_D3DVECTOR>("base.lua").y, 8.0f);
}

TEST_F(LuaTypes, ConstructorsStoreTheirArgumentsInFieldOrder) {
    writeScript("c.lua", "local c = color(0.25, 0.5, 0.75, 1)\nc.g = 0.125\nreturn c\n");
    const D3DXCOLOR c = runAndCollect<D3DXCOLOR>("c.lua");
    EXPECT_EQ(c.r, 0.25f);
    EXPECT_EQ(c.g, 0.125f);
    EXPECT_EQ(c.b, 0.75f);
    EXPECT_EQ(c.a, 1.0f);

    writeScript("v2.lua", "local v = vec2(6, 7)\nv.x = v.y\nreturn v\n");
    const D3DXVECTOR2 v2 = runAndCollect<D3DXVECTOR2>("v2.lua");
    EXPECT_EQ(v2.x, 7.0f);
    EXPECT_EQ(v2.y, 7.0f);
}

TEST_F(LuaTypes, EnumerationConstants) {
    EXPECT_EQ(runSnippet("assert(FogMode.NONE == 0 and FogMode.EXP == 1 and FogMode.EXP2 == 2 "
                         "and FogMode.LINEAR == 3)"),
              "");
    EXPECT_EQ(runSnippet("assert(MipFilter.NONE == nil and MipFilter.POINT == 1 and "
                         "MipFilter.LINEAR == 2 and MipFilter.ANISOTROPIC == 3)"),
              "");
}

TEST_F(LuaTypes, ResourceIdentifierIsReadOnly) {
    writeScript("r.lua", "local r = res('misc/a.dds')\nassert(r.id == 'misc/a.dds')\nreturn r\n");
    EXPECT_EQ(runAndCollect<kesh::ResourceId>("r.lua").id, "misc/a.dds");
    EXPECT_NE(runSnippet("local r = res('a')\nr.id = 'b'"), "");
    EXPECT_NE(runSnippet("res(5)"), "");
}

TEST_F(LuaTypes, ConstructorsRefuseWrongArguments) {
    for (const char* call :
         {"vec2(1)", "vec2('a', 1)", "vec3(1, 2)", "vec3(1, 2, 3, 4)", "color(1, 2, 3)",
          "quaternion(1, 2, 3, '4')", "vec4()", "__vec3()", "res()", "res('a', 'b')"}) {
        EXPECT_NE(runSnippet(call), "") << call;
    }
}

TEST_F(LuaTypes, WrongReturnTypeFailsTheCast) {
    writeScript("q.lua", "return quaternion(1, 2, 3, 4)\n");
    EXPECT_THROW(config_->runFileAs<D3DXVECTOR3>(L"q.lua"), luabind::cast_failed);
}
