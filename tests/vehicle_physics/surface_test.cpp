#include <cmath>

#include "tests/vehicle_physics/physics_fixture.h"

using physics::params::SPhysicalSurface;
using testing_physics::PhysicsTest;

namespace {

// Default world error reduction: a contact sunk by d is pushed out at erp * d / step.
constexpr double worldErp = 0.2;
constexpr double stepsPerSecond = 90.0;

class Surfaces : public PhysicsTest {
protected:
    // Vertical speed of a unit cube sunk `depth` into the plane and moving down at `fallSpeed`,
    // after one weightless step on the ground.
    double riseAfterOneStep(double depth, double fallSpeed = 0.0) {
        withoutGravity();
        std::unique_ptr<PhysicsBody> box = makeBox(0.0f, static_cast<float>(0.5 - depth), 0.0f);
        dBodySetLinearVel(box->body, 0.0, -fallSpeed, 0.0);
        stepOnGround(*box, surface);
        return dBodyGetLinearVel(box->body)[1];
    }

    // Horizontal velocity of a flat slab turned by q (w, x, y, z) that slides at (1, 0, 1) on
    // the plane for half a second. With `groundFirst` the ground is collided against the slab's
    // space, so the slab's geom is the second one of every contact.
    D3DXVECTOR3 slide(const dQuaternion q, bool groundFirst = false) {
        std::unique_ptr<PhysicsBody> slab = makeBox(0.0f, 0.09f, 0.0f, 4.0f, 0.2f, 4.0f);
        dBodySetQuaternion(slab->body, q);
        dBodySetLinearVel(slab->body, 1.0, 0.0, 1.0);
        for (int i = 0; i < 45; ++i) {
            if (groundFirst) {
                world->collide(plane, cars, surface);
            } else {
                world->collide(*slab, ground, surface);
            }
            world->step(testing_physics::stepTime);
        }
        const dReal* v = dBodyGetLinearVel(slab->body);
        return D3DXVECTOR3(static_cast<float>(v[0]), static_cast<float>(v[1]),
                           static_cast<float>(v[2]));
    }
};

const double halfTurn = std::sqrt(0.5);
const dQuaternion unturned = {1.0, 0.0, 0.0, 0.0};
const dQuaternion flippedAboutX = {0.0, 1.0, 0.0, 0.0};
const dQuaternion flippedAboutZ = {0.0, 0.0, 0.0, 1.0};
const dQuaternion quarterYaw = {halfTurn, 0.0, halfTurn, 0.0};

}  // namespace

TEST_F(Surfaces, ContactDepthIsScaledByTheDampener) {
    const double full = worldErp * 0.2 * stepsPerSecond;
    EXPECT_NEAR(riseAfterOneStep(0.2), full, 1e-3 * full);
    // The gathered contact keeps its own depth; only the joint's copy is scaled.
    surface.contact_dampener = 0.5f;
    EXPECT_NEAR(riseAfterOneStep(0.2), 0.5 * full, 1e-3 * full);
    EXPECT_NEAR(PhysicsWorldProbe::contact(*world, 0).depth, 0.2, 1e-6);
    surface.contact_dampener = 0.0f;
    EXPECT_NEAR(riseAfterOneStep(0.2), 0.0, 1e-6);
}

TEST_F(Surfaces, BounceTakesEffectOnlyWithItsFlag) {
    surface.bounciness = 1.0f;
    surface.bounce_velocity = 0.1f;
    const double correction = worldErp * 0.001 * stepsPerSecond;
    EXPECT_NEAR(riseAfterOneStep(0.001, 10.0), correction, 1e-3);
    surface.flags = SPhysicalSurface::BOUNCE;
    EXPECT_NEAR(riseAfterOneStep(0.001, 10.0), 10.0, 0.05);
}

TEST_F(Surfaces, SoftErpTakesEffectOnlyWithItsFlag) {
    surface.soft_erp = 1.0f;
    EXPECT_NEAR(riseAfterOneStep(0.2), worldErp * 0.2 * stepsPerSecond, 1e-3);
    surface.flags = SPhysicalSurface::SOFT_ERP;
    EXPECT_NEAR(riseAfterOneStep(0.2), 1.0 * 0.2 * stepsPerSecond, 1e-2);
}

TEST_F(Surfaces, OrientedFrictionFollowsTheGeomsOrientation) {
    // Friction only along the first direction (mu2 stays 0), so the slab keeps sliding
    // across it.
    surface.orient_friction = true;
    surface.flags = dContactMu2;
    D3DXVECTOR3 v = slide(flippedAboutX);
    EXPECT_NEAR(v.x, 0.0f, 0.05f);
    EXPECT_NEAR(v.z, 1.0f, 0.05f);
    v = slide(flippedAboutZ);
    EXPECT_NEAR(v.x, 1.0f, 0.05f);
    EXPECT_NEAR(v.z, 0.0f, 0.05f);
}

TEST_F(Surfaces, OrientedFrictionFallsBackToTheSecondGeom) {
    // The plane first: it has no orientation, so the slab's is used. (Left to itself, ODE
    // would put the first friction direction along x here.)
    surface.orient_friction = true;
    surface.flags = dContactMu2;
    const D3DXVECTOR3 v = slide(flippedAboutZ, true);
    EXPECT_NEAR(v.x, 1.0f, 0.05f);
    EXPECT_NEAR(v.z, 0.0f, 0.05f);
}

TEST_F(Surfaces, OrientationWithoutADirectionAcrossTheNormalKeepsFullFriction) {
    // Unturned, the quaternion has no vector part; a quarter yaw gives a vector along the
    // normal. Neither names a direction in the contact plane, and friction must still hold.
    surface.orient_friction = true;
    for (const dReal* q : {unturned, quarterYaw}) {
        const D3DXVECTOR3 v = slide(q);
        EXPECT_NEAR(v.x, 0.0f, 0.05f);
        EXPECT_NEAR(v.z, 0.0f, 0.05f);
    }
}
