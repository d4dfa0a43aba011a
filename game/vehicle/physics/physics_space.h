// A collision space that remembers the world its objects collide in.
#pragma once

#include "game/vehicle/physics/ode_compat.h"

class PhysicsWorld;

// An ODE simple space. It keeps ODE's default clean-up mode: destroying the space destroys the
// geoms still inside it, so every PhysicsObject with geoms in it must be destroyed first.
class PhysicsSpace {
public:
    explicit PhysicsSpace(PhysicsWorld& world);
    // Destroys the space unless destroy() already did.
    ~PhysicsSpace();
    PhysicsSpace(const PhysicsSpace&) = delete;
    PhysicsSpace& operator=(const PhysicsSpace&) = delete;

    // Destroys the ODE space (and the geoms left in it); id is null afterwards.
    void destroy();

    dSpaceID id;
    PhysicsWorld* world;
};
