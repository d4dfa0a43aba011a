// A world with a space for moving bodies and a ground space holding a plane at y = 0.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/vehicle/params/physics_params.h"
#include "game/vehicle/physics/ground_plane.h"
#include "game/vehicle/physics/physics_body.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"
#include "tests/support/physics_world_probe.h"

namespace testing_physics {

constexpr float stepTime = 1.0f / 90.0f;

class PhysicsTest : public ::testing::Test {
protected:
    PhysicsTest() : world(new PhysicsWorld), cars(*world), ground(*world), plane(0.0f) {
        plane.setSpace(&ground);
    }

    // A body in the cars space with one box geom of the given size, centred at (x, y, z),
    // mass 1 per unit volume.
    std::unique_ptr<PhysicsBody> makeBox(float x, float y, float z, float sx = 1.0f,
                                         float sy = 1.0f, float sz = 1.0f) {
        std::unique_ptr<PhysicsBody> box(new PhysicsBody);
        box->setBody(dBodyCreate(world->id()));
        dMassSetBoxTotal(&box->mass, sx * sy * sz, sx, sy, sz);
        dBodySetMass(box->body, &box->mass);
        dBodySetPosition(box->body, x, y, z);
        const dGeomID geom = dCreateBox(nullptr, sx, sy, sz);
        dGeomSetBody(geom, box->body);
        box->addGeom(geom);
        box->setSpace(&cars);
        return box;
    }

    // One fixed step of the level: collide against the ground, then step.
    void stepOnGround(PhysicsObject& object, const physics::params::SPhysicalSurface& surface) {
        world->collide(object, ground, surface);
        world->step(stepTime);
    }

    void withoutGravity() { dWorldSetGravity(world->id(), 0.0, 0.0, 0.0); }

    // Destroyed in reverse order: the plane before its space, the spaces before the world.
    std::unique_ptr<PhysicsWorld> world;
    PhysicsSpace cars;
    PhysicsSpace ground;
    GroundPlane plane;
    physics::params::SPhysicalSurface surface;
};

}  // namespace testing_physics
