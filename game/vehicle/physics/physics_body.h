// A PhysicsObject that also owns one ODE body and its mass record.
#pragma once

#include "engine/core/transform.h"
#include "game/vehicle/physics/physics_object.h"

class PhysicsBody : public PhysicsObject {
public:
    PhysicsBody();
    // Destroys the body, then (as a PhysicsObject) the geoms.
    ~PhysicsBody() override;

    // Destroys the body held before (unless it is b itself) and holds b.
    void setBody(dBodyID b);

    // Sets only the body's rotation from t (scale included); the body's position stays.
    // Does nothing while there is no body.
    virtual void setTransform(const kesh::Transform& t);
    // Replaces t's rotation with the body's and its scale with 1; t keeps its position.
    // Leaves t alone while there is no body.
    virtual void getTransform(kesh::Transform& t);

    dBodyID body;  // null until setBody
    dMass mass;
};
