// Direct3D's conventions on the drawing backend: where pixels land, which way is up,
// which faces are culled, the depth range and the colour order.
#include "gl_fixture.h"

namespace d3d9::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

using Conventions = GlDeviceTest;

TEST_F(Conventions, QuadAtPixelEdgesCoversThePixelsDirect3DCovers) {
    useDiffuse();
    // Direct3D samples pixel (i, j) at (i, j): edges at 9.5 and 19.5 take in the pixels
    // 10..19, where GL's own centres would give 9..18.
    drawQuad(9.5f, 4.5f, 19.5f, 14.5f, kRed);
    const BackBufferImage image = picture();
    for (UINT x : {10u, 15u, 19u}) {
        EXPECT_EQ(image.pixel(x, 5), kRed) << x;
        EXPECT_EQ(image.pixel(x, 14), kRed) << x;
    }
    EXPECT_EQ(image.pixel(9, 10), kBlack);
    EXPECT_EQ(image.pixel(20, 10), kBlack);
    EXPECT_EQ(image.pixel(15, 4), kBlack);
    EXPECT_EQ(image.pixel(15, 15), kBlack);
}

TEST_F(Conventions, TopOfClipSpaceIsRowZeroOfTheBackBuffer) {
    useDiffuse();
    drawQuad(-0.5f, -0.5f, kWidth - 0.5f, 7.5f, kGreen);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(30, 0), kGreen);
    EXPECT_EQ(image.pixel(30, 7), kGreen);
    EXPECT_EQ(image.pixel(30, 8), kBlack);
    EXPECT_EQ(image.pixel(30, kHeight - 1), kBlack);
}

TEST_F(Conventions, CentresOnEdgesFollowTheTopLeftRule) {
    useDiffuse();
    // Edges through pixel centres: the left and top ones take their pixels, the right and
    // bottom ones do not, so 10..19 x 5..14 and nothing more.
    drawQuad(10, 5, 20, 15, kRed);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(10, 5), kRed);
    EXPECT_EQ(image.pixel(19, 14), kRed);
    EXPECT_EQ(image.pixel(9, 10), kBlack);
    EXPECT_EQ(image.pixel(20, 10), kBlack);
    EXPECT_EQ(image.pixel(15, 4), kBlack);
    EXPECT_EQ(image.pixel(15, 15), kBlack);
}

TEST_F(Conventions, TextureFirstRowIsVZeroAndTexelsAreArgb) {
    IDirect3DTexture9* texture = makeTexture(2, 2, D3DFMT_A8R8G8B8, {kRed, kGreen, kBlue, kWhite});
    ASSERT_NE(texture, nullptr);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    drawTexturedQuad(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f);
    device->SetTexture(0, nullptr);
    texture->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(2, 2), kRed);
    EXPECT_EQ(image.pixel(kWidth - 3, 2), kGreen);
    EXPECT_EQ(image.pixel(2, kHeight - 3), kBlue);
    EXPECT_EQ(image.pixel(kWidth - 3, kHeight - 3), kWhite);
}

TEST_F(Conventions, VertexColoursAreArgb) {
    useDiffuse();
    drawQuad(0, 0, 10, 10, 0xFF102030);
    EXPECT_EQ(picture().pixel(5, 5), 0xFF102030u);
}

TEST_F(Conventions, ClockwiseTrianglesAreFrontFaces) {
    useDiffuse();
    device->SetFVF(kColourFvf);
    // On screen (y down): the first turns clockwise, the second counter-clockwise.
    const ColourVertex clockwise[3] = {{clipX(2), clipY(2), 0.5f, kRed},
                                       {clipX(20), clipY(2), 0.5f, kRed},
                                       {clipX(2), clipY(20), 0.5f, kRed}};
    const ColourVertex counter[3] = {{clipX(40), clipY(2), 0.5f, kGreen},
                                     {clipX(40), clipY(20), 0.5f, kGreen},
                                     {clipX(58), clipY(2), 0.5f, kGreen}};
    auto drawBoth = [&] {
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(ColourVertex));
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(ColourVertex));
    };
    // The default (CCW) removes the counter-clockwise one.
    drawBoth();
    BackBufferImage image;
    ASSERT_TRUE(readBackBuffer(device, image));
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(43, 5), kBlack);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    drawBoth();
    ASSERT_TRUE(readBackBuffer(device, image));
    EXPECT_EQ(image.pixel(5, 5), kBlack);
    EXPECT_EQ(image.pixel(43, 5), kGreen);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    drawBoth();
    image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(43, 5), kGreen);
}

TEST_F(Conventions, ClipDepthRunsFromZeroToOne) {
    useDiffuse();
    // Outside 0..1 is clipped; inside, the nearer quad wins under LESSEQUAL.
    drawQuad(0, 0, 10, 10, kRed, -0.1f);
    drawQuad(10, 0, 20, 10, kRed, 1.1f);
    drawQuad(20, 0, 30, 10, kGreen, 0.02f);
    drawQuad(30, 0, 40, 10, kGreen, 0.98f);
    drawQuad(40, 0, 50, 10, kGreen, 0.25f);
    drawQuad(40, 0, 50, 10, kRed, 0.75f);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kBlack);
    EXPECT_EQ(image.pixel(15, 5), kBlack);
    EXPECT_EQ(image.pixel(25, 5), kGreen);
    EXPECT_EQ(image.pixel(35, 5), kGreen);
    EXPECT_EQ(image.pixel(45, 5), kGreen);
}

TEST_F(Conventions, DepthClearValueIsDirect3DDepth) {
    useDiffuse();
    // Cleared to 0.5: a quad at 0.6 fails LESSEQUAL, one at 0.4 passes.
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
    drawQuad(0, 0, 10, 10, kRed, 0.6f);
    drawQuad(10, 0, 20, 10, kGreen, 0.4f);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kBlack);
    EXPECT_EQ(image.pixel(15, 5), kGreen);
}

TEST_F(Conventions, ViewportIsMeasuredFromTheTop) {
    useDiffuse();
    const D3DVIEWPORT9 viewport{0, 0, 32, 24, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    // Full-viewport clear and a quad over the whole clip square both stay inside it.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    const ColourVertex quad[4] = {
        {-1, 1, 0.5f, kRed}, {0, 1, 0.5f, kRed}, {-1, 0, 0.5f, kRed}, {0, 0, 0.5f, kRed}};
    device->SetFVF(kColourFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColourVertex));
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(2, 2), kRed);
    EXPECT_EQ(image.pixel(20, 2), kBlue);
    EXPECT_EQ(image.pixel(2, 20), kBlue);
    EXPECT_EQ(image.pixel(40, 2), kBlack);
    EXPECT_EQ(image.pixel(2, 30), kBlack);
}

}  // namespace
}  // namespace d3d9::testing
