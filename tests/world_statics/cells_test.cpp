#include <gtest/gtest.h>

#include <win32/crt.h>

#include <cmath>
#include <limits>
#include <set>

#include "engine/render/visual_effects/billboard_component.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/world/cells/level_cell_grid.h"
#include "game/world/statics/statics_grid.h"
#include "tests/render_effect_manager/log_capture.h"
#include "tests/support/services_fixture.h"
#include "tests/world_statics/world_art.h"

namespace {

using namespace world_testing;

TEST(CellGridCellAt, ClampsEachAxisAgainstItsOwnCount) {
    CellGrid grid(kesh::BoundingBox({0, 0, 0}, {40, 10, 20}), 8, 4);
    auto index = [&grid](float x, float z) {
        return &grid.cellAt(D3DXVECTOR3(x, 5, z)) - grid.cells.data();
    };
    EXPECT_EQ(index(0, 0), 0);
    EXPECT_EQ(index(40, 0), 7);   // exactly on the maximum: the last column
    EXPECT_EQ(index(-3, -3), 0);  // below the minimum: column and row 0
    EXPECT_EQ(index(12, 20), 3 * 8 + 2);
    EXPECT_EQ(index(1e30f, 1e30f), 31);  // clamped before it becomes an int
    EXPECT_EQ(index(-1e30f, 1e30f), 24);
    EXPECT_EQ(index(std::nanf(""), 6), 8);
    // y plays no part.
    EXPECT_EQ(&grid.cellAt(D3DXVECTOR3(6, -100, 6)), &grid.cellAt(D3DXVECTOR3(6, 100, 6)));

    CellGrid flat(kesh::BoundingBox({0, 0, 0}, {0, 0, 0}), 16, 16);
    EXPECT_EQ(&flat.cellAt(D3DXVECTOR3(5, 0, 5)), flat.cells.data());
    EXPECT_FLOAT_EQ(grid.cells[9].box.min.x, 5.0f);
    EXPECT_FLOAT_EQ(grid.cells[9].box.max.z, 10.0f);
    EXPECT_FLOAT_EQ(grid.cells[9].box.max.y, 10.0f);
}

TEST(GridCells, BothGridsCutTheBoxAlikeEachCellWithTheSphereAroundIt) {
    const kesh::BoundingBox box({0, 0, 0}, {40, 10, 20});
    CellGrid effects(box, 8, 4);
    StaticsGrid statics(box, 8, 4);
    const LevelCell& cell = effects.cell(1, 1);  // 5..10 on x and z, the box's full height
    EXPECT_EQ(cell.centre, D3DXVECTOR3(7.5f, 5.0f, 7.5f));
    EXPECT_FLOAT_EQ(cell.radius, 0.5f * std::sqrt(150.0f));
    ASSERT_EQ(statics.cells.size(), effects.cells.size());
    for (std::size_t i = 0; i < effects.cells.size(); ++i) {
        EXPECT_EQ(statics.cells[i].box.min, effects.cells[i].box.min) << i;
        EXPECT_EQ(statics.cells[i].box.max, effects.cells[i].box.max) << i;
        EXPECT_EQ(statics.cells[i].radius, effects.cells[i].radius) << i;
    }
}

class Cells : public morvale_testing::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        effect_testing::captureLog();
        writeArt("config/flare.txt", ":Billboard\ntexture flare.dds\n");
        writeArt("config/effect_config.cmd", effectList({"winlight", "fire"}));
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
        // A 160 x 160 level: 16 x 16 cells of 10 x 10.
        grid = std::make_unique<LevelCellGrid>(kesh::theEffectManager,
                                               kesh::BoundingBox({0, 0, 0}, {160, 20, 160}));
    }
    void TearDown() override {
        grid.reset();
        ServicesTest::TearDown();
    }

    // The x of the placement of each live instance of the cell.
    static std::vector<float> shownX(const LevelCell& cell) {
        std::vector<float> xs;
        for (const kesh::effect::EffectHandle& handle : cell.instances) {
            auto* board =
                dynamic_cast<kesh::effect::BillboardComponent*>(handle->components.front().get());
            xs.push_back(board->matrix()._41);
        }
        return xs;
    }

    // Looking down +z from (x, 10, z0) with a far plane of far.
    static kesh::CameraView cameraAt(float x, float z, float farPlane = 1000.0f) {
        kesh::CameraView view;
        view.setProjection(0.9f, 1.3f, 1.0f, farPlane);
        view.setPosition(D3DXVECTOR3(x, 10, z));
        return view;
    }

    std::unique_ptr<LevelCellGrid> grid;
};

TEST_F(Cells, AGlobalEffectIsMadeAtOnceAndKept) {
    grid->addEffect(placedAt(10, 0, 10), "fire");
    grid->addEffect(placedAt(10, 0, 10), "unknown");
    ASSERT_EQ(grid->globalEffects.size(), 2u);
    EXPECT_TRUE(grid->globalEffects[0].get());
    EXPECT_FALSE(grid->globalEffects[1].get());  // kept all the same, empty
    EXPECT_EQ(kesh::theEffectManager->liveEffects(), 1u);
}

TEST_F(Cells, ACellShowsSixConsecutiveEffectsFromARandomStartWrappingAround) {
    LevelCell& cell = grid->grid.cellAt(D3DXVECTOR3(85, 0, 85));
    for (int i = 0; i < 8; ++i) {
        // All in one 16 x 16 cell, told apart by x.
        grid->insertEffect(placedAt(80.0f + static_cast<float>(i), 0, 85), "winlight");
    }
    ASSERT_EQ(cell.effects.size(), 8u);
    EXPECT_TRUE(cell.instances.empty());

    // A seed whose start makes the window of six wrap past the last entry.
    unsigned seed = 1;
    unsigned first = 0;
    for (;; ++seed) {
        msvcrt_srand(seed);
        first = (static_cast<unsigned>(msvcrt_rand()) * 8u) >> 15;
        if (first >= 3) {
            break;
        }
    }
    msvcrt_srand(seed);
    const kesh::CameraView view = cameraAt(85, 40);
    grid->updateVisibility(view);
    ASSERT_NE(std::find(grid->visibleCells.begin(), grid->visibleCells.end(), &cell),
              grid->visibleCells.end());
    std::vector<float> expected;
    for (unsigned j = 0; j < 6; ++j) {
        expected.push_back(80.0f + static_cast<float>((first + j) % 8));
    }
    EXPECT_EQ(shownX(cell), expected);

    // Staying in view keeps the very same instances.
    const kesh::effect::Effect* kept = cell.instances.front().get();
    grid->updateVisibility(view);
    EXPECT_EQ(cell.instances.size(), 6u);
    EXPECT_EQ(cell.instances.front().get(), kept);
    const std::vector<std::string> screen = effect_testing::linesOf("screen");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.back(), "visiblePartitions: " + std::to_string(grid->visibleCells.size()) +
                                 " gotVisible: 0 gotInvisible: 0");

    // Out of view (looking away) the instances go at once.
    kesh::CameraView away = cameraAt(85, 40);
    D3DXMATRIX back;
    D3DXMatrixRotationY(&back, D3DX_PI);
    back._41 = 85;
    back._42 = 10;
    back._43 = -40;
    away.setTransform(back);
    grid->updateVisibility(away);
    EXPECT_TRUE(cell.instances.empty());
}

TEST_F(Cells, AFewEffectsAreAllShownAndEveryRandomStartWraps) {
    LevelCell& cell = grid->grid.cellAt(D3DXVECTOR3(5, 0, 5));
    for (int i = 0; i < 3; ++i) {
        grid->insertEffect(placedAt(1.0f + static_cast<float>(i), 0, 5), "winlight");
    }
    const kesh::CameraView view = cameraAt(5, -20);
    kesh::CameraView away = view;
    away.setPosition(D3DXVECTOR3(5, 10, 400));
    for (unsigned seed = 1; seed < 6; ++seed) {
        msvcrt_srand(seed);
        grid->updateVisibility(view);
        std::vector<float> xs = shownX(cell);
        std::sort(xs.begin(), xs.end());
        EXPECT_EQ(xs, (std::vector<float>{1, 2, 3})) << seed;
        grid->updateVisibility(away);
    }
}

TEST_F(Cells, TheFirstPassCountsEveryVisibleCellAsNew) {
    grid->updateVisibility(cameraAt(80, -10));
    const std::vector<std::string> screen = effect_testing::linesOf("screen");
    ASSERT_FALSE(screen.empty());
    const std::size_t visible = grid->visibleCells.size();
    EXPECT_GT(visible, 0u);
    EXPECT_LT(visible, 256u);
    EXPECT_EQ(screen.back(), "visiblePartitions: " + std::to_string(visible) +
                                 " gotVisible: " + std::to_string(visible) + " gotInvisible: 0");
    EXPECT_TRUE(std::is_sorted(grid->visibleCells.begin(), grid->visibleCells.end()));
}

}  // namespace
