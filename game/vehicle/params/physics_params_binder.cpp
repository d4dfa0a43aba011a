// Scripts reach the surfaces of a Collisions object as references to its own records, and
// assigning a Surface to one copies the values in: the record never points at an object the
// Lua collector owns.
#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_binder_registry.h"
#include "game/vehicle/params/physics_params.h"

namespace physics {
namespace params {

void registerPhysicsParams(lua_State* L) {
    using luabind::class_;
    using luabind::constructor;
    using luabind::value;

    luabind::module(
        L, "physics")[class_<SPhysicalSurface>("Surface")
                          .def(constructor<>())
                          .enum_("constants")[value("SOFT_ERP", SPhysicalSurface::SOFT_ERP),
                                              value("BOUNCE", SPhysicalSurface::BOUNCE),
                                              value("SOFT_CFM", SPhysicalSurface::SOFT_CFM)]
                          .def_readwrite("miu", &SPhysicalSurface::miu)
                          .def_readwrite("bounciness", &SPhysicalSurface::bounciness)
                          .def_readwrite("bounce_velocity", &SPhysicalSurface::bounce_velocity)
                          .def_readwrite("soft_erp", &SPhysicalSurface::soft_erp)
                          .def_readwrite("soft_cfm", &SPhysicalSurface::soft_cfm)
                          .def_readwrite("flags", &SPhysicalSurface::flags)
                          .def_readwrite("orient_friction", &SPhysicalSurface::orient_friction)
                          .def_readwrite("contact_dampener", &SPhysicalSurface::contact_dampener),
                      class_<SCollisions>("Collisions")
                          .def(constructor<>())
                          .def_readwrite("car_to_terrain", &SCollisions::terrainRecord)
                          .def_readwrite("car_to_buildings", &SCollisions::buildingsRecord)];
}

namespace {

const kesh::LuaBinderRegistration registration(kesh::kPhysicsParamsBinder, registerPhysicsParams);

}  // namespace

}  // namespace params
}  // namespace physics

// Named in the library's link options, so that every program keeps this object file and with
// it the registration above.
extern "C" void morvale_link_physics_params_binder() {}
