// The jeep controller over a stand-in vehicle: grip lost to hard hits, pedal shaping, the
// engine speed's rules, the reverse switch, the drive handed to the wheels and the engine
// sounds' volumes.
#include <gtest/gtest.h>

#include <cmath>

#include "dmusic/test_seam.h"
#include "game/audio/audio_system.h"
#include "game/vehicle/car/ray_wheel.h"
#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"
#include "tests/support/physics_world_probe.h"
#include "tests/support/services_fixture.h"
#include "tests/vehicle_car/scripted_controller.h"

namespace {

using car_testing::kStep;
using car_testing::ScriptedController;

// Four real wheels on no body; the test sets what the controller reads.
class StandInVehicle : public CVehicle {
public:
    explicit StandInVehicle(PhysicsSpace& space) {
        setFeedback(true);
        setSpace(&space);
        car::params::SBasicWheelSetup setup;
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (CRayWheel& w : wheels) {
            w.configure(setup, identity);
        }
    }

    void update(float) override {}
    void drawDebugText(const kesh::CameraView&) override {}
    void render() override {}
    void place(const kesh::Transform& t) override { where = t; }
    kesh::Transform* placement() override { return &where; }
    void setGround(PhysicsSpace*, float) override {}
    bool isStable() const override { return stable; }
    void velocity(D3DXVECTOR3& out) const override { out = moving; }
    void orientation(D3DXVECTOR3& out) const override { out = D3DXVECTOR3(0, 0, 1); }
    void position(D3DXVECTOR3& out) const override { out = where.position; }
    std::int32_t wheelCount() const override { return 4; }
    CWheel* wheel(std::int32_t i) override { return &wheels[i]; }
    void applyConfig(const std::wstring&, const std::wstring&) override {}
    car::params::SCar* params() override { return &carParams; }
    DecalRequest* nextDecalRequest() override { return nullptr; }
    void setAttachment(float a) override { attachment = a; }
    void applyDebugForce(std::int32_t) override {}
    bool isSkidding() const override { return skidding; }
    D3DXVECTOR3& responseVector() override { return response; }

    CRayWheel wheels[4];
    kesh::Transform where;
    car::params::SCar carParams;
    D3DXVECTOR3 moving{0, 0, 0};
    D3DXVECTOR3 response{0, 0, 0};
    bool stable = true;
    bool skidding = false;
    float attachment = 1.0f;
};

class JeepController : public ::testing::Test {
protected:
    JeepController() : space(world), vehicle(space) {
        controller.setVehicle(&vehicle);
        controller.setParams(tuning);
    }

    // The impulse the vehicle's contacts gave in the last world step.
    void hit(float impulse) { PhysicsWorldProbe::setImpulse(world, &vehicle, impulse, 0.0f, 0.0f); }

    void run(int steps) {
        for (int i = 0; i < steps; ++i) {
            controller.step(kStep);
        }
    }

    float driveOf(int wheel) const { return vehicle.wheels[wheel].drive; }

    PhysicsWorld world;
    PhysicsSpace space;
    StandInVehicle vehicle;
    car::params::SCarController tuning;
    ScriptedController controller{nullptr};
};

TEST_F(JeepController, HardHitsLoseGripDownToItsFloor) {
    // An impulse rate (impulse / dt) of exactly start + 10 keeps the grip.
    hit((100000.0f + 10.0f) * kStep);
    run(1);
    EXPECT_EQ(vehicle.attachment, 1.0f);
    EXPECT_EQ(controller.attachment(), 1.0f);

    hit(105000.0f * kStep);
    run(1);
    EXPECT_NEAR(vehicle.attachment, 0.5f, 1e-3f);
    // The grip comes back at time_to_reattach per second, reaching the car at the next hit.
    EXPECT_NEAR(controller.attachment(), 0.5f + kStep, 1e-3f);

    hit(200000.0f * kStep);
    run(1);
    EXPECT_FLOAT_EQ(vehicle.attachment, 0.3f);

    hit(0.0f);
    run(90);
    EXPECT_FLOAT_EQ(controller.attachment(), 1.0f);
}

TEST_F(JeepController, EqualThresholdsDetachToTheFloor) {
    tuning.collision_breakpoint = tuning.collision_start_detach;
    controller.setParams(tuning);
    hit(200000.0f * kStep);
    run(1);
    EXPECT_FLOAT_EQ(vehicle.attachment, 0.3f);
    EXPECT_TRUE(std::isfinite(controller.attachment()));
}

TEST_F(JeepController, FullThrottleIntegratesTheEngineUpToItsPower) {
    controller.hold(1.0, 0.0);
    run(90);
    EXPECT_NEAR(controller.engineSpeed(), 10.0f, 1e-3f);  // accel_power per second
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(driveOf(i), controller.engineSpeed());
    }
    run(90 * 20);
    EXPECT_FLOAT_EQ(controller.engineSpeed(), 150.0f);

    // Let go: 10 percent per second.
    controller.hold(0.0, 0.0);
    const float before = controller.engineSpeed();
    run(1);
    EXPECT_FLOAT_EQ(controller.engineSpeed(), before * (1.0f - kStep * 0.1f));
}

TEST_F(JeepController, BrakingBelowSpeedOneSwitchesToReverse) {
    tuning.force_feedback = 0.0f;
    controller.setParams(tuning);
    controller.hold(1.0, 0.0);
    run(4);  // speed 0.44
    controller.hold(-1.0, 0.0);
    run(1);
    EXPECT_EQ(controller.gear(), 1);
    run(9);  // 0.1 s of braking below speed 1, and a step more
    EXPECT_EQ(controller.gear(), -1);

    // In reverse the pedals swap: accelerating brakes, braking drives backwards.
    controller.hold(1.0, 0.0);
    run(1);
    EXPECT_GT(controller.brakeValue(), 0.0f);
    EXPECT_EQ(controller.throttleValue(), 0.0f);
    controller.hold(-1.0, 0.0);
    run(90);
    EXPECT_LT(controller.engineSpeed(), -5.0f);
    run(90 * 10);
    EXPECT_FLOAT_EQ(controller.engineSpeed(), -37.5f);
}

TEST_F(JeepController, BrakeCutsTheDriveAndTheHandbrakeTheRearWheels) {
    controller.hold(1.0, 0.5, true);
    run(90);
    const float speed = controller.engineSpeed();
    EXPECT_FLOAT_EQ(driveOf(0), speed);
    EXPECT_FLOAT_EQ(driveOf(1), speed);
    EXPECT_EQ(driveOf(2), 0.0f);
    EXPECT_EQ(driveOf(3), 0.0f);
    EXPECT_FLOAT_EQ(controller.steering(), 0.5f);

    // break_blocks of 2 with half brake blocks the drive fully, never reversing it; one
    // of -1 would raise it above the speed, and is held at the speed.
    for (float blocks : {2.0f, -1.0f}) {
        tuning.break_blocks = blocks;
        controller.setParams(tuning);
        controller.hold(-0.5, 0.0);
        run(1);
        const float expected = blocks > 0.0f ? 0.0f : controller.engineSpeed();
        EXPECT_NEAR(driveOf(0), expected, 1e-4f) << blocks;
        controller.hold(1.0, 0.0);
        run(30);
    }
}

TEST_F(JeepController, SkidsBrakeAndBrakingRollsTheEngineTowardsTheCarsSpeed) {
    controller.hold(1.0, 0.0);
    run(90);
    float speed = controller.engineSpeed();
    // A skid brakes 0.2 a second on top of the pedals, which cuts the drive as well.
    vehicle.skidding = true;
    run(1);
    const float skid = 0.2f * kStep;
    EXPECT_FLOAT_EQ(controller.brakeValue(), skid);
    speed += 10.0f * kStep - 100.0f * kStep * skid;
    EXPECT_FLOAT_EQ(controller.engineSpeed(), speed) << "no roll-out without force feedback";
    EXPECT_FLOAT_EQ(driveOf(0), (1.0f - skid) * speed);
    vehicle.skidding = false;

    // Braking, the engine speed moves by force_feedback x brake towards the car's own speed,
    // from either side.
    tuning.force_feedback = 0.1f;
    controller.setParams(tuning);
    controller.hold(-0.5, 0.0);
    for (const float carSpeed : {5.0f, 30.0f}) {
        vehicle.moving = D3DXVECTOR3(0.6f * carSpeed, 0.0f, 0.8f * carSpeed);
        speed = controller.engineSpeed() - 100.0f * kStep * 0.5f;
        run(1);
        EXPECT_NEAR(controller.engineSpeed(), 0.95f * speed + 0.05f * carSpeed, 1e-4f) << carSpeed;
    }
}

TEST_F(JeepController, WheelResponseIsAQuarterOfEachWheelsResponseEveryStep) {
    const D3DXVECTOR3 responses[4] = {{0, 0, -1}, {0, 0, -2}, {3, 0, -4}, {0, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        vehicle.wheels[i].responseValue = responses[i];
    }
    run(1);
    EXPECT_FLOAT_EQ(controller.wheelResponse(), 2.0f);
    run(1);
    EXPECT_FLOAT_EQ(controller.wheelResponse(), 2.0f) << "not summed over the steps";
}

TEST_F(JeepController, CollisionsAndTiltsCostEngineSpeed) {
    tuning.force_feedback = 0.1f;
    controller.setParams(tuning);
    controller.hold(1.0, 0.0);
    run(90);
    const float speed = controller.engineSpeed();
    controller.hold(0.0, 0.0);
    vehicle.stable = false;
    run(1);
    EXPECT_NEAR(controller.engineSpeed(), speed * 0.9f * (1.0f - kStep * 0.1f), 1e-4f);

    // A hit harder than the speed stops the engine instead of turning it round.
    vehicle.stable = true;
    hit(1000.0f);
    run(1);
    EXPECT_EQ(controller.engineSpeed(), 0.0f);
}

TEST_F(JeepController, KeysAreShapedAlongASineCurve) {
    // Full value from rest after (pi / 2) x time.
    float v = 0.0f;
    int steps = 0;
    while (v < 1.0f && steps < 1000) {
        v = C4X4WheelJeepController::approach(v, 1.0f, kStep, 0.3f);
        ++steps;
    }
    EXPECT_NEAR(steps * kStep, 0.4712f, 2.0f * kStep);

    // Letting go stops at exactly 0, from either side.
    for (float start : {0.5f, -0.5f}) {
        float u = start;
        for (int i = 0; i < 200; ++i) {
            u = C4X4WheelJeepController::approach(u, 0.0f, kStep, 0.3f);
            ASSERT_GE(u * start, 0.0f);
        }
        EXPECT_EQ(u, 0.0f);
    }

    // Through to the other side is faster than away from the centre.
    const float back = C4X4WheelJeepController::approach(0.5f, -1.0f, kStep, 0.7f);
    const float on = C4X4WheelJeepController::approach(-0.5f, -1.0f, kStep, 0.7f);
    // Through to the other side goes 1 / 0.7 times faster along the curve than on away from
    // the centre.
    EXPECT_NEAR((std::asin(0.5f) - std::asin(back)) / (std::asin(-0.5f) - std::asin(on)),
                1.0f / 0.7f, 1e-3f);

    controller.press(1.0, -1.0);
    run(1);
    EXPECT_GT(controller.throttleValue(), 0.0f);
    EXPECT_LT(controller.throttleValue(), 0.1f);
    EXPECT_LT(controller.steering(), 0.0f);
    EXPECT_GT(controller.steering(), -0.05f);
}

TEST_F(JeepController, EngineSoundVolumesFollowTheSpeed) {
    run(1);
    EXPECT_FLOAT_EQ(controller.engineVolume(0), 1.0f);
    EXPECT_FLOAT_EQ(controller.engineVolume(1), 0.4f);
    EXPECT_FLOAT_EQ(controller.engineVolume(2), 0.0f);
    EXPECT_FLOAT_EQ(controller.engineVolume(3), 0.0f);

    tuning.accel_power = 1.0e6f;
    controller.setParams(tuning);
    controller.hold(1.0, 0.0);
    run(1);
    EXPECT_FLOAT_EQ(controller.engineSpeed(), 150.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(controller.engineVolume(i), i == 0 ? 0.0f : 1.0f) << i;
    }

    // Halfway: r = 0.5.
    tuning.accel_power = 75.0f * 90.0f;
    controller.setParams(tuning);
    controller.hold(0.0, 0.0);
    ScriptedController half(nullptr);
    half.setVehicle(&vehicle);
    half.setParams(tuning);
    half.hold(1.0, 0.0);
    half.step(kStep);
    EXPECT_FLOAT_EQ(half.engineSpeed(), 75.0f);
    EXPECT_FLOAT_EQ(half.engineVolume(0), 0.0f);
    EXPECT_FLOAT_EQ(half.engineVolume(1), 1.0f);
    EXPECT_FLOAT_EQ(half.engineVolume(2), 0.5f);
    EXPECT_FLOAT_EQ(half.engineVolume(3), 0.0f);
}

TEST_F(JeepController, WithoutAVehicleNothingHappens) {
    ScriptedController idle(nullptr);
    idle.hold(1.0, 1.0);
    idle.step(kStep);
    EXPECT_EQ(idle.engineSpeed(), 0.0f);
    EXPECT_EQ(idle.vehicle(), nullptr);
}

class JeepControllerSound : public morvale_testing::ServicesTest {};

TEST_F(JeepControllerSound, SetsTheVolumesOnTheAudioSystem) {
    PhysicsWorld world;
    PhysicsSpace space(world);
    StandInVehicle vehicle(space);
    AudioSystem audio(*kesh::theLuaConfig, *music);
    ScriptedController controller(&audio);
    controller.setVehicle(&vehicle);
    controller.hold(1.0, 0.0);
    controller.step(kStep);
    EXPECT_GT(controller.engineSpeed(), 0.0f);
    EXPECT_EQ(audio.queuedPlays(), 0u);
}

TEST_F(JeepControllerSound, SendsAVolumeAtOnceButOnlyWhenItChanges) {
    writeArt("config/audio.lua",
             "local p = SoundsPerformance()\n"
             "p.carEngineNo.loop.id = res('no.wav')\n"
             "p.carEngineLo.loop.id = res('lo.wav')\n"
             "p.carEngine.loop.id = res('mid.wav')\n"
             "p.carEngineHi.loop.id = res('hi.wav')\n"
             "return p\n");
    PhysicsWorld world;
    PhysicsSpace space(world);
    StandInVehicle vehicle(space);
    AudioSystem audio(*kesh::theLuaConfig, *music);
    audio.init(nullptr);
    dmusic_test::setRecording(true);
    dmusic_test::clearEvents();
    const auto sent = [] { return dmusic_test::events(dmusic_test::Call::SetPathVolume).size(); };
    ScriptedController controller(&audio);
    controller.setVehicle(&vehicle);

    controller.step(kStep);  // at rest: all four, in the step that computes them
    EXPECT_EQ(sent(), 4u);
    controller.step(kStep);
    controller.step(kStep);
    EXPECT_EQ(sent(), 4u) << "volumes that did not change were sent again";
    controller.hold(1.0, 0.0);
    controller.step(kStep);  // the engine speeds up: the low and the idle sound change
    EXPECT_EQ(sent(), 6u);
    dmusic_test::setRecording(false);
}

}  // namespace
