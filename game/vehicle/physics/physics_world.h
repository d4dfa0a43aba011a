// The level's ODE world with the contact joints of one step and the collision impulses they
// leave behind. Nothing is allocated per step: every table is fixed inside the object.
#pragma once

#include <cstdint>

#include "game/vehicle/params/physics_params.h"
#include "game/vehicle/physics/ode_compat.h"

class PhysicsObject;
class PhysicsSpace;

class PhysicsWorld {
public:
    static constexpr int maxContacts = 256;  // contacts per gather
    static constexpr int maxFeedback = 256;  // feedback records per step

    // Initialises ODE for the process when this is the first world.
    PhysicsWorld();
    // Destroying the ODE world destroys its bodies: every body, object and space built on this
    // world must be gone first.
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // Collides every geom of object against every geom of other into contacts; stops when
    // the table is full.
    void gatherContacts(PhysicsObject& object, const PhysicsSpace& other);
    // One contact joint per contact of object against other, made with surface. Contacts of an
    // object with feedback on count towards its impulse of this step.
    void collide(PhysicsObject& object, const PhysicsSpace& other,
                 const physics::params::SPhysicalSurface& surface);
    // Makes one contact joint, alive until the next step. Returns the feedback record used, or
    // -1 without feedback; when the feedback table is full the joint is made without one.
    std::int32_t addContactJoint(const dContactGeom& contact,
                                 const physics::params::SPhysicalSurface& surface,
                                 bool withFeedback);
    // Whether g (or the geom inside a geom transform) has an orientation a friction direction
    // can be taken from.
    static bool canOrientFriction(dGeomID g);

    // Advances the world by dt, turns this step's feedback into impulses and drops the joints.
    void step(float dt);
    // Contact joints made since the last step.
    std::int32_t collisionCount() const { return jointCount; }
    // Contacts the last gatherContacts found.
    std::int32_t contactsGathered() const { return contactCount; }
    // The object's impulse of the last step, or (0, 0, 0) when it had no feedback contact.
    void impulseOf(float out[3], const PhysicsObject* object) const;
    // The ODE world, for the bodies built on it.
    dWorldID id() const { return world; }

    // Called, when set, just before each step's solve, with the bodies' forces and this
    // step's contact joints in place: benchmarks replay them elsewhere. Null in the game.
    static void (*beforeSolve)(const PhysicsWorld& world);

private:
    friend struct PhysicsWorldProbe;

    dWorldID world;
    dJointGroupID contactGroup;
    dContactGeom contacts[maxContacts];
    dJointFeedback feedback[maxFeedback];
    PhysicsObject* feedbackOwner[maxFeedback];
    float impulse[maxFeedback][3];
    PhysicsObject* impulseOwner[maxFeedback];
    std::int32_t impulseOwnerCount;
    std::int32_t jointCount;
    std::int32_t feedbackCount;
    std::int32_t contactCount;
};
