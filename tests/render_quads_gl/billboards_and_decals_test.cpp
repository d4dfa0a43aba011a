// Billboards and decals over a ground quad, drawn through the OpenGL backend and read back.
// The camera looks straight down on the ground, so every shape lands on known pixels: 15
// pixels per world unit at the billboards' height (8 below the eye), 12 on the ground (10
// below). The picture is kept as a PNG.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/render/effect/effect_cache.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/quad/quad_batcher.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/pictures.h"

namespace kesh::testing {
namespace {

constexpr D3DCOLOR kBackground = 0xFF102030;
constexpr D3DCOLOR kGrey = 0xFF808080;

class FlatGround : public GroundHeightSource {
public:
    float groundHeight(const float*) override { return 0.0f; }
};

class BillboardsAndDecalsTest : public QuadsTest {
protected:
    BillboardsAndDecalsTest() : QuadsTest(morvale_testing::DeviceKind::Gl, 320, 240) {}

    void SetUp() override {
        QuadsTest::SetUp();
        writeArt("texture/hi/grey.dds", solidDds(4, 4, kGrey));
        writeArt("texture/hi/white.dds", solidDds(4, 4, 0xFFFFFFFF));
        batcher = std::make_unique<QuadBatcher>(dx.get());
        decaler = std::make_unique<Decaler>(dx.get(), &ground);
        // 10 above the ground looking down: right is +x, up is +z.
        camera.setProjection(D3DX_PI / 2, 320.0f / 240.0f, 1.0f, 100.0f);
        camera.setTransform(D3DXMATRIX(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 10, 0, 1));
    }
    void TearDown() override {
        decaler.reset();
        batcher.reset();
        QuadsTest::TearDown();
    }

    FlatGround ground;
    std::unique_ptr<QuadBatcher> batcher;
    std::unique_ptr<Decaler> decaler;
    CameraView camera;
};

// A channel-by-channel comparison that allows for the blender's rounding.
::testing::AssertionResult near(D3DCOLOR actual, D3DCOLOR expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > 3) {
            return ::testing::AssertionFailure()
                   << std::hex << "0x" << actual << " is not near 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

// The pixel of a point at the billboards' height, 8 below the eye.
int billboardColumn(float x) {
    return static_cast<int>(160 + 15 * x);
}
int billboardRow(float z) {
    return static_cast<int>(120 - 15 * z);
}

TEST_F(BillboardsAndDecalsTest, BillboardsAndDecalsOverAGroundQuad) {
    ID3DXEffect* billboardEffect = theEffectCache->fetch(ResourceId("billboard.fx"));
    ID3DXEffect* decalEffect = theEffectCache->fetch(ResourceId("decal.fx"));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);

    // The ground: the unit square laid into x-z, 20 by 16, at y = 0.
    const D3DXMATRIX groundWorld(20, 0, 0, 0, 0, 0, 16, 0, 0, 1, 0, 0, 0, 0, 0, 1);
    batcher->addQuad("grey.dds", &groundWorld, 0xFFFFFFFF,
                     QuadDepthTest | QuadDepthWrite | QuadNoCull);
    batcher->render(camera, billboardEffect);

    // An opaque red diamond, and a half-transparent blue one turned into an upright square
    // from x 3 to 7 and z -6 to -2.
    const D3DXVECTOR3 redCentre(-5, 0, 0), blueCentre(5, 0, -4);
    decaler->addDecal("white.dds", &redCentre, 0.0f, 0xFFFF0000, 3.0f);
    decaler->addDecal("white.dds", &blueCentre, D3DX_PI / 4, 0x800000FF, 2.0f * std::sqrt(2.0f));
    decaler->render(camera, decalEffect);

    // 2 above the ground: an opaque green billboard, an additive blue one and a row of 66
    // yellow dots, 2 pixels wide every 4, beyond the ground's lower edge and over two chunks.
    batcher->clear();
    const float greenAt[3] = {5, 2, 4}, greenSize[2] = {4, 2};
    batcher->addBillboard("white.dds", greenAt, greenSize, 0xFF00FF00, QuadDepthTest | QuadNoCull);
    const float blueAt[3] = {-6, 2, 5}, blueSize[2] = {2, 2};
    batcher->addBillboard("white.dds", blueAt, blueSize, 0xFF0000FF,
                          QuadAdditive | QuadDepthTest | QuadNoCull);
    for (int i = 0; i < 66; ++i) {
        // Centred on the middle of pixel (30 + 4i, 228).
        const float at[3] = {(30 + 4 * i + 0.5f - 160) / 15.0f, 2, (120 - 228.5f) / 15.0f};
        const float size[2] = {2 / 15.0f, 2 / 15.0f};
        batcher->addBillboard("white.dds", at, size, 0xFFFFFF00, QuadNoCull);
    }
    batcher->render(camera, billboardEffect);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    const d3d9::BackBufferImage image = morvale_testing::keptPicture(
        device, std::string(MORVALE_PICTURES) + "/BillboardsAndDecalsOverAGroundQuad.png");
    ASSERT_EQ(image.width, 320u);
    auto at = [&image](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };

    // The ground from x -10 to 10 (pixels 40 to 280) and z -8 to 8 (rows 24 to 216).
    EXPECT_EQ(at(45, 30), kGrey & 0xFFFFFF);
    EXPECT_EQ(at(275, 210), kGrey & 0xFFFFFF);
    EXPECT_EQ(at(35, 120), kBackground & 0xFFFFFF);
    EXPECT_EQ(at(160, 220), kBackground & 0xFFFFFF);

    // The red diamond around (-5, 0): pixel (100, 120), its corners 36 pixels out; the
    // corner of its bounding square is ground.
    EXPECT_EQ(at(100, 120), 0xFF0000u);
    EXPECT_EQ(at(75, 120), 0xFF0000u);
    EXPECT_EQ(at(100, 145), 0xFF0000u);
    EXPECT_EQ(at(70, 90), kGrey & 0xFFFFFF);
    // The blue square, half over the grey: columns 196 to 244, rows 144 to 192.
    EXPECT_TRUE(near(at(220, 168), 0x4040BF));
    EXPECT_TRUE(near(at(199, 147), 0x4040BF));
    EXPECT_EQ(at(192, 168), kGrey & 0xFFFFFF);
    EXPECT_EQ(at(220, 196), kGrey & 0xFFFFFF);

    // The green billboard: 60 by 30 pixels around (235, 60).
    EXPECT_EQ(at(billboardColumn(5), billboardRow(4)), 0x00FF00u);
    EXPECT_EQ(at(208, 48), 0x00FF00u);
    EXPECT_EQ(at(262, 72), 0x00FF00u);
    EXPECT_EQ(at(235, 40), kGrey & 0xFFFFFF);
    EXPECT_EQ(at(270, 60), kGrey & 0xFFFFFF);
    // The additive one: blue added to the grey, 30 pixels square around (70, 45).
    EXPECT_TRUE(near(at(billboardColumn(-6), billboardRow(5)), 0x8080FF));
    EXPECT_TRUE(near(at(58, 33), 0x8080FF));

    // Dots 0, 63, 64 and 65: chunk one ends after dot 63.
    for (int i : {0, 31, 63, 64, 65}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(at(30 + 4 * i, 228), 0xFFFF00u);
        EXPECT_EQ(at(30 + 4 * i + 2, 228), kBackground & 0xFFFFFF);
    }
}

}  // namespace
}  // namespace kesh::testing
