#include "game/vehicle/physics/physics_space.h"

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
