#include <luabind/luabind.hpp>

#include <cfloat>

#include "game/vehicle/params/car_params.h"
#include "game/vehicle/params/physics_params.h"
#include "tests/core_lua/lua_fixture.h"

using physics::params::SCollisions;
using physics::params::SPhysicalSurface;

typedef testing_lua::LuaTest PhysicsParams;

namespace {

void expectDefaults(const SPhysicalSurface& surface) {
    EXPECT_EQ(surface.miu, FLT_MAX);
    EXPECT_EQ(surface.contact_dampener, 1.0f);
    EXPECT_EQ(surface.bounciness, 0.0f);
    EXPECT_EQ(surface.bounce_velocity, 0.0f);
    EXPECT_EQ(surface.soft_erp, 0.0f);
    EXPECT_EQ(surface.soft_cfm, 0.0f);
    EXPECT_EQ(surface.flags, 0);
    EXPECT_FALSE(surface.orient_friction);
    EXPECT_FALSE(surface.cached);
}

void expectOwnRecords(const SCollisions& collisions) {
    EXPECT_EQ(collisions.car_to_terrain, &collisions.terrainRecord);
    EXPECT_EQ(collisions.car_to_buildings, &collisions.buildingsRecord);
}

}  // namespace

TEST_F(PhysicsParams, UntouchedCollisionsHaveTheDefaults) {
    writeScript("physics.lua", "return physics.Collisions()\n");
    const SCollisions collisions = runAndCollect<SCollisions>("physics.lua");
    expectOwnRecords(collisions);
    expectDefaults(*collisions.car_to_terrain);
    expectDefaults(*collisions.car_to_buildings);
}

TEST_F(PhysicsParams, ScriptChangesSurfacesInPlace) {
    writeScript("physics.lua",
                "local c = physics.Collisions()\n"
                "c.car_to_terrain.miu = 0.5\n"
                "c.car_to_terrain.orient_friction = true\n"
                "c.car_to_buildings.flags = physics.Surface.BOUNCE + physics.Surface.SOFT_CFM\n"
                "c.car_to_buildings.bounciness = 0.25\n"
                "assert(physics.Surface.SOFT_ERP == 8)\n"
                "return c\n");
    const SCollisions collisions = runAndCollect<SCollisions>("physics.lua");
    expectOwnRecords(collisions);
    EXPECT_EQ(collisions.car_to_terrain->miu, 0.5f);
    EXPECT_TRUE(collisions.car_to_terrain->orient_friction);
    EXPECT_EQ(collisions.car_to_buildings->flags, 4 | 16);
    const dSurfaceParameters& ode = collisions.car_to_buildings->getSurfaceParameters();
    EXPECT_EQ(ode.mode, 4 | 16);
    EXPECT_EQ(ode.bounce, 0.25);
    EXPECT_EQ(ode.mu, static_cast<dReal>(FLT_MAX));
}

TEST_F(PhysicsParams, AssigningASurfaceCopiesItsValues) {
    writeScript("physics.lua",
                "local c = physics.Collisions()\n"
                "local s = physics.Surface()\n"
                "s.miu = 2\n"
                "c.car_to_buildings = s\n"
                "s.miu = 3\n"
                "s = nil\n"
                "collectgarbage()\n"
                "assert(c.car_to_buildings.miu == 2)\n"
                "return c\n");
    const SCollisions collisions = runAndCollect<SCollisions>("physics.lua");
    expectOwnRecords(collisions);
    EXPECT_EQ(collisions.car_to_buildings->miu, 2.0f);
    expectDefaults(*collisions.car_to_terrain);
}

TEST_F(PhysicsParams, SurfaceReferenceKeepsItsOwnerAlive) {
    writeScript("physics.lua",
                "local t = physics.Collisions().car_to_terrain\n"
                "collectgarbage()\n"
                "t.soft_erp = 0.75\n"
                "return t\n");
    EXPECT_EQ(runAndCollect<SPhysicalSurface>("physics.lua").soft_erp, 0.75f);
}

TEST_F(PhysicsParams, WrongResultFailsTheCast) {
    writeScript("physics.lua", "return physics.Surface()\n");
    EXPECT_THROW(config_->runFileAs<SCollisions>(L"physics.lua"), luabind::cast_failed);
}

TEST(SurfaceParameters, FollowEveryChangeUnlessCached) {
    SPhysicalSurface surface;
    surface.miu = 1.5f;
    EXPECT_EQ(surface.getSurfaceParameters().mu, 1.5);
    surface.miu = 2.5f;
    surface.soft_cfm = 0.125f;
    EXPECT_EQ(surface.getSurfaceParameters().mu, 2.5);
    EXPECT_EQ(surface.getSurfaceParameters().soft_cfm, 0.125);
    surface.cached = true;
    surface.miu = 9.0f;
    EXPECT_EQ(surface.getSurfaceParameters().mu, 2.5);
}

TEST(CollisionsCopy, CopiesPointAtTheirOwnSurfaces) {
    SCollisions source;
    source.terrainRecord.miu = 7.0f;
    SCollisions copy(source);
    expectOwnRecords(copy);
    EXPECT_EQ(copy.car_to_terrain->miu, 7.0f);

    // A source whose pointer refers elsewhere hands over the value it refers to.
    SPhysicalSurface outside;
    outside.bounciness = 0.5f;
    source.car_to_buildings = &outside;
    SCollisions assigned;
    assigned = source;
    expectOwnRecords(assigned);
    EXPECT_EQ(assigned.car_to_buildings->bounciness, 0.5f);
    EXPECT_EQ(assigned.car_to_terrain->miu, 7.0f);
    const SCollisions& same = assigned;
    assigned = same;
    expectOwnRecords(assigned);
    EXPECT_EQ(assigned.car_to_terrain->miu, 7.0f);
}
