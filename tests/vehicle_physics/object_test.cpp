#include <cmath>

#include "tests/vehicle_physics/physics_fixture.h"

using testing_physics::PhysicsTest;

typedef PhysicsTest Objects;

TEST_F(Objects, GeomsFollowTheObjectFromSpaceToSpaceAndDieWithIt) {
    PhysicsSpace other(*world);
    {
        PhysicsObject object;
        object.addGeom(nullptr);
        const dGeomID a = dCreateSphere(nullptr, 1.0);
        object.addGeom(a);
        object.addGeom(a);  // held once, destroyed once
        EXPECT_EQ(object.geoms.size(), 1u);
        EXPECT_EQ(dGeomGetSpace(a), nullptr);

        object.setSpace(&cars);
        EXPECT_EQ(dGeomGetSpace(a), cars.id);
        const dGeomID b = dCreateBox(nullptr, 1.0, 1.0, 1.0);
        object.addGeom(b);
        EXPECT_EQ(dGeomGetSpace(b), cars.id);
        EXPECT_EQ(dSpaceGetNumGeoms(cars.id), 2);

        object.setSpace(&other);
        EXPECT_EQ(dSpaceGetNumGeoms(cars.id), 0);
        EXPECT_EQ(dSpaceGetNumGeoms(other.id), 2);
        object.setSpace(&other);
        EXPECT_EQ(dSpaceGetNumGeoms(other.id), 2);
        object.setSpace(nullptr);
        EXPECT_EQ(dSpaceGetNumGeoms(other.id), 0);
        object.setSpace(&other);
    }
    EXPECT_EQ(dSpaceGetNumGeoms(other.id), 0);
}

TEST_F(Objects, DestroyGeomsEmptiesTheObject) {
    PhysicsObject object;
    object.setSpace(&cars);
    object.addGeom(dCreateSphere(nullptr, 1.0));
    object.addGeom(dCreateSphere(nullptr, 2.0));
    object.destroyGeoms();
    EXPECT_TRUE(object.geoms.empty());
    EXPECT_EQ(object.firstGeom(), nullptr);
    EXPECT_EQ(dSpaceGetNumGeoms(cars.id), 0);
}

TEST_F(Objects, GeomWalkSurvivesAddingGeoms) {
    PhysicsObject object;
    EXPECT_EQ(object.currentGeom(), nullptr);
    EXPECT_EQ(object.firstGeom(), nullptr);
    const dGeomID a = dCreateSphere(nullptr, 1.0);
    object.addGeom(a);
    EXPECT_EQ(object.firstGeom(), a);
    // Enough geoms to make the list grow its storage while the walk stands on a.
    for (int i = 0; i < 40; ++i) {
        object.addGeom(dCreateSphere(nullptr, 1.0));
    }
    EXPECT_EQ(object.currentGeom(), a);
    object.nextGeom();
    EXPECT_EQ(object.currentGeom(), object.geoms[1]);
    int walked = 0;
    for (dGeomID g = object.firstGeom(); g; object.nextGeom(), g = object.currentGeom()) {
        EXPECT_EQ(g, object.geoms[walked]);
        ++walked;
    }
    EXPECT_EQ(walked, 41);
    object.nextGeom();
    EXPECT_EQ(object.currentGeom(), nullptr);
}

TEST_F(Objects, TransformedGeomIsPlacedInsideItsTransform) {
    PhysicsObject object;
    object.setSpace(&cars);
    const dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
    kesh::Transform placement;
    placement.position = D3DXVECTOR3(3.0f, 2.0f, 1.0f);
    placement.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.5f);
    object.addTransformedGeom(box, placement);
    object.addTransformedGeom(nullptr, placement);
    ASSERT_EQ(object.geoms.size(), 1u);

    const dGeomID t = object.geoms[0];
    EXPECT_EQ(dGeomGetClass(t), ode_compat::geomTransformClass);
    EXPECT_EQ(ode_compat::geomTransformGetGeom(t), box);
    EXPECT_EQ(dGeomGetSpace(t), cars.id);
    EXPECT_EQ(dGeomGetSpace(box), nullptr);
    const dReal* position = dGeomGetPosition(box);
    EXPECT_DOUBLE_EQ(position[0], 3.0);
    EXPECT_DOUBLE_EQ(position[1], 2.0);
    EXPECT_DOUBLE_EQ(position[2], 1.0);
    dQuaternion q;
    dGeomGetQuaternion(box, q);
    EXPECT_NEAR(q[0], placement.rotation.w, 1e-6);
    EXPECT_NEAR(q[2], placement.rotation.y, 1e-6);
    EXPECT_NEAR(q[2], std::sin(0.25), 1e-6);

    // Contacts name the transform, not the geom inside it.
    dGeomSetPosition(t, -3.0, -1.6, -1.0);
    world->gatherContacts(object, ground);
    ASSERT_GT(world->contactsGathered(), 0);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 0).g1, t);
}

TEST_F(Objects, GroundPlaneFacesUpAtItsHeight) {
    const GroundPlane raised(-2.5f);
    EXPECT_EQ(raised.height, -2.5f);
    ASSERT_EQ(raised.geoms.size(), 1u);
    EXPECT_EQ(dGeomGetClass(raised.geoms[0]), ode_compat::planeClass);
    dVector4 params;
    dGeomPlaneGetParams(raised.geoms[0], params);
    EXPECT_EQ(params[0], 0.0);
    EXPECT_EQ(params[1], 1.0);
    EXPECT_EQ(params[2], 0.0);
    EXPECT_EQ(params[3], -2.5);
}

namespace {

void expectQuaternionNear(const D3DXQUATERNION& a, const D3DXQUATERNION& b) {
    // q and -q are the same rotation.
    const float sign = (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w) < 0.0f ? -1.0f : 1.0f;
    EXPECT_NEAR(a.x, sign * b.x, 1e-5);
    EXPECT_NEAR(a.y, sign * b.y, 1e-5);
    EXPECT_NEAR(a.z, sign * b.z, 1e-5);
    EXPECT_NEAR(a.w, sign * b.w, 1e-5);
}

}  // namespace

TEST_F(Objects, SetTransformTurnsTheBodyWithoutMovingIt) {
    std::unique_ptr<PhysicsBody> body = makeBox(1.0f, 2.0f, 3.0f);
    kesh::Transform t;
    t.position = D3DXVECTOR3(9.0f, 9.0f, 9.0f);
    D3DXQUATERNION q = kesh::makeRotationQuaternion(D3DXVECTOR3(1.0f, 2.0f, -0.5f), 1.2f);
    t.rotation = q;
    body->setTransform(t);

    const dReal* position = dBodyGetPosition(body->body);
    EXPECT_EQ(position[0], 1.0);
    EXPECT_EQ(position[1], 2.0);
    EXPECT_EQ(position[2], 3.0);
    const dReal* ode = dBodyGetQuaternion(body->body);
    expectQuaternionNear(D3DXQUATERNION(static_cast<float>(ode[1]), static_cast<float>(ode[2]),
                                        static_cast<float>(ode[3]), static_cast<float>(ode[0])),
                         q);
    // The engine's turn and ODE's agree on where a body-fixed axis points.
    D3DXVECTOR3 forward;
    const D3DXVECTOR3 z(0.0f, 0.0f, 1.0f);
    t.rotateVector(&forward, &z);
    dVector3 odeForward;
    dBodyVectorToWorld(body->body, 0.0, 0.0, 1.0, odeForward);
    EXPECT_NEAR(odeForward[0], forward.x, 1e-5);
    EXPECT_NEAR(odeForward[1], forward.y, 1e-5);
    EXPECT_NEAR(odeForward[2], forward.z, 1e-5);
}

TEST_F(Objects, GetTransformTakesTheBodysTurnAndKeepsThePosition) {
    std::unique_ptr<PhysicsBody> body = makeBox(1.0f, 2.0f, 3.0f);
    const D3DXQUATERNION q =
        kesh::makeRotationQuaternion(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 3.0f);  // near a half turn
    const dQuaternion odeQ = {q.w, q.x, q.y, q.z};
    dBodySetQuaternion(body->body, odeQ);

    kesh::Transform t;
    t.position = D3DXVECTOR3(-4.0f, 5.0f, 6.0f);
    t.scale = D3DXVECTOR3(2.0f, 2.0f, 2.0f);
    body->getTransform(t);
    EXPECT_EQ(t.position, D3DXVECTOR3(-4.0f, 5.0f, 6.0f));
    EXPECT_NEAR(t.scale.x, 1.0f, 1e-5);
    EXPECT_NEAR(t.scale.y, 1.0f, 1e-5);
    EXPECT_NEAR(t.scale.z, 1.0f, 1e-5);
    expectQuaternionNear(t.rotation, q);

    // A round trip through the body gives the same turn back.
    kesh::Transform back;
    back.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(-1.0f, 0.5f, 0.25f), 0.7f);
    body->setTransform(back);
    kesh::Transform read;
    body->getTransform(read);
    expectQuaternionNear(read.rotation, back.rotation);
}

TEST_F(Objects, BodyReplacementAndMissingBody) {
    PhysicsBody object;
    EXPECT_EQ(object.body, nullptr);
    EXPECT_EQ(object.mass.mass, 0.0);
    kesh::Transform t;
    t.position = D3DXVECTOR3(1.0f, 2.0f, 3.0f);
    t.rotation = D3DXQUATERNION(0.0f, 1.0f, 0.0f, 0.0f);
    object.setTransform(t);
    object.getTransform(t);
    EXPECT_EQ(t.rotation, D3DXQUATERNION(0.0f, 1.0f, 0.0f, 0.0f));

    const dBodyID first = dBodyCreate(world->id());
    object.setBody(first);
    object.setBody(first);  // the same body again is kept alive
    dBodySetPosition(object.body, 4.0, 5.0, 6.0);
    EXPECT_EQ(dBodyGetPosition(first)[0], 4.0);
    const dBodyID second = dBodyCreate(world->id());
    object.setBody(second);
    EXPECT_EQ(object.body, second);
}
