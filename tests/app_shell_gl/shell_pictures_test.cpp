// The main menu and the cockpit's instruments drawn on the OpenGL backend over a cleared
// frame, each kept as a PNG: the menu's rows where the 800 x 600 layout puts them, one of
// them under the pointer; the cockpit's panel, turned wheel, needle, radar mark and signal
// bar where their level file places them in front of the eye.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>
#include <d3d9/seams.h>
#include <d3dx9.h>
#include <win32/crt.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/core/strings.h"
#include "game/app/hud/cockpit_view.h"
#include "game/app/shell/shell_menu.h"
#include "tests/support/art_files.h"
#include "tests/support/pictures.h"
#include "tests/support/services_fixture.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace {

constexpr D3DCOLOR kClear = 0xFF202020;

using morvale_testing::rgb;

// Each channel within tolerance of colour's scaled by shade.
bool near(D3DCOLOR pixel, D3DCOLOR colour, float shade, int tolerance) {
    for (int shift : {0, 8, 16}) {
        const int want = static_cast<int>(std::lround(((colour >> shift) & 0xFF) * shade));
        const int got = static_cast<int>((pixel >> shift) & 0xFF);
        if (std::abs(want - got) > tolerance) {
            return false;
        }
    }
    return true;
}

class ShellPictureTest : public morvale_testing::ServicesTest {
protected:
    ShellPictureTest(int width, int height)
        : ServicesTest(morvale_testing::DeviceKind::Gl, width, height) {}

    template <class Fn>
    d3d9::BackBufferImage picture(const std::string& name, Fn draw) {
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0),
                  D3D_OK);
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        draw();
        EXPECT_EQ(device->EndScene(), D3D_OK);
        return morvale_testing::keptPicture(device,
                                            std::string(MORVALE_PICTURES) + "/" + name + ".png");
    }
};

// The menu's art: every image a texture of one colour of its own.
constexpr D3DCOLOR kBackground = 0xFF183060;
constexpr D3DCOLOR kStart = 0xFFC03030;
constexpr D3DCOLOR kHelp = 0xFF30A040;
constexpr D3DCOLOR kHelpOver = 0xFFF0E040;
constexpr D3DCOLOR kExit = 0xFFB0B0B0;

class MainMenuPictureTest : public ShellPictureTest {
protected:
    MainMenuPictureTest() : ShellPictureTest(800, 600) {}
};

TEST_F(MainMenuPictureTest, ThreeRowsOverTheBackgroundWhereTheScaledLayoutPutsThem) {
    const struct {
        const char* image;
        D3DCOLOR colour;
    } images[] = {{"menu_background_start", kBackground},
                  {"start_w", kStart},
                  {"start_b", kStart},
                  {"start_o", kStart},
                  {"help_w", kHelp},
                  {"help_b", kHelpOver},
                  {"help_o", kHelp},
                  {"exit_w", kExit},
                  {"exit_b", kExit},
                  {"exit_o", kExit}};
    std::string index;
    for (const auto& image : images) {
        index += std::string(image.image) + " gui/" + image.image + " 0 0 1 1\n";
        writeArt(std::string("texture/hi/gui/") + image.image + ".dds",
                 morvale_testing::solidDds(4, 4, image.colour));
    }
    writeArt("texture/hi/gui/shell.tai", index);
    GuiSettings settings;
    settings.textureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
    ShellMenu menu(dx.get(), settings, false, false);
    // The pointer over the second row.
    menu.onMouseMove(200, 440);

    const d3d9::BackBufferImage image =
        picture("MainMenuPictureTest.main_menu", [&] { menu.draw(); });
    ASSERT_EQ(image.width, 800u);
    // Rows at y 392, 435 and 478, 24 high, from x 66, 289 wide.
    EXPECT_EQ(rgb(image.pixel(66, 392)), rgb(kStart));
    EXPECT_EQ(rgb(image.pixel(354, 415)), rgb(kStart));
    EXPECT_EQ(rgb(image.pixel(200, 447)), rgb(kHelpOver));
    EXPECT_EQ(rgb(image.pixel(200, 490)), rgb(kExit));
    EXPECT_EQ(rgb(image.pixel(354, 501)), rgb(kExit));
    // Between and around them the background.
    for (const auto& at :
         {std::make_pair(200, 391), std::make_pair(200, 416), std::make_pair(200, 434),
          std::make_pair(65, 400), std::make_pair(355, 400), std::make_pair(200, 502),
          std::make_pair(600, 100), std::make_pair(799, 599)}) {
        EXPECT_EQ(rgb(image.pixel(at.first, at.second)), rgb(kBackground))
            << at.first << ", " << at.second;
    }
}

// The cockpit's art: colours of the parts.
constexpr D3DCOLOR kPanel = 0xFF3050C0;
constexpr D3DCOLOR kWheel = 0xFFC03020;
constexpr D3DCOLOR kNeedle = 0xFFF0F0F0;
constexpr D3DCOLOR kMark = 0xFF20E040;
constexpr D3DCOLOR kCell = 0xFFF09020;
// "car.fx" lights the squares, whose normal is (0, 0, -1), at this fraction.
const float kLit = 0.6f + 0.4f * 0.5f / std::sqrt(0.3f * 0.3f + 0.8f * 0.8f + 0.5f * 0.5f);

// Positions of the level file, in the instruments' own units (a tenth of the eye's).
constexpr float kRadarX = -9.0f;
constexpr float kRadarY = 9.0f;
constexpr float kRadarRadius = 3.0f;
constexpr float kPi = 3.1415927f;

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

// Locator k of the radar's 36: the middle of its 10 degrees, counter-clockwise from the
// top, so that a bearing to the right of the heading shows on the right.
D3DXVECTOR2 radarPosition(int k) {
    const float angle = -(static_cast<float>(k) - 0.5f) * 10.0f * kPi / 180.0f;
    return D3DXVECTOR2(kRadarX + kRadarRadius * std::sin(angle),
                       kRadarY + kRadarRadius * std::cos(angle));
}
D3DXVECTOR2 cellPosition(int i) {
    return D3DXVECTOR2(-11.5f, 2.0f + 0.8f * static_cast<float>(i));
}

kesh::data::StaticObject part(const std::string& mesh, const D3DXMATRIX& transform) {
    kesh::data::StaticObject object;
    object.mesh = mesh;
    object.transform = transform;
    return object;
}

class CockpitPictureTest : public ShellPictureTest {
protected:
    CockpitPictureTest() : ShellPictureTest(640, 480) {}

    // A point of the instruments' space on screen: scale, placement, the projection.
    D3DXVECTOR2 pixelOf(float x, float y, float z) const {
        D3DXMATRIX scale;
        D3DXMatrixScaling(&scale, 0.1f, 0.1f, 0.1f);
        const D3DXMATRIX chain = scale * translation(-0.2f, -0.4f, 1.2f) * camera.projection;
        D3DXVECTOR3 clip;
        const D3DXVECTOR3 point(x, y, z);
        D3DXVec3TransformCoord(&clip, &point, &chain);
        return D3DXVECTOR2((clip.x + 1.0f) * 0.5f * 640.0f, (1.0f - clip.y) * 0.5f * 480.0f);
    }
    D3DCOLOR at(const d3d9::BackBufferImage& image, float x, float y, float z = 0.0f) const {
        const D3DXVECTOR2 p = pixelOf(x, y, z);
        return image.pixel(static_cast<UINT>(p.x), static_cast<UINT>(p.y));
    }

    void writeMesh(const std::string& name, float half, D3DCOLOR colour) {
        writeMeshRecords(name, morvale_testing::squareRecords(half, 0.0f, name + ".tga"), colour);
    }
    void writeMeshRecords(const std::string& name, const maya_common::data::tri_mesh& records,
                          D3DCOLOR colour) {
        writeArt("mesh/" + name + ".wfm", artlib::meshFileBytes(records));
        writeArt("texture/hi/" + name + ".dds", morvale_testing::solidDds(4, 4, colour));
    }

    kesh::CameraView camera;
};

TEST_F(CockpitPictureTest, PanelWheelNeedleAndRadarInFrontOfTheEye) {
    writeMesh("panel", 1.0f, kPanel);
    writeMesh("wheel", 1.0f, kWheel);
    writeMesh("direction_indicator", 0.5f, kMark);
    writeMesh("distance_indicator", 0.3f, kCell);
    // The needle: a thin bar standing up from its pivot.
    maya_common::data::tri_mesh needle = morvale_testing::squareRecords(1.0f, 0.0f, "arrow.tga");
    needle.positions = {
        {-0.15f, 0.0f, 0.0f}, {0.15f, 0.0f, 0.0f}, {0.15f, 2.5f, 0.0f}, {-0.15f, 2.5f, 0.0f}};
    writeMeshRecords("arrow", needle, kNeedle);

    kesh::data::LevelData level;
    D3DXMATRIX panelSize;
    D3DXMatrixScaling(&panelSize, 8.0f, 5.0f, 1.0f);
    D3DXMATRIX wheelSize;
    D3DXMatrixScaling(&wheelSize, 2.0f, 2.0f, 1.0f);
    // The panel a little behind the rest.
    level.statics = {part("panel", panelSize * translation(2.0f, 4.0f, 1.0f)),
                     part("wheel", wheelSize * translation(-3.0f, 3.0f, 0.0f)),
                     part("arrow", translation(6.5f, 3.0f, 0.0f)),
                     part("direction_indicator", translation(0.0f, 0.0f, 0.0f)),
                     part("distance_indicator", translation(0.0f, 0.0f, 0.0f))};
    for (int k = 1; k <= 52; ++k) {
        const D3DXVECTOR2 p = k <= 36 ? radarPosition(k) : cellPosition(k - 37);
        kesh::data::EffectObject locator;
        locator.name = "locator" + std::to_string(k);
        locator.transform = translation(p.x, p.y, 0.0f);
        level.effects.push_back(locator);
    }
    writeArt("levels/interior.slev", artlib::levelFileBytes(level));

    kesh::PerfTimer timer;
    msvcrt_srand(1);
    CockpitView view(kesh::toWide(artRoot() + "levels/interior.slev"), "car.fx", "car_interface.fx",
                     &camera, &timer, nullptr);
    // A target 100 units off, 45 degrees to the right: six cells, the mark near locator 32.
    const D3DXVECTOR3 target(70.71f, 0.0f, 70.71f);
    const d3d9::BackBufferImage image = picture("CockpitPictureTest.cockpit", [&] {
        view.render(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f), target,
                    0.5f, 40.0f);
    });
    ASSERT_EQ(image.width, 640u);

    EXPECT_EQ(rgb(image.pixel(2, 2)), rgb(kClear));
    EXPECT_TRUE(near(at(image, 2.0f, 4.0f, 1.0f), kPanel, kLit, 4))
        << std::hex << at(image, 2, 4, 1);
    EXPECT_TRUE(near(at(image, -3.0f, 3.0f), kWheel, kLit, 4));
    // The wheel is turned: the unturned square's corner is bare panel or clear.
    EXPECT_FALSE(near(at(image, -4.9f, 4.9f), kWheel, kLit, 4));
    // At 40 the needle points right from its pivot, not up.
    EXPECT_TRUE(near(at(image, 8.5f, 3.0f), kNeedle, kLit, 4));
    EXPECT_FALSE(near(at(image, 6.5f, 5.0f), kNeedle, kLit, 4));

    const int mark = CarInterfaceView::bearingLocator(view.lastDirection());
    EXPECT_GE(mark, 31);
    EXPECT_LE(mark, 33);
    const D3DXVECTOR2 markAt = radarPosition(mark);
    EXPECT_EQ(rgb(at(image, markAt.x, markAt.y)), rgb(kMark));
    for (int i = 0; i < 16; ++i) {
        const D3DXVECTOR2 cell = cellPosition(i);
        EXPECT_EQ(rgb(at(image, cell.x, cell.y)) == rgb(kCell), i < 6) << "cell " << i;
    }
}

}  // namespace
