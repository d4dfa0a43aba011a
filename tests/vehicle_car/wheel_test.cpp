// The ray wheel: its grip model, steering, the ray suspension over real ODE, and its debug
// line.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/car/ray_wheel.h"
#include "tests/vehicle_car/car_fixture.h"

namespace {

using car_testing::kStep;

car::params::SBasicWheelSetup setupOf(float turnFreedom, float suspension, float mass = 1.0f) {
    car::params::SBasicWheelSetup setup;
    setup.turn_freedom = turnFreedom;
    setup.suspension_height = suspension;
    setup.mass = mass;
    return setup;
}

D3DXMATRIX identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

kesh::Transform mountAt(float x, float y, float z) {
    kesh::Transform t;
    t.position = D3DXVECTOR3(x, y, z);
    return t;
}

D3DXVECTOR3 forceOf(const CRayWheel& wheel) {
    D3DXVECTOR3 f;
    wheel.force(f);
    return f;
}

TEST(RayWheel, LongitudinalTargetGripsLessFartherFromTheDrive) {
    CRayWheel wheel;
    wheel.setDrive(10.0f);
    EXPECT_FLOAT_EQ(wheel.longitudinalTarget(10.0f, kStep), 10.0f);
    EXPECT_FLOAT_EQ(wheel.slip(), 0.0f);
    EXPECT_FLOAT_EQ(wheel.longitudinalTarget(50.0f, kStep), 38.0f);
    EXPECT_FLOAT_EQ(wheel.slip(), -28.0f);
    // Halfway: |30 - 10| x 0.025 = 0.5.
    EXPECT_FLOAT_EQ(wheel.longitudinalTarget(30.0f, kStep), 20.0f);
}

TEST(RayWheel, SteeringIsClampedToTheTurnFreedom) {
    CRayWheel wheel;
    wheel.configure(setupOf(0.4f, 1.0f), identity());
    wheel.setSteering(2.0f);
    EXPECT_FLOAT_EQ(wheel.steeringAngle, 0.4f);
    wheel.setSteering(-3.0f);
    EXPECT_FLOAT_EQ(wheel.steeringAngle, -0.4f);
    wheel.setSteering(0.5f);
    wheel.addSteering(0.25f);
    EXPECT_FLOAT_EQ(wheel.steeringAngle, 0.3f);
    wheel.setSteering(NAN);
    EXPECT_FLOAT_EQ(wheel.steeringAngle, 0.0f);

    // A wheel that does not steer stays straight, and adding steering makes no NaN of it.
    CRayWheel back;
    back.configure(setupOf(0.0f, 1.0f), identity());
    back.addSteering(0.5f);
    EXPECT_EQ(back.steeringAngle, 0.0f);
}

TEST(RayWheel, SteeredWheelHoldsItsOwnDirectionOnly) {
    // Turned by a quarter turn, the wheel rolls along the car's x; a velocity along x is its
    // rolling speed and meets no sideways correction.
    CRayWheel wheel;
    wheel.configure(setupOf(static_cast<float>(D3DX_PI) * 0.5f, 0.0f), identity());
    wheel.setSteering(1.0f);
    wheel.setDrive(5.0f);
    wheel.updateRay(mountAt(0, 10, 0));
    wheel.step(D3DXVECTOR3(5.0f, 0.0f, 0.0f), D3DXVECTOR3(0, 0, 0), kStep);
    const D3DXVECTOR3 f = forceOf(wheel);
    EXPECT_NEAR(f.x, 0.0f, 1e-5f);
    EXPECT_NEAR(f.z, 0.0f, 1e-5f);

    // A velocity across the steered wheel is taken away entirely, in the car's frame.
    wheel.step(D3DXVECTOR3(0.0f, 0.0f, 3.0f), D3DXVECTOR3(0, 0, 0), kStep);
    const D3DXVECTOR3 g = forceOf(wheel);
    EXPECT_NEAR(g.z, -3.0f, 1e-4f);
    D3DXVECTOR3 r;
    wheel.response(r);
    EXPECT_NEAR(std::fabs(r.x), 3.0f, 1e-4f);
}

TEST(RayWheel, ZeroMassGivesAVelocityChangeAndNoNaN) {
    CRayWheel wheel;
    wheel.configure(setupOf(0.4f, 1.0f, 0.0f), identity());
    wheel.setDrive(10.0f);
    wheel.updateRay(mountAt(0, 0.5f, 0));
    wheel.step(D3DXVECTOR3(1.0f, 0.0f, 2.0f), D3DXVECTOR3(0, 0, 0), kStep);
    const D3DXVECTOR3 f = forceOf(wheel);
    EXPECT_TRUE(car_testing::finite(f));
    EXPECT_NEAR(f.x, -1.0f, 1e-5f);
    EXPECT_GT(f.y, 0.0f);
}

class RayWheelGround : public ::testing::Test {
protected:
    RayWheelGround() : wheels(world), ground(world), plane(0.0f) {
        plane.setSpace(&ground);
        wheel.configure(setupOf(0.4f, 1.0f), identity());
        wheel.setSpace(&wheels);
        wheel.setGround(&ground, 0.0f);
    }

    PhysicsWorld world;
    PhysicsSpace wheels;
    PhysicsSpace ground;
    GroundPlane plane;
    CRayWheel wheel;
};

TEST_F(RayWheelGround, RayReachesTheGroundWithinItsLength) {
    wheel.updateRay(mountAt(0, 1.05f, 0));  // the ray is 1.1 long
    EXPECT_TRUE(wheel.hasContact());
    wheel.updateRay(mountAt(0, 1.2f, 0));
    EXPECT_FALSE(wheel.hasContact());

    CRayWheel loose;
    EXPECT_TRUE(loose.hasContact()) << "without a ground space a wheel always touches";
}

TEST_F(RayWheelGround, OffTheGroundTheWheelLeavesTheVelocityAlone) {
    wheel.setDrive(20.0f);
    wheel.updateRay(mountAt(0, 1.5f, 0));
    wheel.step(D3DXVECTOR3(2.0f, -3.0f, 4.0f), D3DXVECTOR3(0, 0, 0), kStep);
    const D3DXVECTOR3 f = forceOf(wheel);
    EXPECT_EQ(f, D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(wheel.slip(), 0.0f);
}

TEST_F(RayWheelGround, BelowItsHeightTheWheelLiftsAndGrips) {
    // 0.25 below the suspension height: the target vertical speed is at least 0.25.
    wheel.updateRay(mountAt(0, 0.75f, 0));
    wheel.step(D3DXVECTOR3(1.0f, -2.0f, 0.0f), D3DXVECTOR3(0, 0, 0), kStep);
    const D3DXVECTOR3 f = forceOf(wheel);
    EXPECT_NEAR(f.y, 2.25f, 1e-5f);
    EXPECT_NEAR(f.x, -1.0f, 1e-5f);

    // Rising faster than the lift: nothing pushes it further up.
    wheel.step(D3DXVECTOR3(0.0f, 1.0f, 0.0f), D3DXVECTOR3(0, 0, 0), kStep);
    EXPECT_NEAR(forceOf(wheel).y, 0.0f, 1e-6f);
}

class RayWheelDebug : public morvale_testing::ServicesTest {};

TEST_F(RayWheelDebug, DebugLineNamesThePairContactSlipAndHeight) {
    // The spaces outlive the wheels whose rays they hold.
    PhysicsWorld world;
    PhysicsSpace wheels(world);
    PhysicsSpace ground(world);
    CRayWheel front;
    front.configure(setupOf(0.4f, 1.0f), identity());
    front.setDrive(10.0f);
    front.updateRay(mountAt(0, 2.7f, 0));
    front.step(D3DXVECTOR3(0, 0, 50.0f), D3DXVECTOR3(0, 0, 0), kStep);
    EXPECT_EQ(front.steps, 1);
    front.drawDebug(kesh::CameraView(), identity());
    EXPECT_EQ(front.steps, 0);

    CRayWheel back;
    back.configure(setupOf(0.0f, 1.0f), identity());
    back.setSpace(&wheels);
    back.setGround(&ground, 0.0f);
    back.updateRay(mountAt(0, -1.5f, 0));
    back.drawDebug(kesh::CameraView(), identity());
    EXPECT_EQ(back.mesh, nullptr);

    const auto& texts = kesh::theDebugRenderer->screenTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts.front().text, L"front wheel [------][------][contact] : 0 | -28 @ 2");
    EXPECT_EQ(texts.front().color, 0xFFF0A080u);
    EXPECT_EQ(texts.back().text, L"back wheel [------][------][-------] : 0 | 0 @ -1");
}

}  // namespace
