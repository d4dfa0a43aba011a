#include "tests/support/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace morvale_testing {

PixelBox boxOfPixelsUnlike(const d3d9::BackBufferImage& image, D3DCOLOR background) {
    PixelBox box{static_cast<int>(image.width), static_cast<int>(image.height), 0, 0};
    for (UINT y = 0; y < image.height; ++y) {
        for (UINT x = 0; x < image.width; ++x) {
            if (rgb(image.pixel(x, y)) == rgb(background)) {
                continue;
            }
            box.left = std::min(box.left, static_cast<int>(x));
            box.top = std::min(box.top, static_cast<int>(y));
            box.right = std::max(box.right, static_cast<int>(x) + 1);
            box.bottom = std::max(box.bottom, static_cast<int>(y) + 1);
        }
    }
    return box;
}

d3d9::BackBufferImage keptPicture(IDirect3DDevice9* device, const std::string& pngPath) {
    d3d9::BackBufferImage image;
    EXPECT_TRUE(d3d9::readBackBuffer(device, image));
    if (image.width != 0) {
        EXPECT_TRUE(d3d9::writePng(image, pngPath)) << pngPath;
    }
    return image;
}

std::string pictureName(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name() + suffix + ".png";
}

}  // namespace morvale_testing
