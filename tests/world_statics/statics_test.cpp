#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "d3d9/seams.h"
#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/physics/physics_world.h"
#include "game/world/statics/statics_loader.h"
#include "game/world/statics/statics_set.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/services_fixture.h"
#include "tests/world_statics/world_art.h"

namespace {

using namespace world_testing;

class Statics : public morvale_testing::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        // A 2 x 2 x 2 block standing on y = 0, one part box: one collision box.
        writeArt("mesh/block.wfm",
                 boxMeshFile({-1, 0, -1}, {1, 2, 1}, {partBox(-1, 0, -1, 1, 2, 1)}));
        // A building: the whole box first, then two solid parts.
        writeArt("mesh/xb.wfm",
                 boxMeshFile({-4, 0, -2}, {4, 6, 2},
                             {partBox(-4, 0, -2, 4, 6, 2), partBox(-4, 0, -2, 0, 6, 2),
                              partBox(0, 0, 0, 4, 3, 2)}));
        world = std::make_unique<PhysicsWorld>();
        set = std::make_unique<StaticsSet>(dx.get(), "textured_mesh.fx", *world);
    }

    void TearDown() override {
        set.reset();
        world.reset();
        ServicesTest::TearDown();
    }

    void load(const kesh::data::LevelData& level) {
        StaticsLoader loader(&level, "", "", "lightmaps/");
        loader.load(*set);
    }

    std::unique_ptr<PhysicsWorld> world;
    std::unique_ptr<StaticsSet> set;
};

TEST(StaticsLoaderNames, RenamesOldMeshNamesAndBuildsLightmapPaths) {
    const StaticsLoader loader(nullptr, "props/", "lv1_", "lightmaps/level01/");
    EXPECT_EQ(loader.meshPath("bybis"), "props/xb.wfm");
    EXPECT_EQ(loader.meshPath("axujebytelnas"), "props/xa.wfm");
    EXPECT_EQ(loader.meshPath("pyzdukas"), "props/xc.wfm");
    EXPECT_EQ(loader.meshPath("xuinia"), "props/xd.wfm");
    // Whole, case-sensitive names only.
    EXPECT_EQ(loader.meshPath("Bybis"), "props/Bybis.wfm");
    EXPECT_EQ(loader.meshPath("bybis2"), "props/bybis2.wfm");
    EXPECT_EQ(loader.lightmapPath({}), "lightmaps/level01/--NOLIGHTMAP--.tga");
    EXPECT_EQ(loader.lightmapPath({"wall_lm", "other"}), "lightmaps/level01/lv1_wall_lm.tga");
}

TEST_F(Statics, SolidFlagChoosesThePassAndTheCollision) {
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "block", placedAt(0, 0, 0), 4, {"a"}),
                     staticRecord(2, "block", placedAt(5, 0, 0), 0),
                     staticRecord(3, "block", placedAt(10, 0, 0), 3)};
    load(level);
    ASSERT_EQ(set->size(), 3u);
    const auto& statics = set->statics();
    EXPECT_EQ(statics[0]->drawMask, 2u);
    EXPECT_NE(statics[0]->collisionMesh, nullptr);
    EXPECT_EQ(statics[0]->lightmapName.id, "lightmaps/a.tga");
    EXPECT_EQ(statics[0]->meshName.id, "block.wfm");
    for (int i : {1, 2}) {
        EXPECT_EQ(statics[i]->drawMask, 1u);
        EXPECT_EQ(statics[i]->collisionMesh, nullptr);
        EXPECT_EQ(statics[i]->lightmapName.id, "lightmaps/--NOLIGHTMAP--.tga");
    }
    EXPECT_EQ(dSpaceGetNumGeoms(set->collisionSpace().id), 1);
}

TEST_F(Statics, CollisionBoxesComeFromPartBoxesAfterTheFirst) {
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "block", placedAt(0, 0, 0), 4),
                     staticRecord(2, "bybis", placedAt(20, 0, 10), 4)};
    load(level);
    const StaticCollisionMesh& block = *set->statics()[0]->collisionMesh;
    ASSERT_EQ(block.obstacleBoxes.size(), 1u);
    const StaticCollisionMesh& building = *set->statics()[1]->collisionMesh;
    ASSERT_EQ(building.obstacleBoxes.size(), 2u);
    EXPECT_EQ(building.geoms.size(), 2u);

    // The second solid part spans x 0..4, y 0..3 and z 0..2, in the file as in the drawn mesh
    // (the builder turns only the part boxes' z round); placed at (20, 0, 10) it must sit
    // where it is drawn.
    const kesh::BoundingBox part = building.obstacleBoxes[1].worldBounds();
    EXPECT_NEAR(part.min.x, 20.0f, 1e-4f);
    EXPECT_NEAR(part.max.x, 24.0f, 1e-4f);
    EXPECT_NEAR(part.max.y, 3.0f, 1e-4f);
    EXPECT_NEAR(part.min.z, 10.0f, 1e-4f);
    EXPECT_NEAR(part.max.z, 12.0f, 1e-4f);

    // The ODE box agrees: a point inside the part is inside the geom.
    const dGeomID inner = ode_compat::geomTransformGetGeom(building.geoms[1]);
    dVector3 lengths;
    dGeomBoxGetLengths(inner, lengths);
    EXPECT_NEAR(lengths[0], 4.0, 1e-5);
    EXPECT_NEAR(lengths[1], 3.0, 1e-5);
    EXPECT_NEAR(lengths[2], 2.0, 1e-5);
    const dReal* offset = dGeomGetPosition(inner);
    EXPECT_NEAR(offset[2], 1.0, 1e-5);

    // Every collision box lies within the static's own drawn bounds.
    const kesh::BoundingBox drawn = set->statics()[1]->box.worldBounds();
    for (const kesh::OrientedBox& box : building.obstacleBoxes) {
        const kesh::BoundingBox b = box.worldBounds();
        EXPECT_TRUE(drawn.containsWithin(1e-4f, b.min));
        EXPECT_TRUE(drawn.containsWithin(1e-4f, b.max));
    }
}

TEST_F(Statics, UnusablePartBoxesFailTheLoadNamingMeshAndPart) {
    const float inf = INFINITY, nan = NAN, big = 3e38f;
    D3DXMATRIX huge;
    D3DXMatrixScaling(&huge, 1e20f, 1e20f, 1e20f);
    struct Case {
        const char* name;
        bbox part;
        D3DXMATRIX placement;
        bool badFile;  // refused by the mesh's own checks, before the statics see it
    };
    const Case hostile[] = {
        {"nan", partBox(nan, 0, 0, nan, 1, 1), placedAt(0, 0, 0), true},
        {"endless", partBox(-inf, 0, 0, 1, 1, 1), placedAt(0, 0, 0), true},
        {"overflowing", partBox(-big, 0, 0, big, 1, 1), placedAt(0, 0, 0), false},
        {"overscaled", partBox(0, 0, 0, 1e20f, 1, 1), huge, false},
    };
    for (const Case& c : hostile) {
        writeArt(std::string("mesh/") + c.name + ".wfm",
                 boxMeshFile({0, 0, 0}, {1, 1, 1}, {c.part}));
        kesh::data::LevelData level;
        level.statics = {staticRecord(1, c.name, c.placement, 4)};
        try {
            load(level);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      c.badFile ? std::string("Failed to fetch resource: ") + c.name + ".wfm"
                                : std::string("Mesh ") + c.name +
                                      ".wfm: part box 0 has a side that is not finite");
        }
    }
    // Corners in either order, a thin sheet, a flat one and a vast slab are all sound boxes.
    writeArt("mesh/odd.wfm",
             boxMeshFile({0, 0, 0}, {1, 1, 1},
                         {partBox(0, 0, 0, 1e6f, 1e6f, 1e6f), partBox(1, 2, 1, -1, 0, -1),
                          partBox(0, 0, 0, 1e6f, 1e-3f, 1e6f), partBox(0, 1, 0, 1, 1, 1)}));
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "odd", placedAt(0, 0, 0), 4)};
    load(level);
    const StaticCollisionMesh& odd = *set->statics().back()->collisionMesh;
    ASSERT_EQ(odd.geoms.size(), 3u);
    dVector3 lengths;
    dGeomBoxGetLengths(ode_compat::geomTransformGetGeom(odd.geoms[0]), lengths);
    EXPECT_EQ(lengths[0], 2.0);
    EXPECT_EQ(lengths[1], 2.0);
    dGeomBoxGetLengths(ode_compat::geomTransformGetGeom(odd.geoms[1]), lengths);
    EXPECT_NEAR(lengths[1], 1e-3, 1e-9);
    dGeomBoxGetLengths(ode_compat::geomTransformGetGeom(odd.geoms[2]), lengths);
    EXPECT_EQ(lengths[1], 0.0);
}

TEST_F(Statics, ARotatedSolidStaticCollidesAndHidesWhereItIsDrawn) {
    // The building a quarter turn about y: its second part (x 0..4, y 0..3, z 0..2 as drawn)
    // goes to x 0..2, z -4..0, then to (20, 0, 10).
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, D3DX_PI * 0.5f);
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "bybis", turn * placedAt(20, 0, 10), 4)};
    load(level);
    const StaticCollisionMesh& building = *set->statics()[0]->collisionMesh;
    ASSERT_EQ(building.obstacleBoxes.size(), 2u);
    const kesh::BoundingBox part = building.obstacleBoxes[1].worldBounds();
    const D3DXVECTOR3 least(20, 0, 6), most(22, 3, 10);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(part.min[i], least[i], 1e-4f) << i;
        EXPECT_NEAR(part.max[i], most[i], 1e-4f) << i;
    }

    // ODE's box: a small ball inside the turned part touches it; one inside where the part
    // would be unturned does not.
    const auto touches = [&](float x, float z) {
        const dGeomID ball = dCreateSphere(nullptr, 0.1);
        dGeomSetPosition(ball, x, 1.5, z);
        dContactGeom contact;
        const int n = dCollide(ball, building.geoms[1], 1, &contact, sizeof contact);
        dGeomDestroy(ball);
        return n > 0;
    };
    EXPECT_TRUE(touches(21.0f, 7.0f));
    EXPECT_FALSE(touches(22.0f, 11.0f));
    EXPECT_FALSE(touches(19.0f, 7.0f));  // where the part's z turned round would put it
}

TEST_F(Statics, BoundsAndGroundComeFromTheWorldBoxes) {
    writeArt("mesh/slab.wfm", boxMeshFile({-50, -1, -50}, {50, 0, 50}));
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "slab", placedAt(0, 0, 0), 4),
                     staticRecord(2, "block", placedAt(10, 0, 10), 4)};
    load(level);
    EXPECT_FLOAT_EQ(set->groundHeight(), 0.0f);
    EXPECT_NEAR(set->bounds().min.x, -50.0f, 1e-4f);
    EXPECT_NEAR(set->bounds().max.y, 2.0f, 1e-4f);
    // The sphere of a scaled static follows its longest axis.
    const StaticInstance& block = *set->statics()[1];
    EXPECT_NEAR(block.centre.x, 10.0f, 1e-4f);
    D3DXMATRIX stretched;
    D3DXMatrixScaling(&stretched, 1.0f, 1.0f, 3.0f);
    const float before = block.radius;
    set->statics()[1]->setTransform(stretched);
    EXPECT_NEAR(block.radius, before * 3.0f, 1e-4f);
}

TEST_F(Statics, AnEmptySetStandsOnGroundZero) {
    EXPECT_FLOAT_EQ(set->groundHeight(), 0.0f);
    std::vector<StaticInstance*> near = {nullptr};
    set->queryNear(kesh::BoundingBox({-1, -1, -1}, {1, 1, 1}), near);
    EXPECT_TRUE(near.empty());  // no grid before the bounds are finished

    load(kesh::data::LevelData());
    EXPECT_EQ(set->size(), 0u);
    EXPECT_FLOAT_EQ(set->groundHeight(), 0.0f);
    EXPECT_EQ(set->bounds().min, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(set->bounds().max, D3DXVECTOR3(0, 0, 0));
    set->queryNear(kesh::BoundingBox({-1, -1, -1}, {1, 1, 1}), near);
    EXPECT_TRUE(near.empty());
}

TEST_F(Statics, QueryNearListsTheStaticsOfTheOverlappedCells) {
    writeArt("mesh/slab.wfm", boxMeshFile({-40, -1, -40}, {40, 0, 40}));
    kesh::data::LevelData level;
    level.statics = {staticRecord(1, "slab", placedAt(0, 0, 0), 0),
                     staticRecord(2, "block", placedAt(-30, 0, -30), 4),
                     staticRecord(3, "block", placedAt(30, 0, 30), 4)};
    load(level);
    const StaticsGrid& grid = *set->grid();
    EXPECT_EQ(grid.cellsX, 40);
    EXPECT_FLOAT_EQ(grid.cellSizeX, 2.0f);

    // The slab fills every cell; a block's 2 x 2 footprint reaches from one cell edge to
    // the next but one.
    std::vector<StaticInstance*> near;
    set->queryNear(kesh::BoundingBox({-31, 0, -31}, {-30.5f, 1, -30.5f}), near);
    ASSERT_EQ(near.size(), 2u);
    EXPECT_EQ(near[0]->id, 1u);
    EXPECT_EQ(near[1]->id, 2u);

    // Wholly left of the level, or below it in z: nothing.
    set->queryNear(kesh::BoundingBox({-60, 0, 0}, {-41, 1, 1}), near);
    EXPECT_TRUE(near.empty());
    set->queryNear(kesh::BoundingBox({0, 0, -90}, {1, 1, -41}), near);
    EXPECT_TRUE(near.empty());
    // Wholly right: nothing either.
    set->queryNear(kesh::BoundingBox({41, 0, 0}, {60, 1, 1}), near);
    EXPECT_TRUE(near.empty());

    // Covering the level and more: all 1600 cells, the slab once in each, every block once
    // per cell it was registered in.
    const StaticsGrid::CellRange all =
        grid.overlapped(kesh::BoundingBox({-99, 0, -99}, {99, 1, 99}));
    EXPECT_EQ((all.x1 - all.x0 + 1) * (all.z1 - all.z0 + 1), 1600);
    set->queryNear(kesh::BoundingBox({-99, 0, -99}, {99, 1, 99}), near);
    std::size_t slab = 0, blocks = 0;
    for (StaticInstance* s : near) {
        (s->id == 1 ? slab : blocks) += 1;
    }
    EXPECT_EQ(slab, 1600u);
    EXPECT_GE(blocks, 8u);
}

TEST_F(Statics, DegenerateGridsGiveCellZero) {
    const StaticsGrid flat(kesh::BoundingBox({0, 0, 0}, {0, 0, 0}));
    const StaticsGrid::CellRange range =
        flat.overlapped(kesh::BoundingBox({-1e30f, 0, -1e30f}, {1e30f, 0, 1e30f}));
    EXPECT_EQ(range.x0, 0);
    EXPECT_EQ(range.x1, 0);
    const StaticsGrid grid(kesh::BoundingBox({0, 0, 0}, {40, 1, 40}));
    // Far beyond int's range, clamped as floats.
    const StaticsGrid::CellRange huge =
        grid.overlapped(kesh::BoundingBox({-1e30f, 0, -1e30f}, {1e30f, 0, 1e30f}));
    EXPECT_EQ(huge.x0, 0);
    EXPECT_EQ(huge.x1, 39);
    EXPECT_EQ(huge.z1, 39);
}

class StaticsDrawing : public Statics {
protected:
    void SetUp() override {
        Statics::SetUp();
        // A texture name too long for a short string: a draw that makes an identifier of it
        // allocates.
        writeArt("mesh/plain.wfm",
                 boxMeshFile({-1, 0, -1}, {1, 2, 1}, {}, "plain_surface_with_a_long_name.tga"));
        for (const char* name : {"ordinary", "solid", "behind"}) {
            writeArt(std::string("texture/hi/lightmaps/") + name + ".tga", tgaFile());
        }
        kesh::data::LevelData level;
        level.statics = {staticRecord(1, "plain", placedAt(0, 0, 10), 0, {"ordinary"}),
                         staticRecord(2, "block", placedAt(2, 0, 10), 4, {"solid"}),
                         staticRecord(3, "plain", placedAt(0, 0, -10), 0, {"behind"})};
        load(level);
        device->BeginScene();
        d3d9::deviceRecord(device)->clear();
    }
    void TearDown() override {
        device->EndScene();
        Statics::TearDown();
    }

    std::vector<std::string> drawnLightmaps() {
        std::vector<std::string> names;
        for (const d3d9::RecordedDraw& draw : d3d9::deviceRecord(device)->draws) {
            for (const std::string& name : draw.textureNames) {
                if (name.find("lightmaps/") != std::string::npos) {
                    names.push_back(name.substr(name.find("lightmaps/")));
                    break;
                }
            }
        }
        return names;
    }

    kesh::CameraView camera;  // at the origin looking down +z
};

TEST_F(StaticsDrawing, CullsBySphereAndDrawsEachPassByMask) {
    StaticsVisibleSet visible;
    set->cull(visible, camera);
    ASSERT_EQ(visible.statics.size(), 2u);
    EXPECT_EQ(visible.statics[0]->id, 1u);
    EXPECT_EQ(visible.statics[1]->id, 2u);

    set->draw(visible, 1);
    const std::vector<std::string> first = drawnLightmaps();
    ASSERT_FALSE(first.empty());
    for (const std::string& name : first) {
        EXPECT_EQ(name, "lightmaps/ordinary.tga");
    }
    d3d9::deviceRecord(device)->clear();
    set->draw(visible, 2);
    const std::vector<std::string> second = drawnLightmaps();
    ASSERT_FALSE(second.empty());
    for (const std::string& name : second) {
        EXPECT_EQ(name, "lightmaps/solid.tga");
    }
}

TEST_F(StaticsDrawing, CullingAndDrawingAgainAllocateNothing) {
    StaticsVisibleSet visible;
    set->cull(visible, camera);
    set->draw(visible, 1);
    set->draw(visible, 2);
    d3d9::setDrawRecording(false);  // the record of draws would count
    allocation_counter::start();
    set->cull(visible, camera);
    set->draw(visible, 1);
    set->draw(visible, 2);
    const std::size_t allocations = allocation_counter::stop();
    d3d9::setDrawRecording(true);
    EXPECT_EQ(visible.statics.size(), 2u);
    EXPECT_EQ(allocations, 0u);
}

TEST_F(StaticsDrawing, DebugDrawLabelsAndSpheresTheVisibleStaticsOfTheMask) {
    kesh::theDebugRenderer->clear();
    set->debugDraw(camera, true, true, 1);
    ASSERT_EQ(kesh::theDebugRenderer->spheres().size(), 1u);
    EXPECT_EQ(kesh::theDebugRenderer->spheres().front().flags, 7u);
    EXPECT_EQ(kesh::theDebugRenderer->spheres().front().color, 0x802040D0u);
    ASSERT_EQ(kesh::theDebugRenderer->worldTexts().size(), 1u);
    EXPECT_EQ(kesh::theDebugRenderer->worldTexts().front().text,
              L"m: plain.wfm l: lightmaps/ordinary.tga s: 1.73205");

    kesh::theDebugRenderer->clear();
    set->statics()[1]->collisionMesh->debugDraw();
    ASSERT_EQ(kesh::theDebugRenderer->boxes().size(), 1u);
    const kesh::DebugRenderer::Box& box = kesh::theDebugRenderer->boxes().front();
    EXPECT_EQ(box.flags, 3u);
    EXPECT_EQ(box.color, 0xFFA02020u);
    EXPECT_NEAR(box.world._11, 2.0f, 1e-5f);  // side length as the scaling
    EXPECT_NEAR(box.world._41, 2.0f, 1e-5f);
    EXPECT_NEAR(box.world._42, 1.0f, 1e-5f);
    EXPECT_NEAR(box.world._43, 10.0f, 1e-5f);
}

}  // namespace
