#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/physics/physics_world.h"
#include "game/world/cameras/inside_camera.h"
#include "game/world/cameras/outside_camera.h"
#include "game/world/statics/statics_loader.h"
#include "game/world/statics/statics_set.h"
#include "tests/support/services_fixture.h"
#include "tests/world_statics/fake_vehicle.h"
#include "tests/world_statics/world_art.h"

namespace {

using namespace world_testing;

D3DXVECTOR3 eyeOf(const kesh::CameraView& view) {
    return D3DXVECTOR3(view.camera._41, view.camera._42, view.camera._43);
}

D3DXVECTOR3 forwardOf(const kesh::CameraView& view) {
    return D3DXVECTOR3(view.camera._31, view.camera._32, view.camera._33);
}

bool finiteMatrix(const D3DXMATRIX& m) {
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(m[i])) {
            return false;
        }
    }
    return true;
}

void expectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(InsideCameraView, SitsAtDriverHeightLookingAlongTheHeading) {
    FakeVehicle car;
    kesh::CameraView view;
    InsideCamera camera;
    camera.update(0.0f);  // neither target nor view: nothing to do
    camera.setTarget(&car);
    camera.update(0.0f);
    camera.setView(&view);
    EXPECT_FLOAT_EQ(view.nearPlane, 0.1f);
    EXPECT_FLOAT_EQ(view.fov, 0.9424778f);

    car.put(D3DXVECTOR3(10, 7, -3), D3DX_PI / 2);  // raised on a static, heading +x
    camera.update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(10, 2, -3));
    expectNear(forwardOf(view), D3DXVECTOR3(1, 0, 0));

    // Pointing straight up the car gives no heading: the view stays.
    const D3DXMATRIX before = view.camera;
    car.placed.rotation = turned(0.0f, -D3DX_PI / 2);
    camera.update(1.0f / 90);
    EXPECT_EQ(view.camera, before);
}

class Cameras : public morvale_testing::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        world = std::make_unique<PhysicsWorld>();
        set = std::make_unique<StaticsSet>(dx.get(), "textured_mesh.fx", *world);
        params.inertia = 1.0f;
        params.distance = 20.0f;
        params.target_offset = 0.0f;
        params.angle = 0.0f;
        car.put(D3DXVECTOR3(0, 0, 0));
    }
    void TearDown() override {
        camera.reset();
        set.reset();
        world.reset();
        ServicesTest::TearDown();
    }

    void loadStatics(const std::vector<kesh::data::StaticObject>& statics, bool floor = true) {
        kesh::data::LevelData level;
        level.statics = statics;
        if (floor) {
            // Keeps the grid wide enough around the camera's segment.
            writeArt("mesh/floor.wfm", boxMeshFile({-50, -1, -50}, {50, 0, 50}));
            level.statics.push_back(staticRecord(99, "floor", placedAt(0, 0, 0), 0));
        }
        StaticsLoader(&level, "", "", "").load(*set);
    }

    void start(bool withStatics = true) {
        camera = std::make_unique<OutsideCamera>();
        camera->setParams(params);
        if (withStatics) {
            camera->setStatics(set.get());
        }
        camera->setTarget(&car);
        camera->setView(&view);
    }

    std::unique_ptr<PhysicsWorld> world;
    std::unique_ptr<StaticsSet> set;
    car::params::SCamera params;
    FakeVehicle car;
    kesh::CameraView view;
    std::unique_ptr<OutsideCamera> camera;
};

TEST_F(Cameras, WithoutStaticsTheEyeGoesStraightToItsPlaceBehindAndAbove) {
    params.angle = 0.3f;
    params.target_offset = 1.0f;
    params.inertia = 0.1f;  // not used without statics
    start(false);
    EXPECT_FLOAT_EQ(view.nearPlane, 1.0f);
    camera->update(1.0f / 90);
    const D3DXVECTOR3 look(0, 0, 1);
    expectNear(eyeOf(view), look - D3DXVECTOR3(0, -std::sin(0.3f), std::cos(0.3f)) * 20.0f);
    // Looking down at the look target.
    D3DXVECTOR3 toLook = look - eyeOf(view);
    D3DXVec3Normalize(&toLook, &toLook);
    expectNear(forwardOf(view), toLook);
    EXPECT_LT(forwardOf(view).y, 0.0f);
}

TEST_F(Cameras, InertiaCoversItsShareOfTheWayEachStep) {
    loadStatics({});
    params.inertia = 0.1f;
    start();
    view.setPosition(D3DXVECTOR3(0, 0, 30));
    camera->update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, 30) * 0.9f + D3DXVECTOR3(0, 0, -20) * 0.1f);
    params.inertia = 1.0f;
    camera->setParams(params);
    camera->update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, -20));
}

TEST_F(Cameras, ASolidStaticBetweenEyeAndCarPullsTheEyeIn) {
    writeArt("mesh/wall.wfm", boxMeshFile({-5, -5, -1}, {5, 5, 1}, {partBox(-5, -5, -1, 5, 5, 1)}));
    loadStatics({staticRecord(1, "wall", placedAt(0, 0, -10), 4)});
    start();
    camera->update(1.0f / 90);
    // The segment from (0, 0, -20) meets the wall's far face at z = -11.
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, -11), 1e-3f);
}

TEST_F(Cameras, AHitCloserThanTheCarsLengthKeepsTheEyeThatFarAway) {
    writeArt("mesh/wall.wfm", boxMeshFile({-5, -5, -1}, {5, 5, 1}, {partBox(-5, -5, -1, 5, 5, 1)}));
    loadStatics({staticRecord(1, "wall", placedAt(0, 0, -2), 4)});
    start();
    camera->update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, -4), 1e-3f);
}

TEST_F(Cameras, ALoneSmallPropNeverPullsButTheSameBoxAmongOthersDoes) {
    // 1 x 1 in footprint, smaller than the car's 4 x 2.
    writeArt("mesh/post.wfm", boxMeshFile({-0.5f, -5, -0.5f}, {0.5f, 5, 0.5f},
                                          {partBox(-0.5f, -5, -0.5f, 0.5f, 5, 0.5f)}));
    writeArt("mesh/posts.wfm", boxMeshFile({-0.5f, -5, -0.5f}, {0.5f, 5, 0.5f},
                                           {partBox(-0.5f, -5, -0.5f, 0.5f, 5, 0.5f),
                                            partBox(-0.5f, -5, -0.5f, 0.5f, 5, 0.5f),
                                            partBox(-0.5f, -5, -0.5f, 0.5f, 5, 0.5f)}));
    loadStatics({staticRecord(1, "post", placedAt(0, 0, -10), 4)});
    start();
    camera->update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, -20), 1e-3f);

    set = std::make_unique<StaticsSet>(dx.get(), "textured_mesh.fx", *world);
    loadStatics({staticRecord(1, "posts", placedAt(0, 0, -10), 4)});
    start();
    camera->update(1.0f / 90);
    expectNear(eyeOf(view), D3DXVECTOR3(0, 0, -10.5f), 1e-3f);
}

TEST_F(Cameras, DebugDrawCountsTheQueriedStaticsAndStartsAgain) {
    writeArt("mesh/wall.wfm", boxMeshFile({-5, -5, -1}, {5, 5, 1}, {partBox(-5, -5, -1, 5, 5, 1)}));
    loadStatics({staticRecord(1, "wall", placedAt(0, 0, -10), 4)}, false);
    start();
    camera->update(1.0f / 90);
    camera->update(1.0f / 90);
    kesh::theDebugRenderer->clear();
    camera->debugDraw();
    ASSERT_EQ(kesh::theDebugRenderer->screenTexts().size(), 1u);
    // The wall, listed once per grid cell and update, once after neighbouring duplicates go.
    EXPECT_EQ(kesh::theDebugRenderer->screenTexts().front().text,
              L"Queried 1 objects in 2 updates.\n");
    EXPECT_EQ(kesh::theDebugRenderer->screenTexts().front().color, 0xFFF0A080u);
    EXPECT_EQ(kesh::theDebugRenderer->boxes().size(), 1u);  // the wall's collision box
    kesh::theDebugRenderer->clear();
    camera->debugDraw();
    EXPECT_EQ(kesh::theDebugRenderer->screenTexts().front().text,
              L"Queried 0 objects in 0 updates.\n");
}

TEST_F(Cameras, LevelViewsAreNeverNaN) {
    params.angle = 0.35f;
    params.target_offset = 2.0f;
    params.distance = 9.0f;
    params.inertia = 0.2f;
    loadStatics({});
    start();
    for (int i = 0; i < 400; ++i) {
        const float yaw = 0.0157f * static_cast<float>(i);
        car.put(D3DXVECTOR3(0.37f * static_cast<float>(i % 50) - 9.0f, 0.5f,
                            0.11f * static_cast<float>(i)),
                yaw);
        camera->update(1.0f / 90);
        ASSERT_TRUE(finiteMatrix(view.camera)) << i;
        ASSERT_TRUE(finiteMatrix(view.viewProjection)) << i;
    }
    // An eye straight above its look target keeps the previous view.
    params.angle = D3DX_PI / 2;
    params.inertia = 1.0f;
    camera->setParams(params);
    const D3DXMATRIX before = view.camera;
    camera->update(1.0f / 90);
    EXPECT_TRUE(finiteMatrix(view.camera));
    EXPECT_EQ(view.camera, before);
}

TEST_F(Cameras, AnEyeBelowTheCarLooksUpAtIt) {
    start(false);
    // Climbing steeply: the car's nose points up, so the eye ends up below the car.
    car.placed.rotation = turned(0.0f, -1.2f);
    params.angle = -0.2f;
    camera->setParams(params);
    camera->update(1.0f / 90);
    ASSERT_LT(eyeOf(view).y, 0.0f);
    D3DXVECTOR3 toCar = -eyeOf(view);
    D3DXVec3Normalize(&toCar, &toCar);
    expectNear(forwardOf(view), toCar);
    EXPECT_GT(forwardOf(view).y, 0.0f);
}

}  // namespace
