// Geoms queued as debug boxes: where the unit box's corner lands must be where ODE puts the
// shape's corner.
#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/physics/physics_object.h"
#include "game/vehicle/physics/physics_world.h"
#include "tests/render_effects/effect_fixture.h"

namespace {

class PhysicsDebugDraw : public kesh::testing::EffectDeviceTest {
protected:
    void SetUp() override {
        EffectDeviceTest::SetUp();
        renderer = std::make_unique<kesh::DebugRenderer>(dx.get(), "debug_render.fx");
        kesh::theDebugRenderer = renderer.get();
    }
    void TearDown() override {
        kesh::theDebugRenderer = nullptr;
        renderer.reset();
        EffectDeviceTest::TearDown();
    }

    PhysicsWorld world;  // sets ODE up before any geom is made
    std::unique_ptr<kesh::DebugRenderer> renderer;
};

D3DXVECTOR3 transformed(const D3DXMATRIX& m, float x, float y, float z) {
    const D3DXVECTOR3 p(x, y, z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

void expectNear(const D3DXVECTOR3& actual, const dVector3 expected) {
    EXPECT_NEAR(actual.x, expected[0], 1e-4);
    EXPECT_NEAR(actual.y, expected[1], 1e-4);
    EXPECT_NEAR(actual.z, expected[2], 1e-4);
}

void turn(dGeomID g, double ax, double ay, double az, double angle) {
    dQuaternion q;
    dQFromAxisAndAngle(q, ax, ay, az, angle);
    dGeomSetQuaternion(g, q);
}

}  // namespace

TEST_F(PhysicsDebugDraw, BoxesAndCappedCylindersBecomeBoxesWhereODEHasThem) {
    PhysicsObject object;
    const dGeomID box = dCreateBox(nullptr, 2.0, 3.0, 4.0);
    dGeomSetPosition(box, 1.0, 2.0, 3.0);
    turn(box, 1.0, 1.0, 0.0, 0.7);
    object.addGeom(box);
    object.addGeom(dCreatePlane(nullptr, 0.0, 1.0, 0.0, 0.0));
    object.addGeom(dCreateSphere(nullptr, 1.0));
    const dGeomID capsule = ode_compat::createCCylinder(nullptr, 0.5, 2.0);
    kesh::Transform placement;
    placement.position = D3DXVECTOR3(0.0f, 1.0f, -1.0f);
    placement.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0.0f, 0.0f, 1.0f), 0.4f);
    object.addTransformedGeom(capsule, placement);
    const dGeomID outer = object.geoms.back();
    dGeomSetPosition(outer, -5.0, 0.0, 2.0);
    turn(outer, 0.0, 1.0, 0.0, 1.1);

    object.debugDraw(2, 0xFFA040A0);
    ASSERT_EQ(renderer->boxes().size(), 2u);
    const kesh::DebugRenderer::Box& drawnBox = renderer->boxes().front();
    const kesh::DebugRenderer::Box& drawnCapsule = renderer->boxes().back();
    EXPECT_EQ(drawnBox.flags, 2u);
    EXPECT_EQ(drawnBox.color, 0xFFA040A0u);

    dVector3 corner;
    dGeomGetRelPointPos(box, 1.0, 1.5, 2.0, corner);
    expectNear(transformed(drawnBox.world, 0.5f, 0.5f, 0.5f), corner);
    dGeomGetRelPointPos(box, -1.0, 1.5, -2.0, corner);
    expectNear(transformed(drawnBox.world, -0.5f, 0.5f, -0.5f), corner);

    // The capsule's box is 2r wide and 2r + l long along its axis, placed inside, then outside.
    dVector3 inTransform;
    dGeomGetRelPointPos(capsule, 0.5, -0.5, 1.5, inTransform);
    dGeomGetRelPointPos(outer, inTransform[0], inTransform[1], inTransform[2], corner);
    expectNear(transformed(drawnCapsule.world, 0.5f, -0.5f, 0.5f), corner);
}

TEST_F(PhysicsDebugDraw, ShapesWithoutABoxAndMissingRendererDrawNothing) {
    PhysicsObject object;
    object.addGeom(ode_compat::createGeomTransform(nullptr));  // empty
    const dGeomID aroundPlane = ode_compat::createGeomTransform(nullptr);
    ode_compat::geomTransformSetCleanup(aroundPlane, 1);
    ode_compat::geomTransformSetGeom(aroundPlane, dCreatePlane(nullptr, 0.0, 1.0, 0.0, 0.0));
    object.addGeom(aroundPlane);
    object.addGeom(dCreatePlane(nullptr, 0.0, 1.0, 0.0, 0.0));
    object.debugDraw(0, 0xFFFFFFFF);
    EXPECT_TRUE(renderer->boxes().empty());

    object.addGeom(dCreateBox(nullptr, 1.0, 1.0, 1.0));
    kesh::theDebugRenderer = nullptr;
    object.debugDraw(0, 0xFFFFFFFF);
    EXPECT_TRUE(renderer->boxes().empty());
}
