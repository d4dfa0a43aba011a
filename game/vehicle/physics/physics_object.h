// The base of everything that owns ODE geoms: statics, the ground plane, the wheels, the car.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/transform.h"
#include "game/vehicle/physics/ode_compat.h"

class PhysicsSpace;

class PhysicsObject {
public:
    PhysicsObject();
    // Destroys every geom the object holds (which also takes each out of its space).
    virtual ~PhysicsObject();
    PhysicsObject(const PhysicsObject&) = delete;
    PhysicsObject& operator=(const PhysicsObject&) = delete;

    // Takes ownership of g and puts it into the object's space when there is one. A null geom
    // or one the object already holds is ignored.
    void addGeom(dGeomID g);
    // Takes ownership of g, placed at `placement` inside a new geom transform; contacts then
    // report the transform, and destroying the transform destroys g. Ignores a null geom.
    void addTransformedGeom(dGeomID g, const kesh::Transform& placement);
    // Moves every geom into s; a null space takes them out of any space.
    void setSpace(PhysicsSpace* s);

    // Walk over the geoms: firstGeom rewinds (null when there is none), nextGeom advances until
    // past the last, currentGeom is null past the last. Adding geoms keeps the walk position.
    dGeomID firstGeom();
    void nextGeom();
    dGeomID currentGeom() const;

    // Destroys every geom and releases the list's storage.
    void destroyGeoms();

    // With feedback on, this object's contacts record the forces they apply, and
    // getCollisionImpulse reports their sum over the last world step.
    void setFeedback(bool on) { feedback = on; }
    // The impulse of the last world step, or (0, 0, 0) without feedback or without a space.
    void getCollisionImpulse(float out[3]) const;

    // Queues every box and capped cylinder (also inside a geom transform) on the debug renderer
    // as a box with those flags and that colour; other shapes are not drawn.
    void debugDraw(std::uint32_t flags, std::uint32_t colour) const;

    std::vector<dGeomID> geoms;  // owned, in the order added
    std::size_t cursor;          // index into geoms; at or past the end means "no geom"
    bool feedback;
    PhysicsSpace* space;  // null until setSpace
};
