// The car over the published services and real ODE: what a configuration builds, what it
// refuses, skids, crashes and their sounds, skid-mark requests, lamps and the debug view.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "engine/core/publish.h"
#include "engine/core/stream_error.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/visual_effects/billboard_component.h"
#include "engine/render/visual_effects/effect_component.h"
#include "game/audio/audio_system.h"
#include "game/vehicle/car/ray_wheel.h"
#include "tests/render_effect_manager/log_capture.h"
#include "tests/support/car_probe.h"
#include "tests/support/physics_world_probe.h"
#include "tests/vehicle_car/car_fixture.h"

namespace {

using car_testing::kStep;

const float kPi = static_cast<float>(D3DX_PI);

CRayWheel& rayWheel(CCar& car, int i) {
    return dynamic_cast<CRayWheel&>(*car.wheel(i));
}

class CarConfig : public car_testing::CarTest {};

TEST_F(CarConfig, BuildsBodyShapesMountsAndMeshesFromTheScript) {
    effect_testing::captureLog();
    writeCarScript("car.hack_delta_x = 1.0\ncar.hack_delta_y = 2.0\ncar.hack_delta_z = 3.0\n");
    CCar& c = makeCar();
    EXPECT_TRUE(effect_testing::logged("debug", "CCar::CCar applyConfig"));
    EXPECT_TRUE(effect_testing::logged("debug", "CCar::applyConfig succeded"));

    D3DXVECTOR3 p;
    c.position(p);
    EXPECT_EQ(p, D3DXVECTOR3(1.0f, 2.5f, 3.0f));
    EXPECT_TRUE(c.feedback);

    // Two capsules across the car at the ends of a box, r = height / 4.
    ASSERT_EQ(c.geoms.size(), 3u);
    dVector3 box;
    dGeomBoxGetLengths(c.geoms[2], box);
    EXPECT_NEAR(box[0], 1.75, 1e-6);
    EXPECT_NEAR(box[1], 1.0, 1e-6);
    EXPECT_NEAR(box[2], 3.5, 1e-6);
    dReal radius, length;
    ode_compat::geomCCylinderGetParams(ode_compat::geomTransformGetGeom(c.geoms[0]), &radius,
                                       &length);
    EXPECT_NEAR(radius, 0.25, 1e-6);
    EXPECT_NEAR(length, 1.75, 1e-6);
    for (dGeomID g : c.geoms) {
        EXPECT_EQ(dGeomGetBody(g), c.body);
    }

    // Track across x, wheelbase 0.8 x length along z, the front pair ahead.
    ASSERT_EQ(c.wheelCount(), 4);
    const std::vector<D3DXVECTOR3>& mounts = CarProbe::mounts(c);
    EXPECT_EQ(mounts[0], D3DXVECTOR3(-1.0f, 0.0f, 1.6f));
    EXPECT_EQ(mounts[1], D3DXVECTOR3(1.0f, 0.0f, 1.6f));
    EXPECT_EQ(mounts[2], D3DXVECTOR3(-1.0f, 0.0f, -1.6f));
    EXPECT_EQ(mounts[3], D3DXVECTOR3(1.0f, 0.0f, -1.6f));
    EXPECT_FLOAT_EQ(rayWheel(c, 0).setup.turn_freedom, 0.4f);
    EXPECT_FLOAT_EQ(rayWheel(c, 3).setup.turn_freedom, 0.0f);
    EXPECT_EQ(dSpaceGetNumGeoms(CarProbe::wheelSpace(c)->id), 4);

    // Meshes from the bundle, each placed by its object's matrix.
    ASSERT_NE(CarProbe::bodyMesh(c), nullptr);
    EXPECT_EQ(CarProbe::bodyMesh(c)->meshFile, "body_mesh.wfm");
    ASSERT_NE(CarProbe::antennaMesh(c), nullptr);
    EXPECT_FLOAT_EQ(CarProbe::antennaMesh(c)->world._43, -1.0f);
    ASSERT_NE(rayWheel(c, 1).mesh, nullptr);
    EXPECT_FLOAT_EQ(rayWheel(c, 1).mesh->world._41, 1.0f);
    EXPECT_EQ(rayWheel(c, 1).setup.mesh.effect, "car.fx");
}

TEST_F(CarConfig, MassSharesFollowTheWeightShift) {
    CCar& even = makeCar();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(rayWheel(even, i).setup.mass, 8.0f * 0.125f) << i;
    }
    dMass m;
    dBodyGetMass(even.body, &m);
    EXPECT_NEAR(m.mass, 1.0, 1e-6);
    const dReal evenPitchInertia = m.I[0];

    // All to the front; 3 is out of range and counts as 1, for the spheres too.
    for (const char* shift : {"1.0", "3.0"}) {
        writeCarScript(std::string("car.mass_translate = ") + shift + "\n");
        CCar& front = makeCar();
        EXPECT_FLOAT_EQ(rayWheel(front, 0).setup.mass, 8.0f * 0.25f);
        EXPECT_FLOAT_EQ(rayWheel(front, 1).setup.mass, 8.0f * 0.25f);
        EXPECT_FLOAT_EQ(rayWheel(front, 2).setup.mass, 0.0f);
        EXPECT_FLOAT_EQ(rayWheel(front, 3).setup.mass, 0.0f);
        dBodyGetMass(front.body, &m);
        EXPECT_NEAR(m.mass, 1.0, 1e-6);
        // The centre stays at the body's origin: the shift only leaves its mark on the
        // inertia, all of it now at one end.
        EXPECT_NEAR(m.c[0], 0.0, 1e-9);
        EXPECT_NEAR(m.c[2], 0.0, 1e-9);
        EXPECT_LT(m.I[0], evenPitchInertia);
    }
}

TEST_F(CarConfig, RefusesSizesThatBuildNoBody) {
    for (const char* bad : {"car.width = 0\n", "car.length = -1\n", "car.height = 0/0\n",
                            "car.height = 10\n", "car.height = 17\n", "car.mass_ode = 0\n",
                            "car.width = 1/0 car.height = 1/0 car.length = 1/0\n",
                            "car.length = 1/0\n", "car.mass_ode = 1/0\n"}) {
        writeCarScript(bad);
        EXPECT_THROW(makeCar(), std::runtime_error) << bad;
    }
    writeCarScript("car.object_bundle = \"levels/missing.slev\"\n");
    EXPECT_THROW(makeCar(), kesh::stream::error);
    writeArt("config/car.lua", "return Camera()\n");
    EXPECT_ANY_THROW(makeCar());
}

TEST_F(CarConfig, MissingBundleObjectsLeaveTheirMeshesOut) {
    effect_testing::captureLog();
    writeCarScript(
        "car.object = \"no body\"\ncar.antena = \"\"\ncar.wheel1.object = \"no wheel\"\n");
    CCar& c = makeCar();
    EXPECT_EQ(CarProbe::bodyMesh(c), nullptr);
    EXPECT_EQ(CarProbe::antennaMesh(c), nullptr);
    EXPECT_EQ(rayWheel(c, 0).mesh, nullptr);
    EXPECT_NE(rayWheel(c, 1).mesh, nullptr);
    EXPECT_EQ(effect_testing::linesOf("warning").size(), 1u);
    c.setGround(ground.get(), 0.0f);
    for (int i = 0; i < 10; ++i) {
        stepCar();
    }
    EXPECT_TRUE(car_testing::finite(c.placement()->position));
}

TEST_F(CarConfig, ConfiguringAgainMovesTheWheelsIntoTheNewSpace) {
    CCar& c = makeCar();
    c.setGround(ground.get(), 0.0f);
    stepCar();
    writeCarScript("car.width = 3.0\n");
    c.applyConfig(kesh::toWide(artRoot()), L"car.lua");
    ASSERT_EQ(c.wheelCount(), 4);
    EXPECT_EQ(dSpaceGetNumGeoms(CarProbe::wheelSpace(c)->id), 4);
    EXPECT_EQ(CarProbe::mounts(c)[1].x, 1.5f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rayWheel(c, i).space, CarProbe::wheelSpace(c));
    }
    for (int i = 0; i < 90; ++i) {
        stepCar();
    }
    EXPECT_TRUE(car_testing::finite(c.placement()->position));

    // A failed configuration leaves the car as it was.
    writeCarScript("car.width = -1\n");
    EXPECT_THROW(c.applyConfig(kesh::toWide(artRoot()), L"car.lua"), std::runtime_error);
    EXPECT_EQ(c.params()->width, 3.0f);
    stepCar();
}

TEST_F(CarConfig, TorqueIsLimitedAndAttachmentClamped) {
    EXPECT_EQ(CCar::limitedTorque(D3DXVECTOR3(40.0f, -10.0f, 100.0f)),
              D3DXVECTOR3(25.0f, -7.5f, 25.0f));
    EXPECT_EQ(CCar::limitedTorque(D3DXVECTOR3(-40.0f, 0.0f, 20.0f)),
              D3DXVECTOR3(-25.0f, 0.0f, 15.0f));
    CCar& c = makeCar();
    c.setAttachment(1.5f);
    EXPECT_EQ(CarProbe::attachment(c), 1.0f);
    c.setAttachment(-0.2f);
    EXPECT_EQ(CarProbe::attachment(c), 0.0f);
    c.setAttachment(NAN);
    EXPECT_EQ(CarProbe::attachment(c), 0.0f);
    c.setAttachment(0.4f);
    EXPECT_FLOAT_EQ(CarProbe::attachment(c), 0.4f);
}

class CarSounds : public car_testing::CarTest {
protected:
    void SetUp() override {
        CarTest::SetUp();
        audio = std::make_unique<AudioSystem>(*kesh::theLuaConfig, *music);
    }
    void TearDown() override {
        car.reset();
        audio.reset();
        CarTest::TearDown();
    }
    void driveWheels(float drive) {
        for (int i = 0; i < car->wheelCount(); ++i) {
            car->wheel(i)->setDrive(drive);
        }
    }
    std::unique_ptr<AudioSystem> audio;
};

TEST_F(CarSounds, SkiddingIsStrictlyAboveItsThresholds) {
    CCar& c = makeCar(audio.get());
    CarProbe::lateralSum(c) = 17.0f;
    EXPECT_FALSE(c.isSkidding());
    CarProbe::lateralSum(c) = -17.01f;
    EXPECT_TRUE(c.isSkidding());
    CarProbe::lateralSum(c) = 0.0f;
    CarProbe::averageSlip(c) = 6.0f;
    EXPECT_FALSE(c.isSkidding());
    CarProbe::averageSlip(c) = 6.01f;
    EXPECT_TRUE(c.isSkidding());
    CarProbe::averageSlip(c) = -100.0f;
    EXPECT_FALSE(c.isSkidding());
}

TEST_F(CarSounds, WheelsSpinningAgainstTheGroundSoundASlide) {
    // Without a ground space the wheels always touch; at rest, drive 1000 slips by 700.
    CCar& c = makeCar(audio.get());
    c.update(kStep);
    EXPECT_FALSE(c.isSkidding());
    EXPECT_EQ(audio->queuedPlays(), 0u);
    driveWheels(1000.0f);
    c.update(kStep);
    EXPECT_FLOAT_EQ(CarProbe::averageSlip(c), 700.0f);
    EXPECT_FLOAT_EQ(CarProbe::slipSum(c), 2800.0f);
    EXPECT_TRUE(c.isSkidding());
    EXPECT_EQ(audio->queuedPlays(), 1u);

    // Without an audio system the same skid is silent.
    CCar silent(cars.get(), nullptr, nullptr, kesh::toWide(artRoot()), L"car.lua");
    for (int i = 0; i < 4; ++i) {
        silent.wheel(i)->setDrive(1000.0f);
    }
    silent.update(kStep);
    EXPECT_TRUE(silent.isSkidding());
}

TEST_F(CarSounds, OnlyAnImpulseAboveThreeIsACrash) {
    CCar& c = makeCar(audio.get());
    // The world's impulse table as a step leaves it.
    PhysicsWorldProbe::setImpulse(*world, &c, 0.0f, 3.0f, 0.0f);
    c.update(kStep);
    EXPECT_EQ(audio->queuedPlays(), 0u);
    PhysicsWorldProbe::setImpulse(*world, &c, 0.0f, 2.5f, 2.0f);
    c.update(kStep);
    EXPECT_EQ(audio->queuedPlays(), 1u);
}

TEST_F(CarSounds, ADropOntoTheGroundIsACrash) {
    CCar& c = makeCar(audio.get());
    dBodySetLinearVel(c.body, 0.0, -60.0, 0.0);
    kesh::Transform low;
    low.position = D3DXVECTOR3(0.0f, 0.4f, 0.0f);  // the box a little into the ground
    c.place(low);
    world->collide(c, *ground, surface);
    world->step(kStep);
    c.update(kStep);
    EXPECT_EQ(audio->queuedPlays(), 1u);
}

class CarTracks : public CarSounds {};

TEST_F(CarTracks, SkidsLeaveMarksEveryHalfWidth) {
    CCar& c = makeCar();
    EXPECT_EQ(c.nextDecalRequest(), nullptr) << "no marks before a skid";
    c.update(kStep);
    EXPECT_EQ(c.nextDecalRequest(), nullptr);

    driveWheels(1000.0f);
    c.update(kStep);
    const D3DXVECTOR3 start = c.placement()->position;
    DecalRequest* first = c.nextDecalRequest();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->position, start);
    EXPECT_EQ(first->texture, "misc/tracks.tga");
    EXPECT_EQ(first->colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(first->size, 2.0f);
    EXPECT_DOUBLE_EQ(first->lifetime, 20.0);
    EXPECT_EQ(c.nextDecalRequest(), nullptr) << "the car has not moved on";

    // Three widths' halves along +z: three marks, each turned to the path.
    kesh::Transform ahead;
    ahead.position = start + D3DXVECTOR3(0.0f, 0.0f, 3.0f);
    c.place(ahead);
    c.update(kStep);
    int marks = 0;
    while (DecalRequest* mark = c.nextDecalRequest()) {
        ++marks;
        EXPECT_NEAR(mark->position.z, start.z + static_cast<float>(marks), 1e-4f);
        EXPECT_FLOAT_EQ(mark->angle, -kPi / 4.0f);
        ASSERT_LT(marks, 10);
    }
    EXPECT_EQ(marks, 3);

    // The skid ends; the next one starts a new segment where it starts.
    driveWheels(0.0f);
    dBodySetLinearVel(c.body, 0.0, 0.0, 0.0);
    c.update(kStep);
    EXPECT_EQ(c.nextDecalRequest(), nullptr);
    ahead.position.x += 10.0f;
    c.place(ahead);
    driveWheels(1000.0f);
    c.update(kStep);
    DecalRequest* next = c.nextDecalRequest();
    ASSERT_NE(next, nullptr);
    EXPECT_FLOAT_EQ(next->position.x, ahead.position.x);
}

TEST_F(CarTracks, AMarkWithoutSizeOrPlaceEndsTheTrail) {
    CCar& c = makeCar();
    driveWheels(1000.0f);
    c.update(kStep);
    ASSERT_NE(c.nextDecalRequest(), nullptr);
    Tracks& tracks = CarProbe::tracks(c);
    tracks.lastPosition.z += 5.0f;
    tracks.mark->size = 0.0f;
    EXPECT_EQ(c.nextDecalRequest(), nullptr);
    tracks.mark->size = 2.0f;
    tracks.lastPosition.x = NAN;
    EXPECT_EQ(c.nextDecalRequest(), nullptr);
}

TEST_F(CarTracks, FarFromTheOriginTheTrailStillEnds) {
    CCar& c = makeCar();
    driveWheels(1000.0f);
    c.update(kStep);
    ASSERT_NE(c.nextDecalRequest(), nullptr);
    // Floats 8 apart at 1e8: half a mark (1) added to the last mark rounds back onto it.
    Tracks& tracks = CarProbe::tracks(c);
    tracks.mark->position = D3DXVECTOR3(1e8f, 0.0f, 0.0f);
    tracks.lastPosition = D3DXVECTOR3(std::nextafter(1e8f, 2e8f), 0.0f, 0.0f);
    int marks = 0;
    while (DecalRequest* mark = c.nextDecalRequest()) {
        ASSERT_LT(++marks, 10);
        EXPECT_EQ(mark->position, tracks.lastPosition);
    }
    EXPECT_EQ(marks, 1);
}

class CarLamps : public car_testing::CarTest {
protected:
    void readLampEffect() {
        writeArt("config/light.txt", ":Billboard\ntexture flare.dds\n");
        writeArt("config/effect_config.cmd", "car_light light.txt\n");
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
    }

    // The car turned a quarter about y (nose along +x) at (10, 1, 5).
    void placeTurned() {
        kesh::Transform t;
        t.position = D3DXVECTOR3(10.0f, 1.0f, 5.0f);
        t.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0, 1, 0), kPi / 2.0f);
        car->place(t);
    }

    car_testing::FlatGround flat;
};

TEST_F(CarLamps, LampsLayTwoPoolsAheadAndPlaceTheirLights) {
    readLampEffect();
    kesh::Decaler decaler(dx.get(), &flat);
    CCar& c = makeCar(nullptr, &decaler);
    ASSERT_TRUE(CarProbe::lampEffect(c, 0));
    ASSERT_TRUE(CarProbe::lampEffect(c, 1));
    placeTurned();

    c.update(kStep);
    EXPECT_TRUE(CarProbe::lampEffect(c, 0)->isHidden());
    // The update moved the body a step; the lamps follow the car's placement.
    placeTurned();
    c.render();
    EXPECT_FALSE(CarProbe::lampEffect(c, 0)->isHidden());
    EXPECT_FALSE(CarProbe::lampEffect(c, 1)->isHidden());

    ASSERT_EQ(decaler.buckets().size(), 1u);
    const std::vector<kesh::DecalRecord>& pools = decaler.buckets().begin()->second;
    ASSERT_EQ(pools.size(), 2u);
    // Seven ahead (+x), 0.7 to either side (the left side first: -z).
    EXPECT_NEAR(pools[0].x, 17.0f, 1e-4f);
    EXPECT_NEAR(pools[0].z, 4.3f, 1e-4f);
    EXPECT_NEAR(pools[1].x, 17.0f, 1e-4f);
    EXPECT_NEAR(pools[1].z, 5.7f, 1e-4f);
    for (const kesh::DecalRecord& pool : pools) {
        EXPECT_EQ(pool.color, 0x60FFFFFFu);
        EXPECT_FLOAT_EQ(pool.size, 5.0f);
        EXPECT_NEAR(pool.sinHalf, std::sin(kPi / 4.0f), 1e-5f);
        EXPECT_NEAR(pool.cosHalf, std::cos(kPi / 4.0f), 1e-5f);
    }

    // Each light sits at the front corner, 0.8 up, turned with the car.
    const float expectedZ[2] = {5.0f - 0.64f, 5.0f + 0.64f};
    for (int i = 0; i < 2; ++i) {
        auto* board = dynamic_cast<kesh::effect::BillboardComponent*>(
            CarProbe::lampEffect(c, i)->components.back().get());
        ASSERT_NE(board, nullptr);
        const D3DXMATRIX& m = board->matrix();
        EXPECT_NEAR(m._41, 11.4f, 1e-4f);
        EXPECT_NEAR(m._42, 1.8f, 1e-4f);
        EXPECT_NEAR(m._43, expectedZ[i], 1e-4f);
        // The light's long axis (z, scaled 1.5) now points along +x, tilted down by pi/8.
        EXPECT_GT(m._31, 0.0f);
        EXPECT_LT(m._32, 0.0f);
    }
}

TEST_F(CarLamps, WithoutTheLightEffectOrADecalerTheCarStillDraws) {
    CCar& c = makeCar();
    EXPECT_FALSE(CarProbe::lampEffect(c, 0));
    c.update(kStep);
    c.render();

    kesh::withdraw(kesh::theEffectManager);
    CCar alone(cars.get(), nullptr, nullptr, kesh::toWide(artRoot()), L"car.lua");
    alone.update(kStep);
    alone.render();
    EXPECT_FALSE(CarProbe::lampEffect(alone, 1));
}

TEST_F(CarLamps, DebugViewShowsWheelsShapesPositionAndBars) {
    CCar& c = makeCar();
    placeTurned();
    CarProbe::lateralSum(c) = 3.5f;
    CarProbe::yawMeasure(c) = 0.25f;
    device->BeginScene();
    c.drawDebugText(kesh::CameraView());
    device->EndScene();

    const auto& texts = kesh::theDebugRenderer->screenTexts();
    ASSERT_EQ(texts.size(), 6u);
    auto it = texts.begin();
    EXPECT_EQ(it->text.substr(0, 12), L"front wheel ");
    std::advance(it, 4);
    EXPECT_EQ(it->text, L"Car @ 10 : 5");
    EXPECT_EQ(it->color, 0xFFF0A080u);
    ++it;
    EXPECT_EQ(it->text, L"[XXX-------] 3.5\n[----------] 0\n");
    // The box and the two capsules.
    EXPECT_EQ(kesh::theDebugRenderer->boxes().size(), 3u);
    EXPECT_EQ(kesh::theDebugRenderer->boxes().front().color, 0xFFA040A0u);
    // Solid and depth-tested, every one of them.
    for (const kesh::DebugRenderer::Box& box : kesh::theDebugRenderer->boxes()) {
        EXPECT_EQ(box.flags, 2u);
    }
}

// Keeps the car's world matrix its debug view hands to the wheels.
class RecordingWheel : public CRayWheel {
public:
    void drawDebug(const kesh::CameraView&, const D3DXMATRIX& carWorld) override {
        seen = carWorld;
    }
    D3DXMATRIX seen;
};

TEST_F(CarLamps, DebugViewStretchesTheBodyMeshToTheCarsSize) {
    for (float meshHeight : {0.5f, 0.0f}) {
        writeArt("mesh/body_mesh.wfm", car_testing::boxMeshFile(1.0f, meshHeight, 2.0f));
        meshInfos->releaseAll();  // the cache would keep the earlier file
        CCar& c = makeCar();
        auto owned = std::make_unique<RecordingWheel>();
        RecordingWheel* recorder = owned.get();
        CarProbe::replaceWheel(c, 0, std::move(owned));
        device->BeginScene();
        c.drawDebugText(kesh::CameraView());
        device->EndScene();
        // Half the car's size on x and z; a mesh without height keeps the scale 1.
        EXPECT_FLOAT_EQ(recorder->seen._11, 2.0f);
        EXPECT_FLOAT_EQ(recorder->seen._22, meshHeight > 0.0f ? 2.0f : 1.0f);
        EXPECT_FLOAT_EQ(recorder->seen._33, 2.0f);
    }
}

}  // namespace
