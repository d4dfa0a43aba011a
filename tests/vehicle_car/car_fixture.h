// A car built the way the level builds one: a world with a space for the car and a ground
// space holding the plane y = 0, "car.lua" in the art folder's scripts and the car's object
// bundle written with the level writer.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/core/strings.h"
#include "engine/render/quad/ground_height_source.h"
#include "game/vehicle/car/car.h"
#include "game/vehicle/params/physics_params.h"
#include "game/vehicle/physics/ground_plane.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"
#include "tests/support/services_fixture.h"
#include "tests/vehicle_car/step_time.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace car_testing {

// The test car: 2 wide, 4 long, 1 high, riding on 2.5 of suspension. Its mass of 8 gives each
// wheel's force model the share 1.
inline std::string carScript(const std::string& extra = "") {
    return "local car = Car()\n"
           "car.width = 2.0\n"
           "car.length = 4.0\n"
           "car.height = 1.0\n"
           "car.mass = 8.0\n"
           "car.mass_ode = 1.0\n"
           "car.object = \"body\"\n"
           "car.effect = \"car.fx\"\n"
           "car.antena = \"antenna\"\n"
           "car.object_bundle = \"levels/car.slev\"\n"
           "car.front_wheels.turn_freedom = 0.4\n"
           "car.front_wheels.suspension_height = 2.5\n"
           "car.back_wheels.turn_freedom = 0.0\n"
           "car.back_wheels.suspension_height = 2.5\n"
           "car.wheel1.object = \"wheel_fl\"\n"
           "car.wheel2.object = \"wheel_fr\"\n"
           "car.wheel3.object = \"wheel_bl\"\n"
           "car.wheel4.object = \"wheel_br\"\n"
           "car.controller.force_feedback = 0.01\n" +
           extra + "return car\n";
}

inline kesh::data::StaticObject bundleObject(const std::string& name, float x, float y, float z) {
    kesh::data::StaticObject object;
    object.name = name;
    object.mesh = name + "_mesh";
    D3DXMatrixTranslation(&object.transform, x, y, z);
    return object;
}

// The body, the antenna and the four wheels, each its own mesh.
inline kesh::data::LevelData carBundle() {
    kesh::data::LevelData bundle;
    bundle.name = "test car";
    bundle.statics = {
        bundleObject("body", 0, 0, 0),           bundleObject("antenna", 0.5f, 1, -1),
        bundleObject("wheel_fl", -1, -1, 1.6f),  bundleObject("wheel_fr", 1, -1, 1.6f),
        bundleObject("wheel_bl", -1, -1, -1.6f), bundleObject("wheel_br", 1, -1, -1.6f)};
    return bundle;
}

// A box of the given extents around the origin, as a ".wfm" mesh with one material.
inline std::vector<std::uint8_t> boxMeshFile(float sx, float sy, float sz) {
    maya_common::data::tri_mesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.positions.push_back({(i & 1 ? 0.5f : -0.5f) * sx, (i & 2 ? 0.5f : -0.5f) * sy,
                                  (i & 4 ? 0.5f : -0.5f) * sz});
    }
    mesh.normals = {{0, 1, 0}};
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 0};
    mesh.uv_sets = {uv};
    mesh.position_tris = {{0, 1, 3}, {0, 3, 2}, {4, 7, 5}, {4, 6, 7}, {0, 4, 5}, {0, 5, 1},
                          {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    mesh.face_materials.assign(mesh.position_tris.size(), 0);
    mesh.materials.materials.push_back({"car.tga"});
    return artlib::meshFileBytes(mesh);
}

class FlatGround : public kesh::GroundHeightSource {
public:
    float groundHeight(const float*) override { return 0.0f; }
};

inline bool finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

class CarTest : public morvale_testing::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        world = std::make_unique<PhysicsWorld>();
        cars = std::make_unique<PhysicsSpace>(*world);
        ground = std::make_unique<PhysicsSpace>(*world);
        plane = std::make_unique<GroundPlane>(0.0f);
        plane->setSpace(ground.get());
        writeArt("levels/car.slev", artlib::levelFileBytes(carBundle()));
        // The body mesh is half the car's size on every axis.
        writeArt("mesh/body_mesh.wfm", boxMeshFile(1.0f, 0.5f, 2.0f));
        for (const char* part : {"antenna", "wheel_fl", "wheel_fr", "wheel_bl", "wheel_br"}) {
            writeArt(std::string("mesh/") + part + "_mesh.wfm", boxMeshFile(0.2f, 0.8f, 0.8f));
        }
        writeCarScript();
    }

    void TearDown() override {
        // The car holds effect handles and geoms: it goes before the services and the world.
        car.reset();
        plane.reset();
        ground.reset();
        cars.reset();
        world.reset();
        ServicesTest::TearDown();
    }

    void writeCarScript(const std::string& extra = "") {
        writeArt("config/car.lua", carScript(extra));
    }

    CCar& makeCar(AudioSystem* audio = nullptr, kesh::Decaler* decaler = nullptr) {
        car.reset();
        car =
            std::make_unique<CCar>(cars.get(), decaler, audio, kesh::toWide(artRoot()), L"car.lua");
        return *car;
    }

    // One fixed step of the level, without a controller.
    void stepCar() {
        car->update(kStep);
        world->collide(*car, *ground, surface);
        world->step(kStep);
    }

    std::unique_ptr<PhysicsWorld> world;
    std::unique_ptr<PhysicsSpace> cars;
    std::unique_ptr<PhysicsSpace> ground;
    std::unique_ptr<GroundPlane> plane;
    physics::params::SPhysicalSurface surface;
    std::unique_ptr<CCar> car;
};

}  // namespace car_testing
