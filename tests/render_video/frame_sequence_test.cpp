// The frames of ".rs" files, sound and damaged: what is counted, measured, decoded and logged.
#include <gtest/gtest.h>

#include <limits>

#include "engine/render/video/frame_sequence.h"
#include "tests/render_video/video_fixture.h"

namespace video_testing {
namespace {

using kesh::FrameSequence;

class FrameSequenceTest : public VideoTest {};

TEST_F(FrameSequenceTest, FramesAreLoggedMeasuredOnceAndDecodedAtPowerOfTwoSizes) {
    const Bytes wide = solidPng(300, 200, 0xFF336699, scratch());
    const Bytes small = solidPng(4, 4, 0xFFFFFFFF, scratch());
    const std::wstring path = writeVideo("two.rs", rsFile({wide, small}));
    FrameSequence frames(dx.get(), path);
    ASSERT_EQ(frames.frameCount(), 2u);
    // The offset in the file, the PNG signature's first four bytes and the size.
    EXPECT_TRUE(logged(debugLines(), "0: 0x18 ( 0x474e5089), l: " + std::to_string(wide.size())));
    EXPECT_TRUE(logged(
        debugLines(), "1: 0x" +
                          [&] {
                              char text[16];
                              std::snprintf(text, sizeof text, "%zx", 24 + wide.size());
                              return std::string(text);
                          }() +
                          " ( 0x474e5089), l: " + std::to_string(small.size())));

    std::uint32_t width = 0, height = 0;
    frames.frameSize(width, height);
    frames.frameSize(width, height);
    EXPECT_EQ(width, 300u);
    EXPECT_EQ(height, 200u);
    EXPECT_EQ(loadLines(), 1);
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 0 3 0x474e5089"));

    const win32::ComPtr<IDirect3DTexture9> texture = frames.frame(0);
    ASSERT_TRUE(texture);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
}

TEST_F(FrameSequenceTest, FilesWithoutFramesMeasure320By240WithoutLoading) {
    Bytes empty = rsFile({});
    const Bytes seven(empty.begin(), empty.begin() + 7);
    for (const std::wstring& path :
         {writeVideo("none.rs", empty), writeVideo("short.rs", seven),
          writeVideo("empty.rs", Bytes()), kesh::toWide(artRoot() + "video/missing.rs")}) {
        SCOPED_TRACE(kesh::toNarrow(path));
        FrameSequence frames(dx.get(), path);
        EXPECT_EQ(frames.frameCount(), 0u);
        std::uint32_t width = 0, height = 0;
        frames.frameSize(width, height);
        EXPECT_EQ(width, 320u);
        EXPECT_EQ(height, 240u);
        EXPECT_FALSE(frames.frame(0));
    }
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 0 ? 0x?"));
}

TEST_F(FrameSequenceTest, AFrameOutsideTheDataHasNoTextureAndQuestionMarks) {
    const Bytes good = solidPng(8, 8, 0xFF00FF00, scratch());
    Bytes bytes = rsFile({good, good, good});
    // Frame 1 starts beyond the end; frame 2 runs past it by one byte; the sum of offset
    // and size of frame 0 would wrap 32 bits.
    const std::uint32_t data = static_cast<std::uint32_t>(bytes.size() - 8 - 24);
    putU32(bytes, 16, data + 1);
    putU32(bytes, 28, static_cast<std::uint32_t>(good.size()) + 1);
    putU32(bytes, 8, 0xFFFFFFF0u);
    putU32(bytes, 12, 0x20);
    FrameSequence frames(dx.get(), writeVideo("outside.rs", bytes));
    ASSERT_EQ(frames.frameCount(), 3u);
    EXPECT_TRUE(logged(debugLines(), "0: ? ( 0x?), l: 32"));
    EXPECT_TRUE(logged(debugLines(), "1: ? ( 0x?), l: " + std::to_string(good.size())));
    EXPECT_TRUE(logged(debugLines(), "2: ? ( 0x?), l: " + std::to_string(good.size() + 1)));
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(frames.frame(i)) << i;
        EXPECT_TRUE(logged(debugLines(), "  LOAD: " + std::to_string(i) + " ? 0x?"));
    }
    std::uint32_t width = 0, height = 0;
    frames.frameSize(width, height);
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
}

TEST_F(FrameSequenceTest, ATableLongerThanTheFileCountsOnlyTheEntriesInside) {
    const Bytes good = solidPng(8, 8, 0xFF00FF00, scratch());
    Bytes bytes = rsFile({good});
    putU32(bytes, 4, 5);  // the table now covers the frame's own bytes
    const std::uint32_t entries = static_cast<std::uint32_t>((bytes.size() - 8) / 8);
    FrameSequence cut(dx.get(), writeVideo("cut.rs", bytes));
    EXPECT_EQ(cut.frameCount(), 5u < entries ? 5u : entries);

    putU32(bytes, 4, std::numeric_limits<std::uint32_t>::max());
    FrameSequence huge(dx.get(), writeVideo("huge.rs", bytes));
    EXPECT_EQ(huge.frameCount(), entries);
    EXPECT_TRUE(logged(debugLines(), std::to_string(entries) + ": ? ( 0x?), l: ?"));
    // The claimed table runs past the end of the file: so does every frame.
    for (std::uint32_t i = 0; i < huge.frameCount(); ++i) {
        EXPECT_FALSE(huge.frame(i)) << i;
    }
    EXPECT_FALSE(huge.frame(entries));
    EXPECT_FALSE(huge.frame(std::numeric_limits<std::uint32_t>::max()));

    // Eight bytes exactly: a count, but no table.
    FrameSequence bare(dx.get(), writeVideo("bare.rs", Bytes(bytes.begin(), bytes.begin() + 8)));
    EXPECT_EQ(bare.frameCount(), 0u);
}

TEST_F(FrameSequenceTest, ShortAndUndecodableFramesAreLoggedWithTheErrorName) {
    const Bytes two = {0x89, 'P'};
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7, 8};
    FrameSequence frames(dx.get(), writeVideo("junk.rs", rsFile({Bytes(), two, junk})));
    ASSERT_EQ(frames.frameCount(), 3u);
    EXPECT_TRUE(logged(debugLines(), "0: 0x20 ( 0x?), l: 0"));
    EXPECT_TRUE(logged(debugLines(), "1: 0x20 ( 0x?), l: 2"));
    EXPECT_TRUE(logged(debugLines(), "2: 0x22 ( 0x4030201), l: 8"));
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(frames.frame(i)) << i;
    }
    // The image information is zeroed before decoding: a failure reports format 0.
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 0 0 0x?"));
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 1 0 0x?"));
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 2 0 0x4030201"));
    EXPECT_TRUE(logged(debugLines(), "D3DXERR_INVALIDDATA"));
}

}  // namespace
}  // namespace video_testing
