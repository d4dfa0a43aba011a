// The order inside one fixed step, seen from a vehicle with a real body and box: the
// controller, the vehicle's update, the collisions, the contact count, the world step and the
// camera each leave a trace in what the others find.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"
#include "tests/world_level/level_fixture.h"

namespace {

using namespace level_testing;
using effect_testing::linesOf;

struct Entry {
    std::string who;
    int joints;     // contact joints alive in the world
    float impulse;  // the vehicle's impulse from the last world step
};

using Journal = std::vector<Entry>;

// Starts high above the ground; every update puts the box's bottom 0.3 below it.
class JournalVehicle : public FakeVehicle {
public:
    JournalVehicle(PhysicsSpace& space, Journal& journal) : world(*space.world), journal(journal) {
        setBody(dBodyCreate(world.id()));
        dBodySetPosition(body, 0.0, 10.0, 0.0);
        dGeomID box = dCreateBox(nullptr, 1.0, 1.0, 1.0);
        dGeomSetBody(box, body);
        addGeom(box);
        setSpace(&space);
        setFeedback(true);
    }
    void update(float dt) override {
        FakeVehicle::update(dt);
        note("update");
        dBodySetPosition(body, 0.0, 0.2, 0.0);
    }
    // The outside camera reads the heading; nothing else in a step does.
    void orientation(D3DXVECTOR3& out) const override {
        note("camera");
        FakeVehicle::orientation(out);
    }
    void note(const char* who) const {
        float impulse[3];
        getCollisionImpulse(impulse);
        const D3DXVECTOR3 pushed(impulse[0], impulse[1], impulse[2]);
        journal.push_back({who, world.collisionCount(), D3DXVec3Length(&pushed)});
    }

    PhysicsWorld& world;
    Journal& journal;
};

class JournalController : public FakeController {
public:
    void step(float dt) override {
        FakeController::step(dt);
        static_cast<JournalVehicle*>(driven)->note("controller");
    }
};

class StepOrderTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        carMaker = [this](PhysicsSpace& space, kesh::Decaler*, AudioSystem*, const std::wstring&) {
            CarParts parts;
            parts.vehicle = std::make_unique<JournalVehicle>(space, journal);
            parts.controller = std::make_unique<JournalController>();
            return parts;
        };
    }
    Journal journal;
};

TEST_F(StepOrderTest, ControllerUpdateCollisionsCountWorldStepCamera) {
    writeLevel(basicLevel());
    build();
    journal.clear();
    frame(1.5 * Level::kStep);

    // One step. The joints of the collisions, made after the update moved the box into the
    // ground, are counted and then used up by the world step, whose impulse the camera sees.
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[0].who, "controller");
    EXPECT_EQ(journal[1].who, "update");
    EXPECT_EQ(journal[2].who, "camera");
    for (const Entry& entry : journal) {
        EXPECT_EQ(entry.joints, 0) << entry.who;
    }
    EXPECT_EQ(journal[0].impulse, 0.0f);
    EXPECT_EQ(journal[1].impulse, 0.0f);
    EXPECT_GT(journal[2].impulse, 0.0f) << "the step's own contacts pushed the box";
    const std::vector<std::string> screen = linesOf("screen");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.back().find("Average collisions: 0\n"), std::string::npos) << screen.back();
}

}  // namespace
