#include "tests/vehicle_physics/physics_fixture.h"

using testing_physics::PhysicsTest;
using testing_physics::stepTime;

namespace {

constexpr double gravity = 98.1;

class Impulses : public PhysicsTest {
protected:
    void settle(PhysicsObject& object, int steps = 270) {
        for (int i = 0; i < steps; ++i) {
            stepOnGround(object, surface);
        }
    }

    // What the last step's feedback records add up to, times the step.
    D3DXVECTOR3 recordedImpulse(int records) const {
        D3DXVECTOR3 sum(0.0f, 0.0f, 0.0f);
        for (int i = 0; i < records; ++i) {
            const dJointFeedback& record = PhysicsWorldProbe::feedback(*world, i);
            sum.x += static_cast<float>(stepTime * record.f1[0]);
            sum.y += static_cast<float>(stepTime * record.f1[1]);
            sum.z += static_cast<float>(stepTime * record.f1[2]);
        }
        return sum;
    }
};

}  // namespace

TEST_F(Impulses, FallingBoxComesToRestOnTheGroundPlane) {
    PhysicsSpace floorSpace(*world);
    GroundPlane raised(3.0f);
    raised.setSpace(&floorSpace);
    std::unique_ptr<PhysicsBody> box = makeBox(1.0f, 8.0f, -2.0f, 2.0f, 1.0f, 4.0f);
    for (int i = 0; i < 900; ++i) {
        world->collide(*box, floorSpace, surface);
        world->step(stepTime);
    }
    const dReal* position = dBodyGetPosition(box->body);
    EXPECT_NEAR(position[1], 3.5, 0.1);
    EXPECT_NEAR(position[0], 1.0, 1e-3);
    EXPECT_NEAR(position[2], -2.0, 1e-3);
    const dReal* velocity = dBodyGetLinearVel(box->body);
    EXPECT_NEAR(velocity[1], 0.0, 0.05);
    const dReal* rotation = dBodyGetQuaternion(box->body);
    EXPECT_NEAR(rotation[0], 1.0, 1e-3);
}

TEST_F(Impulses, RestingBoxFeelsItsWeightEachStep) {
    std::unique_ptr<PhysicsBody> box = makeBox(0.0f, 0.6f, 0.0f, 2.0f, 1.0f, 4.0f);
    box->setFeedback(true);
    settle(*box);
    float impulse[3];
    box->getCollisionImpulse(impulse);
    EXPECT_NEAR(impulse[1], 8.0 * gravity * stepTime, 0.05 * 8.0 * gravity * stepTime);
    EXPECT_NEAR(impulse[0], 0.0f, 1e-3);
    EXPECT_NEAR(impulse[2], 0.0f, 1e-3);
}

TEST_F(Impulses, ObjectWithoutFeedbackGetsJointsButNoImpulse) {
    std::unique_ptr<PhysicsBody> box = makeBox(0.0f, 0.45f, 0.0f);
    world->collide(*box, ground, surface);
    EXPECT_EQ(world->collisionCount(), 4);
    EXPECT_EQ(PhysicsWorldProbe::feedbackCount(*world), 0);
    world->step(stepTime);
    EXPECT_EQ(PhysicsWorldProbe::impulseOwnerCount(*world), 0);
    float impulse[3] = {1.0f, 1.0f, 1.0f};
    box->getCollisionImpulse(impulse);
    EXPECT_EQ(impulse[0], 0.0f);
    EXPECT_EQ(impulse[1], 0.0f);
    EXPECT_EQ(impulse[2], 0.0f);
    // The contacts still hold the box up.
    EXPECT_GT(dBodyGetPosition(box->body)[1], 0.4);
}

TEST_F(Impulses, ImpulseOfAStepWithoutContactsIsZero) {
    std::unique_ptr<PhysicsBody> box = makeBox(0.0f, 0.5f, 0.0f);
    box->setFeedback(true);
    settle(*box, 30);
    float impulse[3];
    box->getCollisionImpulse(impulse);
    EXPECT_GT(impulse[1], 0.0f);

    dBodySetPosition(box->body, 0.0, 10.0, 0.0);
    stepOnGround(*box, surface);
    box->getCollisionImpulse(impulse);
    EXPECT_EQ(impulse[0], 0.0f);
    EXPECT_EQ(impulse[1], 0.0f);
    EXPECT_EQ(impulse[2], 0.0f);
    EXPECT_EQ(PhysicsWorldProbe::impulseOwnerCount(*world), 0);
}

TEST_F(Impulses, TwoCollidesInOneStepAddIntoOneImpulse) {
    // The level collides the car against the statics and then the ground in the same step.
    PhysicsSpace statics(*world);
    GroundPlane slab(0.0f);
    slab.setSpace(&statics);
    std::unique_ptr<PhysicsBody> box = makeBox(0.0f, 0.45f, 0.0f);
    box->setFeedback(true);
    for (int i = 0; i < 90; ++i) {
        world->collide(*box, statics, surface);
        world->collide(*box, ground, surface);
        ASSERT_EQ(PhysicsWorldProbe::feedbackCount(*world), 8);
        world->step(stepTime);
    }
    ASSERT_EQ(PhysicsWorldProbe::impulseOwnerCount(*world), 1);
    EXPECT_EQ(PhysicsWorldProbe::impulseOwner(*world, 0), box.get());
    float impulse[3];
    box->getCollisionImpulse(impulse);
    const D3DXVECTOR3 expected = recordedImpulse(8);
    EXPECT_FLOAT_EQ(impulse[0], expected.x);
    EXPECT_FLOAT_EQ(impulse[1], expected.y);
    EXPECT_FLOAT_EQ(impulse[2], expected.z);
    EXPECT_NEAR(impulse[1], gravity * stepTime, 0.05 * gravity * stepTime);
}

TEST_F(Impulses, EachFeedbackObjectKeepsItsOwnImpulse) {
    std::unique_ptr<PhysicsBody> light = makeBox(0.0f, 0.5f, 0.0f);
    std::unique_ptr<PhysicsBody> heavy = makeBox(5.0f, 1.0f, 0.0f, 2.0f, 2.0f, 2.0f);
    std::unique_ptr<PhysicsBody> quiet = makeBox(-5.0f, 0.5f, 0.0f);
    light->setFeedback(true);
    heavy->setFeedback(true);
    for (int i = 0; i < 180; ++i) {
        world->collide(*light, ground, surface);
        world->collide(*heavy, ground, surface);
        world->collide(*quiet, ground, surface);
        world->step(stepTime);
    }
    EXPECT_EQ(PhysicsWorldProbe::impulseOwnerCount(*world), 2);
    float impulse[3];
    light->getCollisionImpulse(impulse);
    EXPECT_NEAR(impulse[1], gravity * stepTime, 0.05 * gravity * stepTime);
    heavy->getCollisionImpulse(impulse);
    EXPECT_NEAR(impulse[1], 8.0 * gravity * stepTime, 0.05 * 8.0 * gravity * stepTime);
    world->impulseOf(impulse, quiet.get());
    EXPECT_EQ(impulse[1], 0.0f);
    world->impulseOf(impulse, nullptr);
    EXPECT_EQ(impulse[1], 0.0f);

    // Feedback without a space has no world to ask.
    PhysicsObject loose;
    loose.setFeedback(true);
    loose.getCollisionImpulse(impulse);
    EXPECT_EQ(impulse[1], 0.0f);
}
