#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/physics/physics_object.h"

namespace {

// Rotation then translation of a placed geom, as a row-vector matrix.
D3DXMATRIX placementOf(dGeomID g) {
    dQuaternion q;
    dGeomGetQuaternion(g, q);
    const D3DXQUATERNION rotation(static_cast<float>(q[1]), static_cast<float>(q[2]),
                                  static_cast<float>(q[3]), static_cast<float>(q[0]));
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &rotation);
    const dReal* position = dGeomGetPosition(g);
    m._41 = static_cast<float>(position[0]);
    m._42 = static_cast<float>(position[1]);
    m._43 = static_cast<float>(position[2]);
    return m;
}

// The scaling that turns the unit box into the shape of g; false for shapes not drawn.
bool unitBoxScaling(dGeomID g, D3DXMATRIX* scaling) {
    const int geomClass = dGeomGetClass(g);
    if (geomClass == ode_compat::boxClass) {
        dVector3 lengths;
        dGeomBoxGetLengths(g, lengths);
        D3DXMatrixScaling(scaling, static_cast<float>(lengths[0]), static_cast<float>(lengths[1]),
                          static_cast<float>(lengths[2]));
        return true;
    }
    if (geomClass == ode_compat::cappedCylinderClass) {
        dReal radius = 0.0;
        dReal length = 0.0;
        ode_compat::geomCCylinderGetParams(g, &radius, &length);
        const float across = static_cast<float>(2.0 * radius);
        D3DXMatrixScaling(scaling, across, across, static_cast<float>(2.0 * radius + length));
        return true;
    }
    return false;
}

}  // namespace

void PhysicsObject::debugDraw(std::uint32_t flags, std::uint32_t colour) const {
    kesh::DebugRenderer* renderer = kesh::theDebugRenderer;
    if (!renderer) {
        return;
    }
    for (dGeomID g : geoms) {
        // Only boxes and capped cylinders are drawn, so the shape is known before any placement
        // is read: a plane has no position to read.
        dGeomID shape = g;
        if (dGeomGetClass(g) == ode_compat::geomTransformClass) {
            shape = ode_compat::geomTransformGetGeom(g);
            if (!shape) {
                continue;
            }
        }
        D3DXMATRIX world;
        if (!unitBoxScaling(shape, &world)) {
            continue;
        }
        if (shape != g) {
            world *= placementOf(shape);
        }
        world *= placementOf(g);
        renderer->addBox(&world, colour, flags);
    }
}
