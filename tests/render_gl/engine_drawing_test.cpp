// The engine's own drawing code on the OpenGL backend with the art folder's effects: a
// textured static through "textured_mesh.fx", text through a Font, debug shapes and the
// built-in error effect, checked on the pixels read back where the result is certain.
#include <d3dx9.h>

#include "engine/render/camera_view.h"
#include "engine/render/gui/font.h"
#include "engine/render/mesh/mesh_instance.h"
#include "tests/support/art_files.h"
#include "tests/support/pictures.h"
#include "tests/support/services_fixture.h"
#include "tests/support/test_window.h"
#include "tools/artlib/mesh_writer.h"

namespace render_gl {
namespace {

using namespace morvale_testing;

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr D3DCOLOR kBackground = 0xFF102030;
constexpr D3DCOLOR kPaint = 0xFF3080C0;

// Where the square of squareRecords(1, 5) lands: the 90-degree vertical field of view
// shows +-5 at z = 5, so the square covers 12 pixels each side of the centre.
constexpr int kSquareLeft = 68, kSquareTop = 48, kSquareRight = 92, kSquareBottom = 72;

class EngineDrawingTest : public ServicesTest {
protected:
    EngineDrawingTest() : ServicesTest(DeviceKind::Gl, kWidth, kHeight) {}

    void SetUp() override {
        ServicesTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        writeArt("texture/hi/paint.dds", solidDds(4, 4, kPaint));
        writeArt("texture/hi/white.dds", solidDds(4, 4, 0xFFFFFFFF));
        writeArt("texture/hi/grey.dds", solidDds(4, 4, 0xFF808080));
        // White in the first column, black elsewhere.
        std::vector<D3DCOLOR> column(16, 0xFF000000);
        for (int row = 0; row < 4; ++row) {
            column[row * 4] = 0xFFFFFFFF;
        }
        writeArt("texture/hi/column.dds", ddsFile(4, 4, column));
        writeArt("mesh/square.wfm", artlib::meshFileBytes(squareRecords(1.0f, 5.0f, "paint.tga")));
    }

    void TearDown() override {
        if (inScene) {
            device->EndScene();
        }
        ServicesTest::TearDown();
    }

    // Clears to the background and begins the scene.
    void beginFrame() {
        ASSERT_EQ(
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0),
            D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        inScene = true;
    }

    // Ends the scene, reads the back buffer and keeps it as <suite>.<test><suffix>.png.
    d3d9::BackBufferImage picture(const std::string& suffix = "") {
        if (inScene) {
            device->EndScene();
            inScene = false;
        }
        const d3d9::BackBufferImage image =
            keptPicture(device, std::string(MORVALE_PICTURES) + "/" + pictureName(suffix));
        EXPECT_EQ(image.width, dx->getViewport().Width);
        EXPECT_EQ(image.height, dx->getViewport().Height);
        return image;
    }

    // At the origin looking down +z, the aspect of the viewport.
    kesh::CameraView camera() const {
        kesh::CameraView view;
        const D3DVIEWPORT9& viewport = dx->getViewport();
        view.setProjection(view.fov, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                           100.0f);
        return view;
    }

    // The square drawn as the level's statics draw: per-range texture as "tex_0", the
    // lightmap as "tex_1".
    void drawSquare(ID3DXEffect* effect, const std::string& lightmap) {
        kesh::MeshInstance instance(kesh::theMeshInfoCache->fetch("square.wfm"));
        if (!lightmap.empty()) {
            ASSERT_EQ(effect->SetTexture("tex_1", kesh::theTextureCache->fetch(lightmap)), D3D_OK);
        }
        instance.render(effect, camera());
    }

    static void expectBoxNear(const PixelBox& box, int left, int top, int right, int bottom) {
        EXPECT_NEAR(box.left, left, 1);
        EXPECT_NEAR(box.top, top, 1);
        EXPECT_NEAR(box.right, right, 1);
        EXPECT_NEAR(box.bottom, bottom, 1);
    }

private:
    bool inScene = false;
};

TEST_F(EngineDrawingTest, ATexturedStaticShowsItsTextureUnderAWhiteLightmap) {
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    beginFrame();
    drawSquare(effect, "white.dds");
    const d3d9::BackBufferImage image = picture();
    ASSERT_EQ(image.width, static_cast<UINT>(kWidth));
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(kSquareLeft + 1, kSquareTop + 1)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(kSquareRight - 2, kSquareBottom - 2)), rgb(kPaint));
    // All around it the clear colour stays.
    EXPECT_EQ(rgb(image.pixel(kSquareLeft - 3, kHeight / 2)), rgb(kBackground));
    EXPECT_EQ(rgb(image.pixel(kSquareRight + 2, kHeight / 2)), rgb(kBackground));
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kSquareTop - 3)), rgb(kBackground));
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kSquareBottom + 2)), rgb(kBackground));
    expectBoxNear(boxOfPixelsUnlike(image, kBackground), kSquareLeft, kSquareTop, kSquareRight,
                  kSquareBottom);
}

TEST_F(EngineDrawingTest, TheLightmapThroughTheSecondUvSetDarkensTheTexture) {
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    beginFrame();
    drawSquare(effect, "grey.dds");
    const D3DCOLOR centre = picture().pixel(kWidth / 2, kHeight / 2);
    // Each channel times 128 / 255.
    EXPECT_NEAR(static_cast<int>((centre >> 16) & 0xFF), 0x18, 1);
    EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), 0x40, 1);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), 0x60, 1);
}

TEST_F(EngineDrawingTest, TheLightmapIsReadThroughTheSecondUvSet) {
    // Read through the first set, the lightmap would darken all but the left quarter.
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    beginFrame();
    drawSquare(effect, "column.dds");
    const d3d9::BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kSquareLeft + 1, kHeight / 2)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(kSquareRight - 2, kHeight / 2)), rgb(kPaint));
}

TEST_F(EngineDrawingTest, AStaticSeenFromBehindIsCulled) {
    // Turned half round about the view axis' vertical, the square shows its back.
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    kesh::MeshInstance instance(kesh::theMeshInfoCache->fetch("square.wfm"));
    D3DXMATRIX toOrigin, turn, back, world;
    D3DXMatrixTranslation(&toOrigin, 0.0f, 0.0f, -5.0f);
    D3DXMatrixRotationY(&turn, D3DX_PI);
    D3DXMatrixTranslation(&back, 0.0f, 0.0f, 5.0f);
    world = toOrigin * turn * back;
    instance.setTransform(world);
    effect->SetTexture("tex_1", kesh::theTextureCache->fetch("white.dds"));
    beginFrame();
    instance.render(effect, camera());
    EXPECT_TRUE(boxOfPixelsUnlike(picture(), kBackground).empty());
}

TEST_F(EngineDrawingTest, ALineOfTextLandsInsideItsMeasuredRectangle) {
    kesh::Font font(dx.get(), kesh::FontDesc{12, "Arial"});
    const wchar_t* const text = L"Morvale 4x4";
    RECT rect{20, 40, kWidth, kHeight};
    font.measureText(text, -1, &rect, DT_SINGLELINE);
    ASSERT_GT(rect.right, rect.left);
    ASSERT_GT(rect.bottom, rect.top);
    ASSERT_LE(rect.right, kWidth);
    const float yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    beginFrame();
    RECT drawn = rect;
    EXPECT_GT(font.drawText(text, -1, &drawn, yellow, DT_SINGLELINE), 0);
    const d3d9::BackBufferImage image = picture();

    const PixelBox box = boxOfPixelsUnlike(image, kBackground);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.left, rect.left);
    EXPECT_GE(box.top, rect.top);
    EXPECT_LE(box.right, rect.right);
    EXPECT_LE(box.bottom, rect.bottom);
    // Eleven characters fill most of the measured width.
    EXPECT_GT(box.right - box.left, (rect.right - rect.left) / 2);
    int solid = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const D3DCOLOR c = image.pixel(x, y);
            solid += ((c >> 16) & 0xFF) >= 0xF0 && ((c >> 8) & 0xFF) >= 0xF0 && (c & 0xFF) <= 0x30;
        }
    }
    EXPECT_GT(solid, 10) << "few pixels in the text's own colour";
}

TEST_F(EngineDrawingTest, ADebugBoxIsFilledWithItsColour) {
    // The unit box doubled at z = 5: its near face at z = 4 covers 15 pixels each side.
    D3DXMATRIX scale, move, world;
    D3DXMatrixScaling(&scale, 2.0f, 2.0f, 2.0f);
    D3DXMatrixTranslation(&move, 0.0f, 0.0f, 5.0f);
    world = scale * move;
    debugRenderer->addBox(&world, 0xFF20C040, 0);
    beginFrame();
    debugRenderer->draw(camera());
    const d3d9::BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), 0x20C040u);
    EXPECT_EQ(rgb(image.pixel(66, 46)), 0x20C040u);
    EXPECT_EQ(rgb(image.pixel(93, 73)), 0x20C040u);
    expectBoxNear(boxOfPixelsUnlike(image, kBackground), 65, 45, 95, 75);
}

TEST_F(EngineDrawingTest, AHalfTransparentDebugBoxBlendsOverTheStatic) {
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 3.0f);
    // Culled, so that one face only covers the centre.
    debugRenderer->addBox(&world, 0x80FFFFFF, kesh::DebugCull);
    beginFrame();
    drawSquare(effect, "white.dds");
    debugRenderer->draw(camera());
    const D3DCOLOR centre = picture().pixel(kWidth / 2, kHeight / 2);
    // Half of white over the paint, by the box's alpha 128 / 255.
    const double a = 128.0 / 255.0;
    EXPECT_NEAR(static_cast<int>((centre >> 16) & 0xFF), a * 255 + (1 - a) * 0x30, 2);
    EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), a * 255 + (1 - a) * 0x80, 2);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), a * 255 + (1 - a) * 0xC0, 2);
}

TEST_F(EngineDrawingTest, DebugScreenTextStartsAtTheTopLeft) {
    debugRenderer->addScreenText(L"debug 123", 0xFFFFFFFF);
    beginFrame();
    debugRenderer->draw(camera());
    const PixelBox box = boxOfPixelsUnlike(picture(), kBackground);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.left, 3);
    EXPECT_GE(box.top, 3);
    EXPECT_LT(box.left, 12);
    EXPECT_LT(box.top, 12);
    EXPECT_LT(box.bottom, kHeight / 2);
}

TEST_F(EngineDrawingTest, AMissingEffectDrawsTheStaticInTheErrorColour) {
    ID3DXEffect* effect = kesh::theEffectCache->fetch("no_such_effect.fx");
    ASSERT_NE(effect, nullptr);
    // Every name that fails shares the one built-in effect.
    EXPECT_EQ(kesh::theEffectCache->fetch("nor_this_one.fx"), effect);
    beginFrame();
    drawSquare(effect, "");
    const d3d9::BackBufferImage image = picture();
    EXPECT_EQ(rgb(image.pixel(kWidth / 2, kHeight / 2)), 0xFF4040u);
    EXPECT_EQ(rgb(image.pixel(kSquareLeft + 1, kSquareBottom - 2)), 0xFF4040u);
    EXPECT_EQ(rgb(image.pixel(4, 4)), rgb(kBackground));
    expectBoxNear(boxOfPixelsUnlike(image, kBackground), kSquareLeft, kSquareTop, kSquareRight,
                  kSquareBottom);
}

TEST_F(EngineDrawingTest, AfterAResizeTheSameObjectsDrawInTheNewBackBuffer) {
    ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
    kesh::Font font(dx.get(), kesh::FontDesc{12, "Arial"});
    const float yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    beginFrame();
    drawSquare(effect, "white.dds");
    picture("_before");

    // The effects, the font and the cached texture and mesh all live through the reset.
    ASSERT_TRUE(resizeClient(window, 200, 150));
    dx->resize(200, 150);
    ASSERT_FALSE(dx->isLost());
    ASSERT_EQ(dx->getViewport().Width, 200u);
    ASSERT_EQ(dx->getViewport().Height, 150u);
    beginFrame();
    drawSquare(effect, "white.dds");
    RECT rect{4, 4, 200, 150};
    font.drawText(L"after", -1, &rect, yellow, DT_SINGLELINE);
    const d3d9::BackBufferImage image = picture("_after");
    ASSERT_EQ(image.width, 200u);
    ASSERT_EQ(image.height, 150u);
    // The square now covers 15 pixels each side of the new centre.
    EXPECT_EQ(rgb(image.pixel(100, 75)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(86, 61)), rgb(kPaint));
    EXPECT_EQ(rgb(image.pixel(82, 75)), rgb(kBackground));
    EXPECT_EQ(rgb(image.pixel(117, 75)), rgb(kBackground));
    int textPixels = 0;
    for (UINT y = 0; y < 40; ++y) {
        for (UINT x = 0; x < 80; ++x) {
            textPixels += rgb(image.pixel(x, y)) != rgb(kBackground);
        }
    }
    EXPECT_GT(textPixels, 20);
}

}  // namespace
}  // namespace render_gl
