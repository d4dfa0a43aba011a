// The art writers' files read back through the program's own readers: textures through
// D3DX, sounds through the music loader, videos frame by frame.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cstring>

#include "engine/core/resource/resource_id.h"
#include "game/audio/music_segment_cache.h"
#include "tests/support/services_fixture.h"
#include "tests/support/texture_under_test.h"
#include "tools/artlib/atlas_writer.h"
#include "tools/artlib/dds_writer.h"
#include "tools/artlib/png_writer.h"
#include "tools/artlib/tga_writer.h"
#include "tools/artlib/video_writer.h"
#include "tools/artlib/wav_writer.h"

namespace {

using artlib::Argb;
using artlib::Bytes;
using artlib::Image;

Image pattern(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.at(x, y) = artlib::argb(255 - x * 8, x * 16, y * 16, (x * y) & 0xff);
        }
    }
    return image;
}

class WritersTest : public morvale_testing::TextureUnderTest<morvale_testing::ServicesTest> {
protected:
    void TearDown() override {
        release();
        ServicesTest::TearDown();
    }
};

TEST_F(WritersTest, ArgbDdsKeepsEveryPixelAndTheWholeMipChain) {
    const Image image = pattern(16, 4);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(artlib::ddsBytes(image, artlib::DdsFormat::Argb8), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.MipLevels, 5u);  // 16x4, 8x2, 4x1, 2x1, 1x1
    ASSERT_EQ(texture->GetLevelCount(), 5u);
    EXPECT_EQ(desc(2).Width, 4u);
    EXPECT_EQ(desc(2).Height, 1u);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(pixel(0, x, y), image.at(x, y)) << x << "," << y;
        }
    }
    // The second level averages 2 x 2 blocks.
    const Image half = artlib::mipChain(image)[1];
    EXPECT_EQ(pixel(1, 3, 1), half.at(3, 1));
}

TEST_F(WritersTest, DxtDdsLoadsAsItsBlockFormatWithEveryLevel) {
    Image image(8, 8, artlib::argb(255, 200, 40, 40));
    for (int x = 0; x < 8; ++x) {
        image.at(x, 7) = artlib::argb(0, 20, 200, 20);
    }
    struct Case {
        artlib::DdsFormat format;
        D3DFORMAT expected;
    };
    for (const Case c :
         {Case{artlib::DdsFormat::Dxt1, D3DFMT_DXT1}, Case{artlib::DdsFormat::Dxt5, D3DFMT_DXT5}}) {
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(load(artlib::ddsBytes(image, c.format), &info), D3D_OK);
        EXPECT_EQ(info.Format, c.expected);
        EXPECT_EQ(info.MipLevels, 4u);
        // Loaded as stored: the pitch of a row of blocks tells the block size.
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(locked.Pitch, c.format == artlib::DdsFormat::Dxt1 ? 16 : 32);
        texture->UnlockRect(0);
    }
}

TEST_F(WritersTest, DxtBlocksDecodeToTheirColours) {
    // Asking for A8R8G8B8 makes the loader decode the blocks.
    Image image(4, 4, artlib::argb(255, 255, 0, 0));
    image.at(0, 0) = artlib::argb(0, 255, 0, 0);
    const Bytes data = artlib::ddsBytes(image, artlib::DdsFormat::Dxt5);
    release();
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                  nullptr, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(pixel(0, 2, 2), artlib::argb(255, 255, 0, 0));
    EXPECT_EQ(artlib::alphaOf(pixel(0, 0, 0)), 0u);
}

TEST_F(WritersTest, TgaKeepsPixelsAlphaAndOrientation) {
    const Image image = pattern(5, 3);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(loadFrame(artlib::tgaBytes(image), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    EXPECT_EQ(info.Width, 5u);
    EXPECT_EQ(info.Height, 3u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(pixel(0, x, y), image.at(x, y)) << x << "," << y;
        }
    }
}

TEST_F(WritersTest, VideoFramesAreFoundThroughTheTable) {
    std::vector<Bytes> frames;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(artlib::pngBytes(Image(6, 4, artlib::argb(255, 40 * i, 0, 0))));
    }
    const Bytes video = artlib::videoBytes(frames);
    auto word = [&](std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, video.data() + at, 4);
        return value;
    };
    ASSERT_EQ(word(4), 3u);
    const std::size_t dataStart = 8 + 8 * 3;
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::size_t at = dataStart + word(8 + 8 * i);
        const Bytes frame(video.begin() + at, video.begin() + at + word(12 + 8 * i));
        EXPECT_EQ(frame, frames[i]);
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(loadFrame(frame, &info), D3D_OK);
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
        EXPECT_EQ(info.Width, 6u);
        EXPECT_EQ(artlib::redOf(pixel(0, 1, 1)), 40u * i);
    }
    EXPECT_EQ(dataStart + word(8 + 16) + word(12 + 16), video.size());
}

TEST_F(WritersTest, WavLoadsThroughTheMusicLoader) {
    artlib::Sound sound;
    sound.samples.assign(2205, 0.25f);
    sound.samples[0] = 3.0f;  // clipped, not wrapped
    const Bytes data = artlib::wavBytes(sound);
    std::int16_t first = 0;
    std::memcpy(&first, data.data() + 44, 2);
    EXPECT_EQ(first, 32767);
    writeArt("audio/probe.wav", data);
    EXPECT_NE(kesh::theMusicCache->fetch(kesh::ResourceId("probe.wav")), nullptr);
    kesh::theMusicCache->release(kesh::ResourceId("probe.wav"));
}

TEST(AtlasWriterTest, WritesOneTerminatedLinePerImage) {
    const std::string text =
        artlib::atlasText({{"start_w", "gui/buttons", 0.0f, 0.5f, 0.25f, 0.125f},
                           {"0", "gui/hud", 0.75f, 0, 0.0625f, 0.0625f}},
                          "menu art");
    EXPECT_EQ(text,
              "# menu art\n"
              "start_w gui/buttons 0 0.5 0.25 0.125\n"
              "0 gui/hud 0.75 0 0.0625 0.0625\n");
}

TEST(AtlasWriterTest, RefusesNamesTheReaderWouldMisread) {
    EXPECT_THROW(artlib::atlasText({{"two words", "gui/a", 0, 0, 1, 1}}), std::invalid_argument);
    EXPECT_THROW(artlib::atlasText({{"#comment", "gui/a", 0, 0, 1, 1}}), std::invalid_argument);
    EXPECT_THROW(artlib::atlasText({{"name", "", 0, 0, 1, 1}}), std::invalid_argument);
}

}  // namespace
