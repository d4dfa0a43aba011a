#include <algorithm>
#include <array>
#include <vector>

#include "tests/vehicle_physics/physics_fixture.h"

using testing_physics::PhysicsTest;

namespace {

// An object of n boxes lying side by side on the plane, each sunk 0.1 into it (four contacts
// each).
class BoxRow : public PhysicsObject {
public:
    explicit BoxRow(int n) {
        for (int i = 0; i < n; ++i) {
            const dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
            dGeomSetPosition(box, 2.0 * i, 0.4, 0.0);
            addGeom(box);
        }
    }
};

}  // namespace

typedef PhysicsTest Contacts;

TEST_F(Contacts, GatherFillsTheTableInGeomOrder) {
    BoxRow row(3);
    world->gatherContacts(row, ground);
    ASSERT_EQ(world->contactsGathered(), 12);
    // Each record lands in its own slot: a wrong stride would mix the geoms up.
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(PhysicsWorldProbe::contact(*world, i).g1, row.geoms[i / 4]) << i;
        EXPECT_EQ(PhysicsWorldProbe::contact(*world, i).g2, plane.geoms[0]) << i;
        EXPECT_NEAR(PhysicsWorldProbe::contact(*world, i).depth, 0.1, 1e-6) << i;
    }
}

TEST_F(Contacts, GatherStopsWhenTheTableIsFull) {
    // 64 boxes fill the 256 contacts exactly; asking ODE for the 65th box's contacts with no
    // room left would abort the process.
    BoxRow row(80);
    world->gatherContacts(row, ground);
    EXPECT_EQ(world->contactsGathered(), PhysicsWorld::maxContacts);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 255).g1, row.geoms[63]);

    // A sphere first (one contact) leaves room for three of the 64th box's four contacts.
    PhysicsObject mixed;
    const dGeomID sphere = dCreateSphere(nullptr, 0.5);
    dGeomSetPosition(sphere, -2.0, 0.4, 0.0);
    mixed.addGeom(sphere);
    for (int i = 0; i < 70; ++i) {
        const dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
        dGeomSetPosition(box, 2.0 * i, 0.4, 0.0);
        mixed.addGeom(box);
    }
    world->gatherContacts(mixed, ground);
    EXPECT_EQ(world->contactsGathered(), PhysicsWorld::maxContacts);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 0).g1, sphere);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 252).g1, mixed.geoms[63]);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 253).g1, mixed.geoms[64]);
    EXPECT_EQ(PhysicsWorldProbe::contact(*world, 255).g1, mixed.geoms[64]);
}

TEST_F(Contacts, GatherAgainstADestroyedSpaceFindsNothing) {
    PhysicsSpace statics(*world);
    BoxRow row(1);
    statics.destroy();
    statics.destroy();
    world->gatherContacts(row, statics);
    EXPECT_EQ(world->contactsGathered(), 0);
}

TEST_F(Contacts, CollideMakesOneJointPerContactUntilTheStep) {
    BoxRow row(2);
    world->collide(row, ground, surface);
    EXPECT_EQ(world->collisionCount(), 8);
    EXPECT_EQ(PhysicsWorldProbe::feedbackCount(*world), 0);
    world->collide(row, ground, surface);
    EXPECT_EQ(world->collisionCount(), 16);
    world->step(testing_physics::stepTime);
    EXPECT_EQ(world->collisionCount(), 0);
}

TEST_F(Contacts, ContactsBeyondTheFeedbackTableGoWithoutFeedback) {
    BoxRow row(64);
    row.setFeedback(true);
    world->collide(row, ground, surface);
    EXPECT_EQ(PhysicsWorldProbe::feedbackCount(*world), PhysicsWorld::maxFeedback);
    world->collide(row, ground, surface);
    EXPECT_EQ(world->collisionCount(), 2 * PhysicsWorld::maxContacts);
    EXPECT_EQ(PhysicsWorldProbe::feedbackCount(*world), PhysicsWorld::maxFeedback);
    for (int i = 0; i < PhysicsWorld::maxFeedback; ++i) {
        ASSERT_EQ(PhysicsWorldProbe::feedbackOwner(*world, i), &row) << i;
    }
    EXPECT_EQ(world->addContactJoint(PhysicsWorldProbe::contact(*world, 0), surface, true), -1);

    world->step(testing_physics::stepTime);
    EXPECT_EQ(PhysicsWorldProbe::impulseOwnerCount(*world), 1);
    EXPECT_EQ(PhysicsWorldProbe::feedbackCount(*world), 0);
}

TEST_F(Contacts, FrictionCanBeOrientedOnlyFromShapesWithAnOrientation) {
    const dGeomID sphere = dCreateSphere(nullptr, 1.0);
    const dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
    const dGeomID capsule = ode_compat::createCCylinder(nullptr, 1.0, 2.0);
    const dGeomID cylinder = dCreateCylinder(nullptr, 1.0, 2.0);
    const dGeomID ray = dCreateRay(nullptr, 5.0);
    const dGeomID groundPlane = dCreatePlane(nullptr, 0.0, 1.0, 0.0, 0.0);
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(sphere));
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(box));
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(capsule));
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(cylinder));
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(ray));
    EXPECT_FALSE(PhysicsWorld::canOrientFriction(groundPlane));
    EXPECT_FALSE(PhysicsWorld::canOrientFriction(reinterpret_cast<dGeomID>(ground.id)));
    EXPECT_FALSE(PhysicsWorld::canOrientFriction(nullptr));

    // A transform answers for the geom inside it; an empty one cannot orient anything.
    const dGeomID empty = ode_compat::createGeomTransform(nullptr);
    EXPECT_FALSE(PhysicsWorld::canOrientFriction(empty));
    const dGeomID aroundBox = ode_compat::createGeomTransform(nullptr);
    ode_compat::geomTransformSetCleanup(aroundBox, 1);
    ode_compat::geomTransformSetGeom(aroundBox, box);
    EXPECT_TRUE(PhysicsWorld::canOrientFriction(aroundBox));
    const dGeomID aroundPlane = ode_compat::createGeomTransform(nullptr);
    ode_compat::geomTransformSetCleanup(aroundPlane, 1);
    ode_compat::geomTransformSetGeom(aroundPlane, groundPlane);
    EXPECT_FALSE(PhysicsWorld::canOrientFriction(aroundPlane));

    for (dGeomID g : {sphere, capsule, cylinder, ray, empty, aroundBox, aroundPlane}) {
        dGeomDestroy(g);
    }
}

namespace {

// A field of boxes, 1 x 1 x 1 every 1.5 along x and z, with a few stacked on top.
class BoxField : public PhysicsObject {
public:
    explicit BoxField(PhysicsSpace& space) {
        for (int i = 0; i < 30; ++i) {
            for (int k = 0; k < 30; ++k) {
                addBox(1.5 * i - 20.0, 0.5, 1.5 * k - 20.0);
            }
        }
        addBox(0.0, 1.5, 0.0);
        setSpace(&space);
    }

private:
    void addBox(dReal x, dReal y, dReal z) {
        const dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
        dGeomSetPosition(box, x, y, z);
        addGeom(box);
    }
};

// The contacts gathered last, as (depth, position), sorted.
std::vector<std::array<dReal, 4>> found(const PhysicsWorld& world) {
    std::vector<std::array<dReal, 4>> out;
    for (int i = 0; i < world.contactsGathered(); ++i) {
        const dContactGeom& c = PhysicsWorldProbe::contact(world, i);
        out.push_back({c.depth, c.pos[0], c.pos[1], c.pos[2]});
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST_F(Contacts, AQuadTreeOfStillBoxesGivesTheSameContacts) {
    PhysicsSpace simple(*world);
    PhysicsSpace tree(*world);
    BoxField simpleField(simple);
    BoxField treeField(tree);
    tree.makeQuadTree();
    ASSERT_EQ(dSpaceGetClass(tree.id), dQuadTreeSpaceClass);
    ASSERT_EQ(dSpaceGetNumGeoms(tree.id), dSpaceGetNumGeoms(simple.id));

    // A long, tilted probe across many boxes, also across the field's edge.
    BoxRow probe(1);
    dGeomBoxSetLengths(probe.geoms[0], 6.0, 1.2, 2.5);
    const dQuaternion tilt = {0.96, 0.1, 0.2, 0.15};
    dGeomSetQuaternion(probe.geoms[0], tilt);
    for (const auto& at : std::vector<std::array<dReal, 3>>{
             {0.0, 1.0, 0.0}, {-19.0, 0.8, 5.0}, {23.5, 0.5, 23.0}, {100.0, 0.5, 0.0}}) {
        dGeomSetPosition(probe.geoms[0], at[0], at[1], at[2]);
        world->gatherContacts(probe, simple);
        const std::vector<std::array<dReal, 4>> expected = found(*world);
        world->gatherContacts(probe, tree);
        // The tree visits its blocks in an order of its own.
        EXPECT_EQ(found(*world), expected) << at[0];
        EXPECT_FALSE(expected.empty() && at[0] < 50.0) << at[0];
    }
    // A plane has no bounds: its space stays as it is.
    ground.makeQuadTree();
    EXPECT_EQ(dSpaceGetClass(ground.id), dSimpleSpaceClass);
}
