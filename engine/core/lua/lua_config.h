// The script host: runs the game's configuration scripts on the application's Lua state. A
// script builds one record from the bound classes and returns it; the caller takes that value
// and casts it to the record type (runFileAs does all of it).
//
// The state must have luabind opened on it before the host is built, and must outlive the
// host. The host registers the engine's own Lua types and the globals `cprint` and `include`.
#pragma once

#include <lua.hpp>
#include <luabind/object.hpp>

#include <memory>
#include <string>

namespace kesh {

class IncludeHelper;

class LuaConfig {
public:
    // basePath is the folder script names are resolved against, with its trailing separator.
    LuaConfig(lua_State* L, const std::wstring& basePath);
    ~LuaConfig();
    LuaConfig(const LuaConfig&) = delete;
    LuaConfig& operator=(const LuaConfig&) = delete;

    // Runs basePath + name and leaves whatever the script returned on the Lua stack. Throws
    // std::runtime_error "Lua parse error" when the file is missing, unreadable or empty, and
    // the "Lua error (...)" texts for compile and run failures (the error value then stays on
    // the stack).
    void runFile(const std::wstring& name);

    // Runs the script and returns the first value it returned, leaving the stack as it was
    // (also on failure). A script that returned nothing is a std::runtime_error naming it.
    luabind::object runFileResult(const std::wstring& name);

    // The record the script returned, copied; luabind::cast_failed when the script returned
    // something else.
    template <class Record>
    Record runFileAs(const std::wstring& name) {
        return luabind::object_cast<Record>(runFileResult(name));
    }

    // Registers the engine's value types: the enumerations FogMode and MipFilter and the
    // classes res, color, quaternion, vec4, __vec3, vec3 and vec2.
    static void registerTypes(lua_State* L);

private:
    lua_State* L;
    std::unique_ptr<IncludeHelper> include_;
    std::wstring basePath_;
};

// The game's script host over the art folder's "config/", published by the game object.
extern LuaConfig* theLuaConfig;

}  // namespace kesh
