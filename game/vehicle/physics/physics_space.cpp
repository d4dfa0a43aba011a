#include "game/vehicle/physics/physics_space.h"

#include <algorithm>
#include <cmath>
#include <vector>

PhysicsSpace::PhysicsSpace(PhysicsWorld& world) : id(nullptr), world(&world) {
    ode_compat::initialise();
    id = dSimpleSpaceCreate(nullptr);
}

PhysicsSpace::~PhysicsSpace() {
    destroy();
}

void PhysicsSpace::destroy() {
    if (id) {
        dSpaceDestroy(id);
        id = nullptr;
    }
}

void PhysicsSpace::makeQuadTree() {
    if (id && dSpaceGetClass(id) == dSimpleSpaceClass) {
        id = quadTreeOf(id);
    }
}

dSpaceID PhysicsSpace::quadTreeOf(dSpaceID simple) {
    const int count = dSpaceGetNumGeoms(simple);
    if (count == 0) {
        return simple;
    }
    std::vector<dGeomID> geoms;
    geoms.reserve(static_cast<std::size_t>(count));
    dReal bounds[6] = {dInfinity, -dInfinity, dInfinity, -dInfinity, dInfinity, -dInfinity};
    for (int i = 0; i < count; ++i) {
        const dGeomID g = dSpaceGetGeom(simple, i);
        dReal box[6];
        dGeomGetAABB(g, box);
        for (int axis = 0; axis < 3; ++axis) {
            bounds[2 * axis] = std::min(bounds[2 * axis], box[2 * axis]);
            bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], box[2 * axis + 1]);
        }
        geoms.push_back(g);
    }
    dVector3 centre;
    dVector3 extents;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(bounds[2 * axis]) || !std::isfinite(bounds[2 * axis + 1])) {
            return simple;
        }
        centre[axis] = 0.5 * (bounds[2 * axis] + bounds[2 * axis + 1]);
        // A little room, so that boxes on the edge still fit a block below the root.
        extents[axis] = 0.5 * (bounds[2 * axis + 1] - bounds[2 * axis]) + 1.0;
    }
    // Blocks split down to about a building's size on a level of a few hundred metres.
    constexpr int kDepth = 5;
    const dSpaceID tree = dQuadTreeSpaceCreate(nullptr, centre, extents, kDepth);
    // Adding puts a geom first in its list: the last one first keeps the order.
    for (auto g = geoms.rbegin(); g != geoms.rend(); ++g) {
        dSpaceRemove(simple, *g);
        dSpaceAdd(tree, *g);
    }
    dSpaceDestroy(simple);
    return tree;
}
