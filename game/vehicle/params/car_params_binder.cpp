// Scripts reach the wheel setups, the controller, the cameras and the wheel meshes of a Car
// as references to its own records, and assigning an object to one of them copies the values
// in: the record never points at an object the Lua collector owns.
#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_binder_registry.h"
#include "game/vehicle/params/car_params.h"

namespace car {
namespace params {

void registerCarParams(lua_State* L) {
    using luabind::bases;
    using luabind::class_;
    using luabind::constructor;

    luabind::module(
        L)[class_<SBaseParams>("__base_morvale_mesh")
               .def(constructor<>())
               .def_readwrite("object", &SBaseParams::object)
               .def_readwrite("effect", &SBaseParams::effect),
           class_<SCarWheelSetup>("CarWheel")
               .def(constructor<>())
               .def_readwrite("turn_freedom", &SCarWheelSetup::turn_freedom)
               .def_readwrite("suspension_height", &SCarWheelSetup::suspension_height),
           class_<SBasicWheelSetup, bases<SCarWheelSetup> >("BasicWheel")
               .def(constructor<>())
               .def_readwrite("mass", &SBasicWheelSetup::mass)
               .def_readwrite("side_friction", &SBasicWheelSetup::side_friction)
               .def_readwrite("front_friction", &SBasicWheelSetup::front_friction),
           class_<SCarController>("CarController")
               .def(constructor<>())
               .def_readwrite("accel_power", &SCarController::accel_power)
               .def_readwrite("break_power", &SCarController::break_power)
               .def_readwrite("steer_tension", &SCarController::steer_tension)
               .def_readwrite("engine_power", &SCarController::engine_power)
               .def_readwrite("break_blocks", &SCarController::break_blocks)
               .def_readwrite("force_feedback", &SCarController::force_feedback)
               .def_readwrite("collision_start_detach", &SCarController::collision_start_detach)
               .def_readwrite("collision_breakpoint", &SCarController::collision_breakpoint)
               .def_readwrite("time_to_reattach", &SCarController::time_to_reattach),
           class_<SCamera>("Camera")
               .def(constructor<>())
               .def_readwrite("inertia", &SCamera::inertia)
               .def_readwrite("distance", &SCamera::distance)
               .def_readwrite("target_offset", &SCamera::target_offset)
               .def_readwrite("angle", &SCamera::angle),
           class_<SCar, bases<SBaseParams> >("Car")
               .def(constructor<>())
               .def_readwrite("side_friction", &SCar::side_friction)
               .def_readwrite("front_friction", &SCar::front_friction)
               .def_readwrite("front_wheels", &SCar::frontWheelsRecord)
               .def_readwrite("back_wheels", &SCar::backWheelsRecord)
               .def_readwrite("mass", &SCar::mass)
               .def_readwrite("mass_ode", &SCar::mass_ode)
               .def_readwrite("width", &SCar::width)
               .def_readwrite("length", &SCar::length)
               .def_readwrite("height", &SCar::height)
               .def_readwrite("mass_translate", &SCar::mass_translate)
               .def_readwrite("controller", &SCar::controllerRecord)
               .def_readwrite("camera_outside", &SCar::cameraOutsideRecord)
               .def_readwrite("camera_inside", &SCar::cameraInsideRecord)
               .def_readwrite("hack_delta_x", &SCar::hack_delta_x)
               .def_readwrite("hack_delta_y", &SCar::hack_delta_y)
               .def_readwrite("hack_delta_z", &SCar::hack_delta_z)
               .def_readwrite("object_bundle", &SCar::object_bundle)
               .def_readwrite("antena", &SCar::antena)
               .def_readwrite("wheel1", &SCar::wheel1Record)
               .def_readwrite("wheel2", &SCar::wheel2Record)
               .def_readwrite("wheel3", &SCar::wheel3Record)
               .def_readwrite("wheel4", &SCar::wheel4Record)];
}

namespace {

const kesh::LuaBinderRegistration registration(kesh::kCarParamsBinder, registerCarParams);

}  // namespace

}  // namespace params
}  // namespace car

// Named in the library's link options, so that every program keeps this object file and with
// it the registration above.
extern "C" void morvale_link_car_params_binder() {}
