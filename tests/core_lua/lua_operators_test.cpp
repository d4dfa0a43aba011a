// Operators on bound objects that no class defines: each script is one of the inputs that used
// to end the whole process inside luabind, and must fail as an ordinary run-time error.
#include <d3dx9math.h>

#include <stdexcept>
#include <string>

#include "tests/core_lua/lua_fixture.h"

using testing_lua::LuaTest;

typedef LuaTest LuaOperators;

namespace {

std::string errorOf(kesh::LuaConfig& config, const std::string& name) {
    try {
        config.runFile(kesh::toWide(name));
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(no error)";
}

struct OperatorCase {
    const char* script;
    const char* message;
};

}  // namespace

TEST_F(LuaOperators, UndefinedOperatorIsARunErrorWhicheverSideTheObjectIsOn) {
    const OperatorCase cases[] = {
        {"return 1 + vec3(1, 2, 3)", "class vec3: no __add operator defined."},
        {"return nil < vec3(1, 2, 3)", "class vec3: no __lt operator defined."},
        {"return 1 < res('a')", "class res: no __lt operator defined."},
        {"return 1 <= res('a')", "class res: no __le operator defined."},
        {"return 'x' .. color(1, 2, 3, 4)", "class color: no __concat operator defined."},
        {"return 2 ^ vec2(1, 2)", "class vec2: no __pow operator defined."},
        {"return 2 - vec4(1, 2, 3, 4)", "class vec4: no __sub operator defined."},
        {"return 2 * quaternion(1, 2, 3, 4)", "class quaternion: no __mul operator defined."},
        {"return 2 / vec3(1, 2, 3)", "class vec3: no __div operator defined."},
        {"return 2 % vec3(1, 2, 3)", "class vec3: no __mod operator defined."},
        {"return vec3(1, 2, 3) + 1", "class vec3: no __add operator defined."},
        {"return vec3(1, 2, 3) < vec3(1, 2, 3)", "class vec3: no __lt operator defined."},
        {"return -vec3(1, 2, 3)", "class vec3: no __unm operator defined."},
        {"return #res('a')", "class res: no __len operator defined."},
        {"return vec3(1, 2, 3)()", "class vec3: no __call operator defined."},
        // The left operand names the class when both are bound objects.
        {"return res('a') .. vec3(1, 2, 3)", "class res: no __concat operator defined."},
    };
    for (const OperatorCase& entry : cases) {
        writeScript("op.lua", std::string(entry.script) + "\n");
        const std::string error = errorOf(*config_, "op.lua");
        const std::string prefix = "Lua error (1): Error while executing `" + folder_ + "op.lua': ";
        EXPECT_EQ(error.compare(0, prefix.size(), prefix), 0) << entry.script << ": " << error;
        EXPECT_NE(error.find(entry.message), std::string::npos) << entry.script << ": " << error;
        lua_settop(L, 0);
    }
    // The state is still usable afterwards.
    writeScript("after.lua", "return vec3(4, 5, 6)\n");
    EXPECT_EQ(runAndCollect<D3DXVECTOR3>("after.lua").y, 5.0f);
}

TEST_F(LuaOperators, ProtectedCallCatchesTheErrorInsideTheScript) {
    EXPECT_EQ(runSnippet("local ok, message = pcall(function() return 1 + vec3(1, 2, 3) end)\n"
                         "assert(not ok and message:find('no __add operator defined', 1, true))"),
              "");
}

TEST_F(LuaOperators, DefaultsAndOperatorsThatAClassDefinesStillWork) {
    // Identity comparison and the default text need no operator of the class.
    EXPECT_EQ(runSnippet("local v = vec3(1, 2, 3)\n"
                         "assert(v == v and v ~= vec3(1, 2, 3) and v ~= 1)\n"
                         "assert(tostring(v):find('vec3', 1, true))"),
              "");
    // A class written in Lua that defines its operators reaches them from either side.
    EXPECT_EQ(runSnippet("class 'Pair'\n"
                         "function Pair:__init(n) self.n = n end\n"
                         "function Pair:__add(other) return 5 end\n"
                         "function Pair:__lt(other) return true end\n"
                         "function Pair:__call(x) return x * 2 end\n"
                         "assert(Pair(1) + 1 == 5 and 1 + Pair(1) == 5)\n"
                         "assert(Pair(1) < 1 and 1 < Pair(1) and Pair(1) < Pair(2))\n"
                         "assert(Pair(1)(21) == 42)"),
              "");
    EXPECT_NE(runSnippet("class 'Lone'\n"
                         "function Lone:__init() end\n"
                         "return 1 - Lone()")
                  .find("class Lone: no __sub operator defined."),
              std::string::npos);
}
