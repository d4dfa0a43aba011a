// The engine's value types as scripts see them. Only constructors and fields are bound: a
// constructor takes exactly its count of numbers (a string for res), anything else matches no
// overload and raises a Lua error.
#include <d3dx9math.h>
#include <luabind/luabind.hpp>

#include <string>

#include "engine/core/lua/lua_config.h"
#include "engine/core/lua/lua_protect.h"
#include "engine/core/resource/resource_id.h"

namespace kesh {

namespace {

// The enumerations are plain tables of constants: scripts only read them, and a name that
// does not exist (MipFilter has no NONE) reads as nil, where a luabind class would raise.
int registerEnumerations(lua_State* L) {
    lua_createtable(L, 0, 4);
    lua_pushinteger(L, 0);
    lua_setfield(L, -2, "NONE");
    lua_pushinteger(L, 1);
    lua_setfield(L, -2, "EXP");
    lua_pushinteger(L, 2);
    lua_setfield(L, -2, "EXP2");
    lua_pushinteger(L, 3);
    lua_setfield(L, -2, "LINEAR");
    lua_setglobal(L, "FogMode");

    lua_createtable(L, 0, 3);
    lua_pushinteger(L, 1);
    lua_setfield(L, -2, "POINT");
    lua_pushinteger(L, 2);
    lua_setfield(L, -2, "LINEAR");
    lua_pushinteger(L, 3);
    lua_setfield(L, -2, "ANISOTROPIC");
    lua_setglobal(L, "MipFilter");
    return 0;
}

}  // namespace

void LuaConfig::registerTypes(lua_State* L) {
    using luabind::class_;
    using luabind::constructor;

    runProtected(L, registerEnumerations, nullptr);

    // __vec3 goes before vec3: a derived class needs its base registered first.
    luabind::module(L)[class_<ResourceId>("res")
                           .def(constructor<const std::string&>())
                           .def_readonly("id", &ResourceId::id),
                       class_<D3DXCOLOR>("color")
                           .def(constructor<float, float, float, float>())
                           .def_readwrite("r", &D3DXCOLOR::r)
                           .def_readwrite("g", &D3DXCOLOR::g)
                           .def_readwrite("b", &D3DXCOLOR::b)
                           .def_readwrite("a", &D3DXCOLOR::a),
                       class_<D3DXQUATERNION>("quaternion")
                           .def(constructor<float, float, float, float>())
                           .def_readwrite("x", &D3DXQUATERNION::x)
                           .def_readwrite("y", &D3DXQUATERNION::y)
                           .def_readwrite("z", &D3DXQUATERNION::z)
                           .def_readwrite("w", &D3DXQUATERNION::w),
                       class_<D3DXVECTOR4>("vec4")
                           .def(constructor<float, float, float, float>())
                           .def_readwrite("x", &D3DXVECTOR4::x)
                           .def_readwrite("y", &D3DXVECTOR4::y)
                           .def_readwrite("z", &D3DXVECTOR4::z)
                           .def_readwrite("w", &D3DXVECTOR4::w),
                       class_<_D3DVECTOR>("__vec3")
                           .def_readwrite("x", &_D3DVECTOR::x)
                           .def_readwrite("y", &_D3DVECTOR::y)
                           .def_readwrite("z", &_D3DVECTOR::z),
                       class_<D3DXVECTOR3, luabind::bases<_D3DVECTOR> >("vec3").def(
                           constructor<float, float, float>()),
                       class_<D3DXVECTOR2>("vec2")
                           .def(constructor<float, float>())
                           .def_readwrite("x", &D3DXVECTOR2::x)
                           .def_readwrite("y", &D3DXVECTOR2::y)];
}

}  // namespace kesh
