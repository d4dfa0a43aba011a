// The shared test helpers that several test programs lean on.
#include <gtest/gtest.h>

#include "engine/core/log.h"
#include "engine/render/log_lines.h"
#include "tests/support/log_capture.h"
#include "tests/support/pictures.h"

namespace {

TEST(LogCaptureTest, FixturesCapturingOtherChannelsShareOneProgram) {
    morvale_testing::captureLog({"video"});
    morvale_testing::captureLog({"resource", "video"});
    kesh::writeLine(boost::log::logVideo(), "mode set");
    kesh::writeLine(boost::log::logResource(), "texture missing");
    EXPECT_EQ(morvale_testing::linesOf("video"), std::vector<std::string>{"mode set"});
    EXPECT_TRUE(morvale_testing::logged("resource", "texture missing"));
    EXPECT_TRUE(morvale_testing::loggedContaining("resource", "missing"));
    morvale_testing::captureLog({"video"});
    EXPECT_TRUE(morvale_testing::loggedLines().empty());
}

TEST(PicturesTest, TheBoxCoversEveryPixelUnlikeTheBackgroundInRgbOnly) {
    d3d9::BackBufferImage image;
    image.width = 4;
    image.height = 3;
    image.rgba.assign(4 * 3 * 4, 0);  // black, alpha 0: the background whatever its alpha
    const auto paint = [&image](int x, int y) { image.rgba[(y * 4 + x) * 4] = 0xFF; };
    EXPECT_TRUE(morvale_testing::boxOfPixelsUnlike(image, 0xFF000000).empty());
    paint(1, 0);
    paint(2, 1);
    const morvale_testing::PixelBox box = morvale_testing::boxOfPixelsUnlike(image, 0xFF000000);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(box.bottom, 2);
}

}  // namespace
