#include <luabind/luabind.hpp>

#include "game/vehicle/params/car_params.h"
#include "tests/core_lua/lua_fixture.h"

using car::params::SBasicWheelSetup;
using car::params::SCamera;
using car::params::SCar;
using car::params::SCarController;
using car::params::SCarWheelSetup;

typedef testing_lua::LuaTest CarParams;

namespace {

void expectOwnRecords(const SCar& car) {
    EXPECT_EQ(car.front_wheels, &car.frontWheelsRecord);
    EXPECT_EQ(car.back_wheels, &car.backWheelsRecord);
    EXPECT_EQ(car.controller, &car.controllerRecord);
    EXPECT_EQ(car.camera_outside, &car.cameraOutsideRecord);
    EXPECT_EQ(car.camera_inside, &car.cameraInsideRecord);
    EXPECT_EQ(car.wheel1, &car.wheel1Record);
    EXPECT_EQ(car.wheel2, &car.wheel2Record);
    EXPECT_EQ(car.wheel3, &car.wheel3Record);
    EXPECT_EQ(car.wheel4, &car.wheel4Record);
}

void expectDefaultCamera(const SCamera& camera) {
    EXPECT_EQ(camera.inertia, 0.75f);
    EXPECT_EQ(camera.distance, 13.0f);
    EXPECT_EQ(camera.target_offset, 0.0f);
    EXPECT_FLOAT_EQ(camera.angle, 0.5235987f);
}

}  // namespace

TEST_F(CarParams, UntouchedCarHasTheDefaults) {
    writeScript("car.lua", "return Car()\n");
    const SCar car = runAndCollect<SCar>("car.lua");
    expectOwnRecords(car);
    EXPECT_EQ(car.mass, 40.0f);
    EXPECT_EQ(car.mass_ode, 1.0f);
    EXPECT_EQ(car.mass_translate, 0.0f);
    EXPECT_EQ(car.side_friction, 0.4f);
    EXPECT_EQ(car.front_friction, 0.1f);
    EXPECT_EQ(car.width + car.length + car.height, 0.0f);
    EXPECT_EQ(car.hack_delta_x + car.hack_delta_y + car.hack_delta_z, 0.0f);
    for (const SCarWheelSetup* wheels : {car.front_wheels, car.back_wheels}) {
        EXPECT_FLOAT_EQ(wheels->turn_freedom, 0.39269909f);
        EXPECT_EQ(wheels->suspension_height, 0.0f);
    }
    const SCarController& controller = *car.controller;
    EXPECT_EQ(controller.engine_power, 150.0f);
    EXPECT_EQ(controller.accel_power, 10.0f);
    EXPECT_EQ(controller.break_power, 100.0f);
    EXPECT_EQ(controller.break_blocks, 1.0f);
    EXPECT_EQ(controller.steer_tension, 1.0f);
    EXPECT_EQ(controller.force_feedback, 0.0f);
    EXPECT_EQ(controller.collision_start_detach, 100000.0f);
    EXPECT_EQ(controller.collision_breakpoint, 110000.0f);
    EXPECT_EQ(controller.time_to_reattach, 1.0f);
    expectDefaultCamera(*car.camera_inside);
    expectDefaultCamera(*car.camera_outside);
    EXPECT_TRUE(car.object.empty() && car.effect.empty() && car.antena.empty() &&
                car.object_bundle.empty());
    for (const auto* wheel : {car.wheel1, car.wheel2, car.wheel3, car.wheel4}) {
        EXPECT_TRUE(wheel->object.empty() && wheel->effect.empty());
    }
}

TEST_F(CarParams, ScriptChangesEmbeddedRecordsInPlace) {
    writeScript("car.lua",
                "local car = Car()\n"
                "car.object = 'body'\n"
                "car.effect = 'car.fx'\n"
                "car.object_bundle = 'jeep.slev'\n"
                "car.width = 2\n"
                "car.controller.engine_power = 200\n"
                "car.controller.force_feedback = 0.25\n"
                "car.front_wheels.turn_freedom = 0.5\n"
                "car.back_wheels.suspension_height = 0.3\n"
                "car.camera_inside.distance = 2\n"
                "car.camera_outside.angle = 0.1\n"
                "car.wheel3.object = 'wheel3'\n"
                "return car\n");
    const SCar car = runAndCollect<SCar>("car.lua");
    expectOwnRecords(car);
    EXPECT_EQ(car.object, "body");
    EXPECT_EQ(car.effect, "car.fx");
    EXPECT_EQ(car.object_bundle, "jeep.slev");
    EXPECT_EQ(car.width, 2.0f);
    EXPECT_EQ(car.controller->engine_power, 200.0f);
    EXPECT_EQ(car.controller->force_feedback, 0.25f);
    EXPECT_EQ(car.front_wheels->turn_freedom, 0.5f);
    EXPECT_FLOAT_EQ(car.back_wheels->suspension_height, 0.3f);
    EXPECT_EQ(car.camera_inside->distance, 2.0f);
    EXPECT_FLOAT_EQ(car.camera_outside->angle, 0.1f);
    EXPECT_EQ(car.camera_outside->distance, 13.0f);
    EXPECT_EQ(car.wheel3->object, "wheel3");
    EXPECT_TRUE(car.wheel4->object.empty());
}

TEST_F(CarParams, AssigningObjectsCopiesTheirValues) {
    writeScript("car.lua",
                "local car = Car()\n"
                "local wheel = BasicWheel()\n"
                "wheel.turn_freedom = 0.2\n"
                "wheel.mass = 50\n"
                "car.back_wheels = wheel\n"
                "wheel.turn_freedom = 0.9\n"
                "local controller = CarController()\n"
                "controller.accel_power = 3\n"
                "car.controller = controller\n"
                "local mesh = __base_morvale_mesh()\n"
                "mesh.effect = 'wheel.fx'\n"
                "car.wheel1 = mesh\n"
                "wheel, controller, mesh = nil, nil, nil\n"
                "collectgarbage()\n"
                "return car\n");
    const SCar car = runAndCollect<SCar>("car.lua");
    expectOwnRecords(car);
    EXPECT_FLOAT_EQ(car.back_wheels->turn_freedom, 0.2f);
    EXPECT_EQ(car.controller->accel_power, 3.0f);
    EXPECT_EQ(car.wheel1->effect, "wheel.fx");
}

TEST_F(CarParams, WrongResultFailsTheCast) {
    writeScript("car.lua", "return Camera()\n");
    EXPECT_THROW(config_->runFileAs<SCar>(L"car.lua"), luabind::cast_failed);
    writeScript("nil.lua", "return nil\n");
    EXPECT_THROW(config_->runFileAs<SCar>(L"nil.lua"), luabind::cast_failed);
}

TEST(CarCopy, CopiesTakeTheReferredValuesAndPointAtTheirOwnRecords) {
    SCar source;
    source.object = "body";
    source.mass = 12.0f;
    source.controllerRecord.break_power = 5.0f;
    SCamera elsewhere;
    elsewhere.inertia = 0.1f;
    source.camera_inside = &elsewhere;

    const SCar copy(source);
    expectOwnRecords(copy);
    EXPECT_EQ(copy.object, "body");
    EXPECT_EQ(copy.mass, 12.0f);
    EXPECT_EQ(copy.controller->break_power, 5.0f);
    EXPECT_FLOAT_EQ(copy.camera_inside->inertia, 0.1f);

    SCar assigned;
    assigned = source;
    expectOwnRecords(assigned);
    EXPECT_FLOAT_EQ(assigned.camera_inside->inertia, 0.1f);
    EXPECT_EQ(assigned.controller->break_power, 5.0f);
}
