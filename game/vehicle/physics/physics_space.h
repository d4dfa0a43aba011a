// A collision space that remembers the world its objects collide in.
#pragma once

#include "game/vehicle/physics/ode_compat.h"

class PhysicsWorld;

// An ODE simple space, until a space of still geoms is turned into a quadtree. It keeps ODE's
// default clean-up mode: destroying the space destroys the geoms still inside it, so every
// PhysicsObject with geoms in it must be destroyed first.
class PhysicsSpace {
public:
    explicit PhysicsSpace(PhysicsWorld& world);
    // Destroys the space unless destroy() already did.
    ~PhysicsSpace();
    PhysicsSpace(const PhysicsSpace&) = delete;
    PhysicsSpace& operator=(const PhysicsSpace&) = delete;

    // Destroys the ODE space (and the geoms left in it); id is null afterwards.
    void destroy();

    // Moves the geoms into a quadtree space over their bounds, in the order the simple space
    // held them, and destroys the simple space. A geom is then collided only with the geoms of
    // the blocks its box reaches: the same contacts as before (in the order the tree visits
    // its blocks), without testing every box of a large level. For geoms that do not move
    // afterwards (a moved geom stays in its block).
    void makeQuadTree();
    // What makeQuadTree does, on a simple space of no parent: returns the quadtree holding its
    // geoms, or the space itself when it is empty or a geom is unbounded (a plane).
    static dSpaceID quadTreeOf(dSpaceID simple);

    dSpaceID id;
    PhysicsWorld* world;
};
