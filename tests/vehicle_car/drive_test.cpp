// The whole car on real ODE, stepped as the level steps it: dropped onto the ground plane it
// settles on its four wheels, drives, steers both ways and brakes to a stop.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/vehicle_car/car_fixture.h"
#include "tests/vehicle_car/scripted_controller.h"

namespace {

using car_testing::kStep;

class CarDrive : public car_testing::CarTest {
protected:
    void SetUp() override {
        CarTest::SetUp();
        writeCarScript("car.hack_delta_y = 3.0\n");
        makeCar();
        car->setGround(ground.get(), 0.0f);
        controller.setVehicle(car.get());
        controller.setParams(*car->params()->controller);
    }

    // The level's fixed step: controller, car, collisions, world.
    void run(int steps) {
        for (int i = 0; i < steps; ++i) {
            controller.step(kStep);
            car->update(kStep);
            world->collide(*car, *ground, surface);
            world->step(kStep);
            ASSERT_TRUE(stateIsFinite()) << "at step " << i;
        }
    }

    bool stateIsFinite() const {
        D3DXVECTOR3 p, v, f;
        car->position(p);
        car->velocity(v);
        car->orientation(f);
        return car_testing::finite(p) && car_testing::finite(v) && car_testing::finite(f) &&
               std::isfinite(controller.engineSpeed());
    }

    D3DXVECTOR3 position() const {
        D3DXVECTOR3 p;
        car->position(p);
        return p;
    }
    float speed() const {
        D3DXVECTOR3 v;
        car->velocity(v);
        return D3DXVec3Length(&v);
    }
    // Heading about the vertical axis: 0 along +z, growing towards +x (to the right).
    float heading() const {
        D3DXVECTOR3 f;
        car->orientation(f);
        return std::atan2(f.x, f.z);
    }
    bool bodyTouchesGround() {
        world->gatherContacts(*car, *ground);
        return world->contactsGathered() > 0;
    }
    bool allWheelsTouch() {
        for (int i = 0; i < car->wheelCount(); ++i) {
            if (!car->wheel(i)->hasContact()) {
                return false;
            }
        }
        return true;
    }

    car_testing::ScriptedController controller{nullptr};
};

TEST_F(CarDrive, SettlesLevelOnItsWheelsDrivesSteersAndBrakes) {
    // Dropped from 3.5: it falls, lands on its suspension and comes to rest.
    EXPECT_NEAR(position().y, 3.5f, 1e-4f);
    run(90 * 6);
    const D3DXVECTOR3 rest = position();
    EXPECT_TRUE(car->isStable());
    EXPECT_LT(std::fabs(car->placement()->rotation.x), 0.01f);
    EXPECT_LT(std::fabs(car->placement()->rotation.z), 0.01f);
    EXPECT_LT(speed(), 0.05f);
    // The ride height: below the suspension height by the sag of one step's gravity.
    const float suspension = car->params()->front_wheels->suspension_height;
    EXPECT_GT(rest.y, suspension - 1.5f);
    EXPECT_LT(rest.y, suspension);
    EXPECT_TRUE(allWheelsTouch());
    EXPECT_FALSE(bodyTouchesGround());
    EXPECT_NEAR(rest.x, 0.0f, 0.01f);
    // The construction's nudge of (0, 0, 100) rolls it forward a little before the wheels hold.
    EXPECT_GT(rest.z, 0.0f);
    EXPECT_LT(rest.z, 0.5f);

    // Full throttle for three seconds: faster and faster, straight ahead along +z.
    controller.hold(1.0, 0.0);
    run(90);
    const float after1 = speed();
    run(180);
    const float after3 = speed();
    EXPECT_GT(after1, 3.0f);
    EXPECT_GT(after3, after1 + 5.0f);
    EXPECT_GT(position().z, rest.z + 20.0f);
    EXPECT_NEAR(heading(), 0.0f, 0.02f);
    EXPECT_NEAR(position().x, 0.0f, 0.1f);
    EXPECT_TRUE(car->isStable());

    // Steering right turns the heading towards +x; steering left turns it back and on past
    // straight ahead, towards -x.
    const float straight = heading();
    controller.hold(1.0, 1.0);
    run(60);
    const float right = heading();
    EXPECT_GT(right, straight + 0.3f);
    controller.hold(1.0, -1.0);
    run(120);
    const float back = heading();
    EXPECT_LT(back, right - 0.6f);
    run(60);
    EXPECT_LT(heading(), back - 0.3f);
    EXPECT_LT(heading(), straight - 0.3f);
    EXPECT_TRUE(car->isStable());

    // Full brake: the car comes to a stop.
    controller.hold(-1.0, 0.0);
    int steps = 0;
    while (speed() > 0.2f && steps < 90 * 10) {
        run(1);
        ++steps;
    }
    EXPECT_LT(speed(), 0.2f);
    EXPECT_LT(steps, 90 * 10);
    EXPECT_TRUE(car->isStable());
}

}  // namespace
