// The car interface on the null device, over instruments placed by a small generated
// ".slev": which parts each view draws, with which effect, texture and matrix; the radar's
// signal bar and direction mark; the bearing's refresh, error and wrap; the beep cadence;
// and view switching with files that cannot be read.
#include "game/app/hud/car_interface.h"

#include <d3dx9.h>
#include <win32/crt.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "engine/core/stream_error.h"
#include "game/app/hud/cockpit_view.h"
#include "game/app/hud/outside_view.h"
#include "game/audio/audio_system.h"
#include "game/data/level_file.h"
#include "tests/app_shell/shell_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace shell_testing {
namespace {

using kesh::data::EffectObject;
using kesh::data::LevelData;
using kesh::data::StaticObject;

constexpr float kPi = 3.1415927f;

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

D3DXMATRIX aboutZ(float sign, float angle) {
    const D3DXVECTOR3 axis(0.0f, 0.0f, sign);
    D3DXMATRIX m;
    D3DXMatrixRotationAxis(&m, &axis, angle);
    return m;
}

StaticObject part(const std::string& mesh, const D3DXMATRIX& transform) {
    StaticObject object;
    object.mesh = mesh;
    object.transform = transform;
    return object;
}

// Locator n sits at (n / 10, 0.5, 0) and carries a scale of 3 that the radar drops.
D3DXMATRIX locatorTransform(int n) {
    D3DXMATRIX m = translation(0.1f * static_cast<float>(n), 0.5f, 0.0f);
    m._11 = m._22 = m._33 = 3.0f;
    return m;
}
D3DXMATRIX locatorPlace(int n) {
    return translation(0.1f * static_cast<float>(n), 0.5f, 0.0f);
}

LevelData instruments(bool withLocators) {
    LevelData level;
    level.statics = {part("panel", translation(1.0f, 2.0f, 0.0f)),
                     part("wheel", translation(-1.0f, 0.0f, 0.0f)),
                     part("arrow", translation(0.0f, -1.0f, 0.0f)),
                     part("direction_indicator", translation(0.0f, 0.0f, 0.0f)),
                     part("distance_indicator", translation(0.0f, 0.0f, 0.0f)),
                     part("onScreen_radar", translation(0.0f, 3.0f, 0.0f)),
                     part("onScreen_speed", translation(0.0f, -3.0f, 0.0f))};
    for (int n = 1; withLocators && n <= 52; ++n) {
        EffectObject locator;
        locator.name = "locator" + std::to_string(n);
        locator.transform = locatorTransform(n);
        level.effects.push_back(locator);
    }
    return level;
}

// The error updateDirection adds for the generator's next number.
float nextError() {
    return (static_cast<float>(msvcrt_rand()) * 3.051851e-05f - 0.5f) * 0.34906587f;
}

// A seed whose first number gives an error of the sign asked for, and not a tiny one.
unsigned seedGiving(bool negative) {
    for (unsigned seed = 1;; ++seed) {
        msvcrt_srand(seed);
        const float error = nextError();
        if (negative ? error < -0.01f : error > 0.01f) {
            return seed;
        }
    }
}

struct PartDraw {
    D3DXMATRIX matrix;
    IDirect3DBaseTexture9* texture;
    bool interfaceEffect;  // blended: "car_interface.fx"; else "car.fx"
};

class CarInterfaceTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        for (const char* mesh : {"panel", "wheel", "arrow", "direction_indicator",
                                 "distance_indicator", "onScreen_radar", "onScreen_speed"}) {
            writeArt(std::string("mesh/") + mesh + ".wfm",
                     artlib::meshFileBytes(
                         morvale_testing::squareRecords(1.0f, 0.0f, std::string(mesh) + ".tga")));
            writeArt(std::string("texture/hi/") + mesh + ".dds",
                     morvale_testing::solidDds(4, 4, 0xFF808080));
        }
        writeLevel("levels/interior.slev", instruments(true));
        writeLevel("levels/OnScreenInterface.slev", instruments(true));
        timer.freq.QuadPart = 1000;
        timer.now.QuadPart = 0;
    }

    void writeLevel(const std::string& name, const LevelData& level) {
        writeArt(name, artlib::levelFileBytes(level));
    }
    std::wstring file(const std::string& name) { return kesh::toWide(artRoot() + name); }

    CarInterface makeInterface() {
        return CarInterface("car.fx", "car_interface.fx", file("levels/interior.slev"),
                            file("levels/OnScreenInterface.slev"), &camera, &timer, nullptr);
    }

    std::vector<PartDraw> render(CarInterfaceView& view, const D3DXVECTOR3& target, float steering,
                                 float speed) {
        record().clear();
        device->BeginScene();
        view.render(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f), target,
                    steering, speed);
        device->EndScene();
        std::vector<PartDraw> out;
        for (const d3d9::RecordedDraw& draw : draws()) {
            PartDraw d{};
            // The effect's one matrix fills the first four registers, row by row.
            for (int k = 0; k < 16; ++k) {
                d.matrix.m[k / 4][k % 4] = draw.state.vertexConstants[k];
            }
            for (IDirect3DBaseTexture9* texture : draw.state.textures) {
                d.texture = d.texture ? d.texture : texture;
            }
            d.interfaceEffect = draw.state.renderState(D3DRS_ALPHABLENDENABLE) != 0;
            out.push_back(d);
        }
        return out;
    }

    // world x scale x placement x projection, built here from the views' numbers.
    D3DXMATRIX cockpit(const D3DXMATRIX& world) const {
        D3DXMATRIX scale;
        D3DXMatrixScaling(&scale, 0.1f, 0.1f, 0.1f);
        return world * scale * translation(-0.2f, -0.4f, 1.2f) * camera.projection;
    }
    D3DXMATRIX outside(const D3DXMATRIX& world) const {
        D3DXMATRIX scale;
        D3DXMatrixScaling(&scale, 0.2857143f, 0.2857143f, 0.2857143f);
        return world * scale * translation(0.0f, 0.0f, 3.0f) * camera.projection;
    }

    IDirect3DTexture9* texture(const std::string& mesh) {
        return kesh::theTextureCache->fetch(mesh + ".dds");
    }

    static void expectMatrix(const D3DXMATRIX& actual, const D3DXMATRIX& expected,
                             const std::string& what) {
        for (int k = 0; k < 16; ++k) {
            EXPECT_NEAR(actual.m[k / 4][k % 4], expected.m[k / 4][k % 4], 1e-5f)
                << what << ", element " << k;
        }
    }

    kesh::CameraView camera;
    kesh::PerfTimer timer;
};

TEST_F(CarInterfaceTest, TheCockpitDrawsPanelWheelNeedleAndTheRadarInFrontOfTheEye) {
    camera.setPosition(D3DXVECTOR3(50.0f, 20.0f, -30.0f));  // the view must not count
    const unsigned seed = seedGiving(false);
    msvcrt_srand(seed);
    const float error = nextError();
    msvcrt_srand(seed);
    CockpitView view(file("levels/interior.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                     nullptr);
    morvale_testing::captureLog({"screen"});
    const auto drawn = render(view, D3DXVECTOR3(0.0f, 0.0f, 100.0f), 0.5f, -40.0f);
    const std::vector<std::string> lines = morvale_testing::linesOf("screen");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("len: 100, l: 0.593", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("signal: 0.593", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(", levelI: 6"), std::string::npos) << lines[1];

    // 100 units: 16 - ceil(16 x 0.5934) = 6 cells, locators 37 to 42.
    ASSERT_EQ(drawn.size(), 3u + 1u + 6u);
    expectMatrix(drawn[0].matrix, cockpit(translation(1.0f, 2.0f, 0.0f)), "panel");
    EXPECT_EQ(drawn[0].texture, texture("panel"));
    EXPECT_FALSE(drawn[0].interfaceEffect);
    expectMatrix(drawn[1].matrix, cockpit(aboutZ(-1.0f, 0.5f) * translation(-1.0f, 0.0f, 0.0f)),
                 "wheel");
    EXPECT_EQ(drawn[1].texture, texture("wheel"));
    EXPECT_FALSE(drawn[1].interfaceEffect);
    // -40 turns the needle as +40 does: pi/2 of its half turn.
    expectMatrix(drawn[2].matrix,
                 cockpit(aboutZ(1.0f, 40.0f * 0.03926991f - kPi) * translation(0.0f, -1.0f, 0.0f)),
                 "needle");
    EXPECT_EQ(drawn[2].texture, texture("arrow"));
    EXPECT_FALSE(drawn[2].interfaceEffect);

    // Straight ahead with a small positive error: the first position, scale dropped.
    EXPECT_NEAR(view.lastDirection(), error, 1e-6f);
    expectMatrix(drawn[3].matrix, cockpit(locatorPlace(1)), "direction mark");
    EXPECT_EQ(drawn[3].texture, texture("direction_indicator"));
    EXPECT_TRUE(drawn[3].interfaceEffect);
    for (int cell = 0; cell < 6; ++cell) {
        expectMatrix(drawn[4 + cell].matrix, cockpit(locatorPlace(37 + cell)),
                     "cell " + std::to_string(cell));
        EXPECT_EQ(drawn[4 + cell].texture, texture("distance_indicator"));
        EXPECT_TRUE(drawn[4 + cell].interfaceEffect);
    }
}

TEST_F(CarInterfaceTest, TheOutsideViewDrawsItsFlatInstrumentsWithTheInterfaceEffect) {
    OutsideView view(file("levels/OnScreenInterface.slev"), "car.fx", "car_interface.fx", &camera,
                     &timer, nullptr);
    // Within 10 units: all 16 cells and the mark.
    const auto drawn = render(view, D3DXVECTOR3(0.0f, 0.0f, 5.0f), 0.5f, 80.0f);
    ASSERT_EQ(drawn.size(), 3u + 1u + 16u);
    // File order: the needle comes before the two dials.
    expectMatrix(drawn[0].matrix, outside(translation(0.0f, -1.0f, 0.0f)), "needle at 80");
    expectMatrix(drawn[1].matrix, outside(translation(0.0f, 3.0f, 0.0f)), "radar");
    expectMatrix(drawn[2].matrix, outside(translation(0.0f, -3.0f, 0.0f)), "speed");
    for (const PartDraw& d : drawn) {
        EXPECT_TRUE(d.interfaceEffect);
    }
    EXPECT_EQ(drawn[1].texture, texture("onScreen_radar"));
    expectMatrix(drawn.back().matrix, outside(locatorPlace(52)), "last cell");
}

TEST_F(CarInterfaceTest, GaugeAngles) {
    CockpitView cockpit(L"", "car.fx", "car_interface.fx", &camera, &timer, nullptr);
    OutsideView outside(L"", "car.fx", "car_interface.fx", &camera, &timer, nullptr);
    EXPECT_FLOAT_EQ(cockpit.gaugeAngle(0.0f), -kPi);
    EXPECT_NEAR(cockpit.gaugeAngle(80.0f), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(cockpit.gaugeAngle(-40.0f), cockpit.gaugeAngle(40.0f));
    EXPECT_FLOAT_EQ(outside.gaugeAngle(0.0f), -1.5f * kPi);
    EXPECT_NEAR(outside.gaugeAngle(-80.0f), 0.0f, 1e-6f);
}

TEST_F(CarInterfaceTest, TheSignalBarFollowsItsFormulaToItsEdges) {
    OutsideView view(L"", "car.fx", "car_interface.fx", &camera, &timer, nullptr);
    const auto level = [&](float distance) {
        return CarInterfaceView::signalLevel(
            view.signalStrength(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, distance, 0.0f)));
    };
    EXPECT_NEAR(view.signalStrength(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(100, 0, 0)),
                std::log10(91.0f) / std::log10(2000.0f), 1e-6f);
    EXPECT_EQ(level(0.0f), 16);
    EXPECT_EQ(level(10.0f), 16);
    EXPECT_EQ(level(100.0f), 6);
    EXPECT_EQ(level(1000.0f), 1);
    // The last cell goes at about 1253 units, not at 1990.
    EXPECT_EQ(level(1252.0f), 1);
    EXPECT_EQ(level(1254.0f), 0);
    EXPECT_EQ(level(1990.0f), 0);
    EXPECT_EQ(level(1e9f), 0);
    EXPECT_NEAR(view.signalStrength(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1e6f)), 0.9994f, 1e-4f);
}

TEST_F(CarInterfaceTest, BeyondTheBarsReachNeitherCellsNorMarkAreDrawn) {
    CockpitView view(file("levels/interior.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                     nullptr);
    EXPECT_EQ(render(view, D3DXVECTOR3(0.0f, 0.0f, 1300.0f), 0.0f, 0.0f).size(), 3u);
    timer.now.QuadPart += 2000;
    EXPECT_EQ(render(view, D3DXVECTOR3(0.0f, 0.0f, 1200.0f), 0.0f, 0.0f).size(), 3u + 1u + 1u);

    // Without locator records there is nowhere to put either.
    writeLevel("levels/bare.slev", instruments(false));
    CockpitView bare(file("levels/bare.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                     nullptr);
    EXPECT_EQ(render(bare, D3DXVECTOR3(0.0f, 0.0f, 5.0f), 0.0f, 0.0f).size(), 3u);
}

TEST_F(CarInterfaceTest, TheBearingsCellAndItsWrap) {
    EXPECT_EQ(CarInterfaceView::bearingLocator(0.0f), 1);
    EXPECT_EQ(CarInterfaceView::bearingLocator(kPi), 19);
    EXPECT_EQ(CarInterfaceView::bearingLocator(std::nextafter(CarInterfaceView::kTwoPi, 0.0f)), 36);
    EXPECT_EQ(CarInterfaceView::bearingLocator(std::nextafter(2.0f * kPi, 0.0f)), 36);
    // Out of range an unwrapped bearing would name "locator0" or "locator37": wrapped it stays on
    // the 36 positions.
    EXPECT_NEAR(CarInterfaceView::wrapBearing(-0.05f), CarInterfaceView::kTwoPi - 0.05f, 1e-6f);
    EXPECT_NEAR(CarInterfaceView::wrapBearing(CarInterfaceView::kTwoPi + 0.05f), 0.05f, 1e-5f);
    EXPECT_EQ(CarInterfaceView::wrapBearing(CarInterfaceView::kTwoPi), 0.0f);
    const float tiny = CarInterfaceView::wrapBearing(-1e-9f);
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, CarInterfaceView::kTwoPi);
    EXPECT_EQ(CarInterfaceView::bearingLocator(CarInterfaceView::wrapBearing(-0.05f)), 36);
}

TEST_F(CarInterfaceTest, ATargetAheadWithANegativeErrorMarksTheLastPositionNotLocatorZero) {
    const unsigned seed = seedGiving(true);
    msvcrt_srand(seed);
    const float error = nextError();
    msvcrt_srand(seed);
    CockpitView view(file("levels/interior.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                     nullptr);
    const auto drawn = render(view, D3DXVECTOR3(0.0f, 0.0f, 100.0f), 0.0f, 0.0f);
    EXPECT_NEAR(view.lastDirection(), CarInterfaceView::kTwoPi + error, 1e-5f);
    ASSERT_EQ(drawn.size(), 3u + 1u + 6u);
    expectMatrix(drawn[3].matrix, cockpit(locatorPlace(36)), "direction mark");
}

TEST_F(CarInterfaceTest, TheBearingIsRefreshedEveryTwoSecondsFromTheCarsHeading) {
    OutsideView view(L"", "car.fx", "car_interface.fx", &camera, &timer, nullptr);
    // Facing +x (a quarter turn about y), the target ahead along +z lies a quarter turn off.
    D3DXQUATERNION heading;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXQuaternionRotationAxis(&heading, &up, kPi / 2.0f);
    const D3DXVECTOR3 car(5.0f, 0.0f, 5.0f);
    msvcrt_srand(99);
    const float error = nextError();
    msvcrt_srand(99);
    EXPECT_TRUE(view.refreshDue()) << "the first frame refreshes";
    const float first = view.updateDirection(car, heading, D3DXVECTOR3(5.0f, 7.0f, 50.0f));
    EXPECT_NEAR(first, kPi / 2.0f + error, 1e-5f);

    timer.now.QuadPart = 1999;
    EXPECT_FALSE(view.refreshDue());
    EXPECT_EQ(view.updateDirection(car, heading, D3DXVECTOR3(5.0f, 0.0f, -50.0f)), first);
    timer.now.QuadPart = 2000;
    const float behind = view.updateDirection(car, heading, D3DXVECTOR3(5.0f, 0.0f, -50.0f));
    EXPECT_NEAR(behind, 1.5f * kPi, 0.18f);
}

TEST_F(CarInterfaceTest, TheCockpitBeepsInItsFirstFrameAndThenEveryTwoSeconds) {
    AudioSystem audio(*scripts, *music);
    writeLevel("levels/empty.slev", LevelData());
    CockpitView cockpit(file("levels/empty.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                        &audio);
    const D3DXVECTOR3 target(0.0f, 0.0f, 50.0f);
    std::vector<std::size_t> beeps;
    for (std::int64_t now : {0, 500, 1999, 2000, 3000, 3999, 4000, 4001, 6500}) {
        timer.now.QuadPart = now;
        render(cockpit, target, 0.0f, 0.0f);
        beeps.push_back(audio.queuedPlays());
    }
    EXPECT_EQ(beeps, (std::vector<std::size_t>{1, 1, 1, 2, 2, 2, 3, 3, 4}));

    timer.now.QuadPart = 0;
    OutsideView outside(file("levels/empty.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                        &audio);
    for (std::int64_t now : {0, 2000, 4000}) {
        timer.now.QuadPart = now;
        render(outside, target, 0.0f, 0.0f);
    }
    EXPECT_EQ(audio.queuedPlays(), 4u);
}

TEST_F(CarInterfaceTest, SwitchingViewsKeepsTheOldViewWhenTheNewFileCannotBeRead) {
    CarInterface carInterface("car.fx", "car_interface.fx", file("levels/missing.slev"),
                              file("levels/OnScreenInterface.slev"), &camera, &timer, nullptr);
    CarInterfaceView* outsideView = carInterface.currentView();
    ASSERT_NE(dynamic_cast<OutsideView*>(outsideView), nullptr);
    EXPECT_THROW(carInterface.setView(true), kesh::stream::error);
    EXPECT_EQ(carInterface.currentView(), outsideView);

    CarInterface good = makeInterface();
    good.setView(true);
    good.setView(false);
    good.setView(true);
    ASSERT_NE(dynamic_cast<CockpitView*>(good.currentView()), nullptr);
    EXPECT_EQ(good.currentView()->parts()->statics.size(), 7u);
    record().clear();
    device->BeginScene();
    good.render(D3DXVECTOR3(0, 0, 0), D3DXQUATERNION(0, 0, 0, 1), D3DXVECTOR3(0, 0, 5), 0, 0);
    device->EndScene();
    EXPECT_EQ(draws().size(), 3u + 1u + 16u);

    // A damaged file: the stream's error leaves and the view stays.
    std::vector<std::uint8_t> bytes = artlib::levelFileBytes(instruments(true));
    bytes.resize(bytes.size() / 2);
    writeArt("levels/interior.slev", bytes);
    CockpitView* before = static_cast<CockpitView*>(good.currentView());
    EXPECT_THROW(good.setView(true), kesh::stream::error);
    EXPECT_EQ(good.currentView(), before);

    EXPECT_THROW(CarInterface("car.fx", "car_interface.fx", file("levels/interior.slev"),
                              file("levels/missing.slev"), &camera, &timer, nullptr),
                 kesh::stream::error);
}

TEST_F(CarInterfaceTest, WithoutFilesTheViewsDrawNothing) {
    AudioSystem audio(*scripts, *music);
    CarInterface empty("car.fx", "car_interface.fx", L"", L"", &camera, &timer, &audio);
    EXPECT_EQ(empty.currentView()->parts(), nullptr);
    empty.setView(true);
    record().clear();
    device->BeginScene();
    empty.render(D3DXVECTOR3(0, 0, 0), D3DXQUATERNION(0, 0, 0, 1), D3DXVECTOR3(0, 0, 5), 0, 0);
    device->EndScene();
    EXPECT_TRUE(draws().empty());
    EXPECT_EQ(audio.queuedPlays(), 0u);
}

TEST_F(CarInterfaceTest, AMeshWithoutMaterialIsDrawnUntexturedAndAMissingMeshThrows) {
    maya_common::data::tri_mesh bare = morvale_testing::squareRecords(1.0f, 0.0f, "unused.tga");
    bare.materials.materials.clear();
    bare.face_materials.clear();
    writeArt("mesh/panel.wfm", artlib::meshFileBytes(bare));
    CockpitView view(file("levels/interior.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                     nullptr);
    const auto drawn = render(view, D3DXVECTOR3(0.0f, 0.0f, 5000.0f), 0.0f, 0.0f);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].texture, nullptr);
    EXPECT_EQ(drawn[1].texture, texture("wheel"));

    LevelData odd;
    odd.statics = {part("panel", translation(0, 0, 0)), part("wheel", translation(0, 0, 0))};
    writeLevel("levels/odd.slev", odd);
    std::remove((artRoot() + "mesh/wheel.wfm").c_str());
    kesh::theMeshInfoCache->release("wheel.wfm");
    CockpitView oddView(file("levels/odd.slev"), "car.fx", "car_interface.fx", &camera, &timer,
                        nullptr);
    device->BeginScene();
    EXPECT_THROW(oddView.render(D3DXVECTOR3(0, 0, 0), D3DXQUATERNION(0, 0, 0, 1),
                                D3DXVECTOR3(0, 0, 5000), 0, 0),
                 std::runtime_error);
    device->EndScene();
}

TEST_F(CarInterfaceTest, ReadingALevelFileByPathGivesItsRecordsOrTheStreamsError) {
    LevelData level;
    kesh::data::readLevelFileAt(file("levels/interior.slev"), level);
    ASSERT_EQ(level.statics.size(), 7u);
    EXPECT_EQ(level.statics[2].mesh, "arrow");
    ASSERT_EQ(level.effects.size(), 52u);
    EXPECT_EQ(level.effects[51].name, "locator52");

    LevelData none;
    EXPECT_THROW(kesh::data::readLevelFileAt(file("levels/none.slev"), none), kesh::stream::error);
    writeArt("levels/empty_file.slev", std::string());
    EXPECT_THROW(kesh::data::readLevelFileAt(file("levels/empty_file.slev"), none),
                 kesh::stream::error);
}

}  // namespace
}  // namespace shell_testing
