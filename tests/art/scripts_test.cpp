// The committed scripts run through the game's script host and give the records the game
// casts them to, with the values the driving relies on.
#include <gtest/gtest.h>

#include <luabind/luabind.hpp>

#include <cmath>

#include "game/vehicle/params/car_params.h"
#include "game/vehicle/params/physics_params.h"
#include "tests/support/services_fixture.h"

namespace {

class ScriptsTest : public morvale_testing::ServicesTest {};

TEST_F(ScriptsTest, PhysicsGivesBothSurfacesWithoutOrientedFriction) {
    const luabind::object result = kesh::theLuaConfig->runFileResult(L"physics.lua");
    const physics::params::SCollisions collisions =
        luabind::object_cast<physics::params::SCollisions>(result);
    for (const physics::params::SPhysicalSurface* surface :
         {collisions.car_to_terrain, collisions.car_to_buildings}) {
        EXPECT_FALSE(surface->orient_friction);
        EXPECT_GT(surface->miu, 0.0f);
        EXPECT_LT(surface->miu, 10.0f);
        EXPECT_EQ(surface->flags, 4 + 8 + 16);
    }
}

TEST_F(ScriptsTest, CarIsASizedFourByFourWithItsBundleAndSetFeedback) {
    const luabind::object result = kesh::theLuaConfig->runFileResult(L"car.lua");
    const car::params::SCar car = luabind::object_cast<car::params::SCar>(result);
    EXPECT_GT(car.width, 1.0f);
    EXPECT_GT(car.length, car.width);
    EXPECT_GT(car.height, 1.0f);
    EXPECT_EQ(car.object_bundle, "levels/car.slev");
    EXPECT_EQ(car.effect, "car.fx");
    EXPECT_FALSE(car.object.empty());
    EXPECT_FALSE(car.antena.empty());
    for (const car::params::SBaseParams* wheel : {car.wheel1, car.wheel2, car.wheel3, car.wheel4}) {
        EXPECT_FALSE(wheel->object.empty());
    }
    // The body's box (height, centred on the mount points) clears the ground on the rays,
    // which hold the mount points at the suspension height less one step's fall under
    // gravity (98.1 / 90).
    EXPECT_GT(car.front_wheels->suspension_height - 98.1f / 90.0f, car.height * 0.5f + 0.2f);
    EXPECT_EQ(car.front_wheels->suspension_height, car.back_wheels->suspension_height);
    EXPECT_GT(car.front_wheels->turn_freedom, 0.1f);
    EXPECT_EQ(car.back_wheels->turn_freedom, 0.0f);
    // Set by the script: the record leaves it unset.
    EXPECT_GT(car.controller->force_feedback, 0.0f);
    EXPECT_LT(car.controller->force_feedback, 0.1f);
    EXPECT_GT(car.controller->engine_power, 10.0f);
}

}  // namespace
