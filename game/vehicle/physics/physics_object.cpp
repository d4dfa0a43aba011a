#include "game/vehicle/physics/physics_object.h"

#include <algorithm>

#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"

namespace {

dSpaceID spaceIdOf(const PhysicsSpace* space) {
    return space ? space->id : nullptr;
}

// ODE keeps a geom in at most one space and corrupts its lists when asked to add a geom that
// is already in one or to remove it from one it is not in, so the move goes by where the
// geom actually is.
void moveToSpace(dGeomID g, dSpaceID target) {
    const dSpaceID current = dGeomGetSpace(g);
    if (current == target) {
        return;
    }
    if (current) {
        dSpaceRemove(current, g);
    }
    if (target) {
        dSpaceAdd(target, g);
    }
}

}  // namespace

PhysicsObject::PhysicsObject() : cursor(0), feedback(false), space(nullptr) {}

PhysicsObject::~PhysicsObject() {
    destroyGeoms();
}

void PhysicsObject::addGeom(dGeomID g) {
    if (!g || std::find(geoms.begin(), geoms.end(), g) != geoms.end()) {
        return;
    }
    geoms.push_back(g);
    if (const dSpaceID target = spaceIdOf(space)) {
        moveToSpace(g, target);
    }
}

void PhysicsObject::addTransformedGeom(dGeomID g, const kesh::Transform& placement) {
    if (!g) {
        return;
    }
    // A geom inside a transform must not be in a space of its own.
    moveToSpace(g, nullptr);
    const dGeomID t = ode_compat::createGeomTransform(nullptr);
    ode_compat::geomTransformSetGeom(t, g);
    ode_compat::geomTransformSetCleanup(t, 1);
    ode_compat::geomTransformSetInfo(t, 1);
    dGeomSetPosition(g, placement.position.x, placement.position.y, placement.position.z);
    const D3DXQUATERNION& r = placement.rotation;
    const dQuaternion q = {r.w, r.x, r.y, r.z};
    dGeomSetQuaternion(g, q);
    // The transform was made just now, so it cannot be in the list: a house of many part boxes
    // would otherwise search the list once for every box.
    geoms.push_back(t);
    if (const dSpaceID target = spaceIdOf(space)) {
        dSpaceAdd(target, t);
    }
}

void PhysicsObject::setSpace(PhysicsSpace* s) {
    const dSpaceID target = spaceIdOf(s);
    for (dGeomID g : geoms) {
        moveToSpace(g, target);
    }
    space = s;
}

dGeomID PhysicsObject::firstGeom() {
    cursor = 0;
    return currentGeom();
}

void PhysicsObject::nextGeom() {
    if (cursor < geoms.size()) {
        ++cursor;
    }
}

dGeomID PhysicsObject::currentGeom() const {
    return cursor < geoms.size() ? geoms[cursor] : nullptr;
}

void PhysicsObject::destroyGeoms() {
    // ODE's spaces search a block's geoms from the newest and their list of moved geoms on every
    // removal: settled first and taken out newest first, each geom is found at once.
    if (!geoms.empty()) {
        if (const dSpaceID in = dGeomGetSpace(geoms.front())) {
            dSpaceClean(in);
        }
    }
    for (auto g = geoms.rbegin(); g != geoms.rend(); ++g) {
        dGeomDestroy(*g);
    }
    std::vector<dGeomID>().swap(geoms);
    cursor = 0;
}

void PhysicsObject::getCollisionImpulse(float out[3]) const {
    if (feedback && space && space->world) {
        space->world->impulseOf(out, this);
        return;
    }
    out[0] = out[1] = out[2] = 0.0f;
}
