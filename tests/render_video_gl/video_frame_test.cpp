// A video frame drawn through the OpenGL backend and read back: a 300 x 200 picture of four
// coloured quarters must fill the whole 320 x 240 back buffer the right way up, although
// it sits in the top-left corner of a 512 x 256 texture. The picture is kept as a PNG.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>

#include <string>

#include "engine/render/video/video.h"
#include "tests/render_video/video_fixture.h"
#include "tests/support/pictures.h"

namespace video_testing {
namespace {

constexpr D3DCOLOR kRed = 0xFFE02020, kGreen = 0xFF20C020, kBlue = 0xFF2040E0, kYellow = 0xFFF0E040;

class VideoFrameGlTest : public VideoTest {
protected:
    VideoFrameGlTest() : VideoTest(morvale_testing::DeviceKind::Gl, 320, 240) {}
};

TEST_F(VideoFrameGlTest, AFrameFillsTheScreenTheRightWayUp) {
    const Bytes frame = pngImage(
        300, 200,
        [](unsigned x, unsigned y) {
            return y < 100 ? (x < 150 ? kRed : kGreen) : (x < 150 ? kBlue : kYellow);
        },
        scratch());
    kesh::Video video(dx.get(), writeVideo("quarters.rs", rsFile({frame, frame})), L"", 40);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    video.draw();
    ASSERT_EQ(device->EndScene(), D3D_OK);

    const d3d9::BackBufferImage image =
        morvale_testing::keptPicture(device, std::string(MORVALE_PICTURES) + "/VideoFrame.png");
    ASSERT_EQ(image.width, 320u);
    auto at = [&image](UINT x, UINT y) { return image.pixel(x, y) | 0xFF000000u; };

    // Every quarter 160 x 120 pixels, right up to the edges of the screen.
    EXPECT_EQ(at(2, 2), kRed);
    EXPECT_EQ(at(155, 115), kRed);
    EXPECT_EQ(at(165, 2), kGreen);
    EXPECT_EQ(at(316, 115), kGreen);
    EXPECT_EQ(at(2, 125), kBlue);
    EXPECT_EQ(at(155, 237), kBlue);
    EXPECT_EQ(at(165, 125), kYellow);
    EXPECT_EQ(at(316, 237), kYellow);
}

}  // namespace
}  // namespace video_testing
