// The generated town through the game's level, built as the play stage builds it: the
// statics with their meshes and lightmaps, the cell grid with the locators' effects, and the
// car of "car.lua" at a start, driven from every start for a few simulated seconds.
#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>
#include <d3dx9tex.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "dinput8/test_seam.h"
#include "engine/core/strings.h"
#include "engine/core/transform.h"
#include "engine/render/gui/texture_atlas.h"
#include "engine/render/mesh/mesh_info.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/quad/ground_height_source.h"
#include "game/app/shell/shell_art.h"
#include "game/app/stages/game_stage.h"
#include "game/vehicle/car/wheel.h"
#include "game/vehicle/input/input_system.h"
#include "game/world/level/level.h"
#include "tests/art/art_log.h"
#include "tests/art/generated_art.h"
#include "tests/support/level_probe.h"
#include "win32/com_ptr.h"
#include "win32/window_seams.h"

namespace {

using namespace art_testing;

// The play stage's answer for every point.
class FlatGround : public kesh::GroundHeightSource {
public:
    float groundHeight(const float*) override { return 0.0f; }
};

D3DXVECTOR3 positionOf(const D3DXMATRIX& m) {
    return {m._41, m._42, m._43};
}

class LevelArtTest : public GeneratedArtTest {
protected:
    void SetUp() override {
        GeneratedArtTest::SetUp();
        captureComplaints();
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
        decaler = std::make_unique<kesh::Decaler>(dx.get(), &flat);
        dinput8_test::reset();
        input = std::make_unique<InputSystem>(window);
        input->keySensitivity = 1.0;
        build(".dds");
        data = readLevel("levels/final_level.slev");
        for (const kesh::data::LocatorObject& l : data.locators) {
            if (l.tag.rfind("start", 0) == 0) {
                starts.push_back(l.transform);
            } else if (l.tag.rfind("end", 0) == 0) {
                ends.push_back(l.transform);
            }
        }
    }

    void TearDown() override {
        level.reset();
        input.reset();
        dinput8_test::reset();
        decaler.reset();
        GeneratedArtTest::TearDown();
    }

    // The level as the play stage builds it for the default level, with the texture
    // extension the game forces (".tga" with its `tga` option).
    void build(const std::string& textureExtension) {
        level.reset();
        kesh::theTextureCache->releaseAll();
        textureLoader->setExtension(textureExtension);
        LevelParams params;
        params.root = kesh::toWide(artRoot());
        params.levelFile = L"levels/final_level.slev";
        params.lightmapFolder = L"lightmaps/level01/";
        params.physicsScript = L"physics.lua";
        level =
            std::make_unique<Level>(dx.get(), camera, input.get(), decaler.get(), nullptr, params);
    }

    // One frame updated and drawn: every texture drawn loaded, and nothing complained.
    void expectFrameWithoutCheckerboard() {
        d3d9::DeviceRecord& record = *d3d9::deviceRecord(device);
        record.clear();
        frame(1.0 / 60.0);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        level->render(level->view(), clock);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        EXPECT_GT(record.draws.size(), 10u);
        int textured = 0;
        for (const d3d9::RecordedDraw& draw : record.draws) {
            for (IDirect3DBaseTexture9* texture : draw.state.textures) {
                EXPECT_TRUE(texture == nullptr || !isFallback(texture)) << draw.tag;
                textured += texture != nullptr ? 1 : 0;
            }
        }
        EXPECT_GT(textured, 10);
        EXPECT_EQ(describeComplaints(), "");
    }

    void frame(double delta) {
        clock.delta = delta;
        clock.time += delta;
        level->update(clock);
    }

    FlatGround flat;
    std::unique_ptr<kesh::Decaler> decaler;
    std::unique_ptr<InputSystem> input;
    kesh::CameraView camera;
    std::unique_ptr<Level> level;
    FrameTime clock;
    kesh::data::LevelData data;
    std::vector<D3DXMATRIX> starts;
    std::vector<D3DXMATRIX> ends;
};

TEST_F(LevelArtTest, TheTownLoadsWithItsStaticsCellsAndTheCarAtAStart) {
    // A level file that cannot be read is only logged ("Load terrain data failed").
    EXPECT_EQ(describeComplaints(), "");
    for (const std::string& line : linesOf("debug")) {
        EXPECT_EQ(line.find("failed"), std::string::npos) << line;
    }
    ASSERT_NE(level->getStatics(), nullptr);
    EXPECT_EQ(level->getStatics()->size(), data.statics.size());
    EXPECT_FLOAT_EQ(level->getStatics()->groundHeight(), 0.0f);
    ASSERT_NE(LevelProbe::cells(*level), nullptr);
    // The effects that are not lit windows live as long as the level.
    std::size_t global = 0;
    for (const kesh::data::EffectObject& e : data.effects) {
        global += e.effect.rfind("win", 0) == 0 ? 0 : 1;
    }
    EXPECT_EQ(LevelProbe::cells(*level)->globalEffects.size(), global);
    for (const kesh::effect::EffectHandle& effect : LevelProbe::cells(*level)->globalEffects) {
        EXPECT_TRUE(effect);
    }
    // A cell shows at most six of its lit windows, a random six when it holds more: windows
    // would go dark and light again as the car comes and goes.
    std::size_t windows = 0;
    for (const LevelCell& cell : LevelProbe::cells(*level)->grid.cells) {
        EXPECT_LE(cell.effects.size(), LevelCellGrid::kMaxEffectsPerCell)
            << "the cell at " << cell.centre.x << ", " << cell.centre.z;
        windows += cell.effects.size();
    }
    EXPECT_EQ(windows, data.effects.size() - global);

    // The car stands at one of the starts; its target is that start's end.
    ASSERT_NE(LevelProbe::vehicle(*level), nullptr);
    ASSERT_EQ(starts.size(), ends.size());
    D3DXVECTOR3 car, target;
    level->getCarPosition(car);
    level->getTargetPosition(target);
    bool paired = false;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const D3DXVECTOR3 s = positionOf(starts[i]) - car;
        const D3DXVECTOR3 e = positionOf(ends[i]) - target;
        paired = paired || (D3DXVec3Length(&s) < 1e-3f && D3DXVec3Length(&e) < 1e-3f);
    }
    EXPECT_TRUE(paired) << "the car is not at a start with its end as the target";

    // Every static's textures and lightmaps, the marker's, the car's and the effects'.
    expectFrameWithoutCheckerboard();
}

TEST_F(LevelArtTest, WithTheTgaOptionTheTownDrawsFromItsTgaFiles) {
    build(".tga");
    expectFrameWithoutCheckerboard();
}

// The play stage puts the car and its goal on the map picture by the statics' box: the
// picture must show the plan there: the routes on streets, the buildings where their solids
// stand.
TEST_F(LevelArtTest, TheMapPictureDrawsThePlanWhereThePlayStageMapsTheLevel) {
    GuiSettings gui;
    gui.textureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
    kesh::TextureAtlas atlas;
    loadShellAtlas(gui, atlas);
    const kesh::AtlasEntry* map = atlas.find("menu_background_map");
    ASSERT_NE(map, nullptr);
    const Bytes file = readBytes("texture/hi/" + map->texture);
    win32::ComPtr<IDirect3DTexture9> picture;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                  nullptr, nullptr, picture.out()),
              D3D_OK);
    D3DSURFACE_DESC desc{};
    picture->GetLevelDesc(0, &desc);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(picture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const kesh::BoundingBox& box = level->getStatics()->bounds();
    auto pixelAt = [&](float worldX, float worldZ) {
        const std::array<float, 2> uv =
            GameStage::worldToMap(box, D3DXVECTOR3(worldX, 0.0f, worldZ));
        const auto x =
            static_cast<UINT>((map->u + uv[0] * map->w) * static_cast<float>(desc.Width));
        const auto y =
            static_cast<UINT>((map->v + uv[1] * map->h) * static_cast<float>(desc.Height));
        std::uint32_t colour = 0;
        std::memcpy(&colour,
                    static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
        return colour;
    };
    auto near = [](std::uint32_t c, int r, int g, int b) {
        return std::abs(static_cast<int>((c >> 16) & 0xFF) - r) < 24 &&
               std::abs(static_cast<int>((c >> 8) & 0xFF) - g) < 24 &&
               std::abs(static_cast<int>(c & 0xFF) - b) < 24;
    };
    // Streets plain grey, blocks pale, parks green; roofs none of these.
    auto street = [&](std::uint32_t c) { return near(c, 150, 150, 150); };
    auto open = [&](std::uint32_t c) {
        return street(c) || near(c, 215, 210, 195) || near(c, 120, 170, 90);
    };
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_TRUE(street(pixelAt(starts[i]._41, starts[i]._43))) << "start " << i;
        EXPECT_TRUE(street(pixelAt(ends[i]._41, ends[i]._43))) << "end " << i;
    }
    // The buildings' footprints (their solids' boxes, the town's walls left out) against the
    // roofs on the picture, over a grid of points away from any wall of a footprint.
    std::vector<kesh::BoundingBox> footprints;
    for (const kesh::data::StaticObject& s : data.statics) {
        if ((s.flags & kesh::data::StaticObject::solidFlag) == 0 || s.name.rfind("wall", 0) == 0) {
            continue;
        }
        const kesh::MeshInfo* info = kesh::theMeshInfoCache->fetch(s.mesh + ".wfm");
        for (std::size_t k = 1; k < info->boxCount(); ++k) {
            kesh::BoundingBox b = *info->box(k);
            if (b.max.y > 1.0f) {
                const D3DXVECTOR3 at(s.transform._41, 0.0f, s.transform._43);
                footprints.emplace_back(b.min + at, b.max + at);
            }
        }
    }
    EXPECT_GT(footprints.size(), 10u);
    int sampled = 0, wrong = 0;
    for (float z = box.min.z + 3.0f; z < box.max.z - 3.0f; z += 7.0f) {
        for (float x = box.min.x + 3.0f; x < box.max.x - 3.0f; x += 7.0f) {
            bool inside = false, edge = false;
            for (const kesh::BoundingBox& f : footprints) {
                const bool in = x > f.min.x && x < f.max.x && z > f.min.z && z < f.max.z;
                const bool nearIn =
                    x > f.min.x - 2 && x < f.max.x + 2 && z > f.min.z - 2 && z < f.max.z + 2;
                inside = inside || in;
                edge = edge || (nearIn && !(x > f.min.x + 2 && x < f.max.x - 2 && z > f.min.z + 2 &&
                                            z < f.max.z - 2));
            }
            if (edge) {
                continue;
            }
            ++sampled;
            wrong += inside == open(pixelAt(x, z)) ? 1 : 0;
        }
    }
    EXPECT_GT(sampled, 1000);
    EXPECT_LT(wrong, sampled / 50) << "of " << sampled << " points of the plan";
    picture->UnlockRect(0);
}

TEST_F(LevelArtTest, FromEveryStartTheCarDrivesAwayWithoutLosingTheRun) {
    const kesh::BoundingBox& box = level->getStatics()->bounds();
    for (std::size_t i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE("start " + std::to_string(i));
        level->createCar(input.get(), decaler.get());
        CVehicle* vehicle = LevelProbe::vehicle(*level);
        ASSERT_NE(vehicle, nullptr);
        vehicle->place(kesh::Transform(starts[i]));
        D3DXVECTOR3 start, heading;
        vehicle->position(start);
        vehicle->orientation(heading);
        // Settling on the wheels, then four seconds with the accelerator held.
        for (int f = 0; f < 60; ++f) {
            frame(1.0 / 60.0);
        }
        // On its wheels, the body's box clear of the ground (its belly would drag).
        D3DXVECTOR3 settled;
        vehicle->position(settled);
        EXPECT_GT(settled.y - 0.5f * vehicle->params()->height, 0.15f) << "the body sits down";
        for (int w = 0; w < vehicle->wheelCount(); ++w) {
            EXPECT_TRUE(vehicle->wheel(w)->hasContact()) << "wheel " << w;
        }
        win32::simulateKey(window, VK_UP, true);
        for (int f = 0; f < 4 * 60; ++f) {
            frame(1.0 / 60.0);
            D3DXVECTOR3 p;
            vehicle->position(p);
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << f;
            ASSERT_TRUE(box.contains(p)) << f;
            ASSERT_GT(p.y, 0.0f) << f << ": through the ground";
            ASSERT_FALSE(level->isLost()) << f;
        }
        win32::simulateKey(window, VK_UP, false);
        D3DXVECTOR3 end;
        vehicle->position(end);
        EXPECT_TRUE(vehicle->isStable());
        const D3DXVECTOR3 moved = end - start;
        // A real drive: the car gets going along the street it faces.
        EXPECT_GT(D3DXVec3Dot(&moved, &heading), 30.0f);
        EXPECT_LT(end.y, 1.5f) << "not resting on its wheels";
    }
    EXPECT_EQ(describeComplaints(), "");
}

}  // namespace
