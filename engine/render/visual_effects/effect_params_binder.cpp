// Scripts build effect descriptions from the component records: `_Component` carries the
// layer, `PlainMeshComponent` and `BillboardComponent` the fields a script may set, and
// `Effect` appends a copy of each component handed to addComponent.
#include <luabind/luabind.hpp>

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/render/visual_effects/effect_params.h"

namespace kesh {
namespace effect {

void registerEffectParams(lua_State* L) {
    using luabind::bases;
    using luabind::class_;
    using luabind::constructor;

    typedef void (EffectParams::*AddPlainMesh)(const PlainMeshComponentParams&);
    typedef void (EffectParams::*AddBillboard)(const BillboardComponentParams&);

    luabind::module(
        L)[class_<ComponentParams>("_Component").def_readwrite("layer", &ComponentParams::layer),
           class_<PlainMeshComponentParams, bases<ComponentParams>>("PlainMeshComponent")
               .def(constructor<>())
               .def_readwrite("mesh", &PlainMeshComponentParams::mesh)
               .def_readwrite("texture", &PlainMeshComponentParams::texture)
               .def_readwrite("uSpeed", &PlainMeshComponentParams::uSpeed)
               .def_readwrite("vSpeed", &PlainMeshComponentParams::vSpeed),
           class_<BillboardComponentParams, bases<ComponentParams>>("BillboardComponent")
               .def(constructor<>())
               .def_readwrite("texture", &BillboardComponentParams::texture)
               .def_readwrite("size", &BillboardComponentParams::size)
               .def_readwrite("orientation", &BillboardComponentParams::orientation),
           class_<EffectParams>("Effect")
               .def(constructor<>())
               .def("addComponent", static_cast<AddPlainMesh>(&EffectParams::addComponent))
               .def("addComponent", static_cast<AddBillboard>(&EffectParams::addComponent))];
}

namespace {

const LuaBinderRegistration registration(kEffectParamsBinder, registerEffectParams);

}  // namespace

}  // namespace effect
}  // namespace kesh

// Named in the library's link options, so that every program keeps this object file and with
// it the registration above.
extern "C" void morvale_link_effect_params_binder() {}
