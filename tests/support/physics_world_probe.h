// The tests' way into the physics world's tables: the contacts of the last gather, the
// feedback records of the step being built and the impulses the last step left.
#pragma once

#include <cstdint>

#include "game/vehicle/physics/physics_world.h"

struct PhysicsWorldProbe {
    static const dContactGeom& contact(const PhysicsWorld& world, int i) {
        return world.contacts[i];
    }
    static std::int32_t feedbackCount(const PhysicsWorld& world) { return world.feedbackCount; }
    static const dJointFeedback& feedback(const PhysicsWorld& world, int i) {
        return world.feedback[i];
    }
    static PhysicsObject* feedbackOwner(const PhysicsWorld& world, int i) {
        return world.feedbackOwner[i];
    }
    static std::int32_t impulseOwnerCount(const PhysicsWorld& world) {
        return world.impulseOwnerCount;
    }
    static PhysicsObject* impulseOwner(const PhysicsWorld& world, int i) {
        return world.impulseOwner[i];
    }
    // The table as a step leaves it when object's contacts alone gave an impulse.
    static void setImpulse(PhysicsWorld& world, PhysicsObject* object, float x, float y, float z) {
        world.impulseOwner[0] = object;
        world.impulseOwnerCount = 1;
        world.impulse[0][0] = x;
        world.impulse[0][1] = y;
        world.impulse[0][2] = z;
    }
};
