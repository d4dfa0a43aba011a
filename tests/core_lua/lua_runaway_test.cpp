// The instruction allowance holds whatever a script catches or wherever it loops, and the
// bounded pattern matcher answers as Lua's own does.
#include <gmock/gmock.h>

#include <vector>

#include "tests/core_lua/lua_fixture.h"

namespace {

using testing::HasSubstr;

constexpr int kAllowance = 2000000;

class LuaRunaway : public testing_lua::LuaTest {
protected:
    LuaRunaway() {
        kesh::LuaLimits limits;
        limits.instructions = kAllowance;
        open(limits);
    }
};

TEST_F(LuaRunaway, EveryEvasionEndsInScriptRanTooLong) {
    const char* scripts[] = {
        "while true do pcall(function() while true do end end) end",
        "xpcall(function() error('x') end, function() while true do end end)",
        "while true do xpcall(function() while true do end end, print) end",
        "while true do load(function() while true do end end) end",
        "string.find(('a'):rep(40), ('a*'):rep(40) .. 'b')",
        "while true do pcall(string.match, ('a'):rep(40), ('a*'):rep(40) .. 'b') end",
        "string.find(('a'):rep(1e5), 'a*b')",
        "('a'):rep(1e5):gsub('(a-)%1b', '')",
        "string.find(('a'):rep(1e6), ('a'):rep(1e4) .. 'b', 1, true)",
        "for i = 1, 1e9 do string.rep('', 2^30) end",
        "local t = setmetatable({}, {__len = function() return 1e8 end}) table.insert(t, 1, 0)",
        "local s = ('x'):rep(2^20) while true do local u = s:upper() end",
        "local t = {} for i = 1, 2e5 do t[i] = {} end while true do collectgarbage() end",
    };
    for (const char* script : scripts) {
        EXPECT_THAT(failureOf(script), HasSubstr("script ran too long (more than 2000000 "
                                                 "instructions)"))
            << script;
    }
    EXPECT_EQ(failureOf("assert(pcall(error) == false)"), "");
}

TEST_F(LuaRunaway, NoScriptCodeRunsAsAFinaliser) {
    EXPECT_THAT(failureOf("setmetatable({}, {__gc = function() while true do end end})"),
                HasSubstr("setmetatable: scripts may not set finalisers (__gc)"));
    EXPECT_EQ(failureOf("assert(getmetatable(io.stdout) == false)"), "");
    // luabind would call __finalize with hooks off; it is never found.
    EXPECT_EQ(failureOf("class 'Spin' function Spin:__init() end "
                        "function Spin:__finalize() while true do end end "
                        "function vec3:__finalize() while true do end end "
                        "local a, b = Spin(), vec3(1, 2, 3) a, b = nil, nil collectgarbage()"),
              "");
    collectGarbage();
}

// The replaced functions against Lua's own, on a bare state of the interpreter.
TEST_F(LuaRunaway, ReplacedFunctionsAnswerAsLuasOwn) {
    lua_State* reference = luaL_newstate();
    luaL_requiref(reference, "_G", luaopen_base, 1);
    luaL_requiref(reference, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(reference, LUA_TABLIBNAME, luaopen_table, 1);
    const char* expressions[] = {
        "s:find('o w')",
        "s:find('o', 6)",
        "s:find('l+', -5)",
        "s:find('x', 40)",
        "s:find('.-', 3, true)",
        "s:find('^hel')",
        "s:find('^el')",
        "s:find('()ll()')",
        "s:find('(l)(l)')",
        "s:find('')",
        "s:find('%s*$')",
        "s:match('(%a+) (%a+)')",
        "s:match('%f[%w]%w+$')",
        "s:match('[^%s]+', 7)",
        "s:match('[a-f%]]+')",
        "('x = (a(b)c)'):match('%b()')",
        "('abcabc'):match('(abc)%1')",
        "('a.b-c'):match('[%.%-]')",
        "('  x  '):match('^%s*(.-)%s*$')",
        "s:gsub('o', '0')",
        "s:gsub('(%w+)', '<%1>')",
        "s:gsub('%w+', '%0%0', 1)",
        "s:gsub('', '-')",
        "s:gsub('l', {l = 'L'})",
        "s:gsub('%w+', string.upper)",
        "s:gsub('(h)(e)', function(a, b) return nil end)",
        "('abc'):gsub('%w', '%%')",
        "table.concat({('a,b,,c'):gsub(',', ';')}, '|')",
        "(function() local r = {} for k, v in ('a=1, b=2'):gmatch('(%w+)=(%w+)') do "
        "r[#r + 1] = k .. v end return table.concat(r, ' ') end)()",
        "(function() local n = 0 for _ in ('abc'):gmatch('x*') do n = n + 1 end return n end)()",
        "s:find('%')",
        "s:find('[a')",
        "s:find('(()')",
        "s:find('%1')",
        "s:find('%f')",
        "s:gsub('o', '%2')",
        "s:gsub('o', true)",
        "s:find(('('):rep(40))",
        "s:match(('a?'):rep(300))",
        "s:find('%bx')",
        // The functions that charge their work, with their own checks.
        "s:rep(3, ',')",
        "s:rep(-1)",
        "s:rep()",
        "collectgarbage('count') > 0",
        "collectgarbage('nonsense')",
        "setmetatable(1, {})",
        "setmetatable({}, 1)",
        "table.insert(nil, 1)",
        "table.insert({}, 3, 1)",
        "table.insert({}, 1, 2, 3)",
        "table.remove({1, 2}, 7)",
        "table.remove({1, 2}, 1)",
        "table.sort({3, 1}, 1)",
        "(function() local t = {3, 1, 2} table.sort(t) table.insert(t, 2, 9) "
        "return table.concat(t, ' ') end)()",
    };
    const auto answer = [](lua_State* state, const std::string& expression) {
        const std::string chunk = "local s = 'hello world' return tostring(select('#', " +
                                  expression + ")) .. ': ' .. table.concat({" + expression +
                                  "}, ', ')";
        luaL_loadstring(state, chunk.c_str());
        lua_pcall(state, 0, 1, 0);
        std::string text = lua_tostring(state, -1);
        lua_settop(state, 0);
        // An error's place is the first line of either chunk; only Lua's message is compared.
        return text.substr(text.find(':', text.find("]:") + 2) + 1);
    };
    for (const std::string expression : expressions) {
        EXPECT_EQ(answer(L, expression), answer(reference, expression)) << expression;
    }
    lua_close(reference);
}

class LuaLongText : public testing_lua::LuaTest {};

TEST_F(LuaLongText, OrdinaryWorkOnMegabytesFitsTheGamesAllowance) {
    EXPECT_EQ(failureOf("local text = ('key = value  # note\\n'):rep(3e4) "
                        "local n = 0 for k, v in text:gmatch('(%w+)%s*=%s*(%w+)') do n = n + 1 end "
                        "assert(n == 3e4) assert(select(2, text:gsub('%s+', ' ')) == 1.5e5) "
                        "assert(text:find('missing', 1, true) == nil) "
                        "assert(text:find('%d') == nil) assert(#text:upper() == #text) "
                        "local t = {} for i = 1, 1e5 do t[i] = (i * 7919) % 1e5 end "
                        "table.sort(t) table.insert(t, 1, -1) assert(table.remove(t, 1) == -1) "
                        "assert(#table.concat(t, ',') > 0)"),
              "");
}

}  // namespace
