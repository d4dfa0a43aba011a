// A null device and one texture under test, loaded as the game and the video player load
// theirs, released at the end, with read-backs of its levels.
#pragma once

#include "tests/d3d9/d3d9_fixture.h"
#include "tests/d3dx9_texture/image_files.h"
#include "tests/support/texture_under_test.h"

namespace texture_test {

class TextureTest : public morvale_testing::TextureUnderTest<d3d9::testing::DeviceTest> {
protected:
    void TearDown() override {
        if (texture != nullptr) {
            EXPECT_EQ(texture->Release(), 0u);
        }
        DeviceTest::TearDown();
    }
};

}  // namespace texture_test
