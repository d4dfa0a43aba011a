// Playing ".rs" videos against a clock the test drives: which frame is on show when, what the
// screen log says, what is drawn, and that damaged files play out without crashing.
#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <cstring>

#include "engine/render/video/video.h"
#include "tests/render_video/video_fixture.h"
#include "tests/support/allocation_counter.h"

namespace video_testing {
namespace {

using kesh::Video;

class VideoPlayTest : public VideoTest {
protected:
    // Draws the video at the given millisecond inside a scene.
    void drawAt(Video& video, LONGLONG ms) {
        now = ms;
        device->BeginScene();
        video.draw();
        device->EndScene();
    }
};

TEST_F(VideoPlayTest, AVideoWithoutFramesHasEndedAtOnceAndFetchesNothing) {
    Video video(dx.get(), writeVideo("none.rs", rsFile({})), L"", 40);
    EXPECT_FALSE(video.isPlaying());
    drawAt(video, 0);
    drawAt(video, 5000);
    EXPECT_FALSE(video.isPlaying());
    EXPECT_EQ(video.videoPlayer()->currentFrame(), -1);
    EXPECT_EQ(loadLines(), 0);
    EXPECT_TRUE(logged(screenLines(), "reANIMATOR: -1 NO finished"));
    // The screen-filling quad is drawn all the same, over no texture.
    ASSERT_FALSE(draws().empty());
    EXPECT_EQ(draws().back().state.textures[0], nullptr);
}

TEST_F(VideoPlayTest, AOneFrameVideoPlaysUntilItsFirstUpdate) {
    Video video(dx.get(), writeVideo("one.rs", rsFile(colouredFrames(1))), L"", 40);
    EXPECT_TRUE(video.isPlaying());
    drawAt(video, 0);
    EXPECT_FALSE(video.isPlaying());
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 0);
    EXPECT_TRUE(logged(screenLines(), "reANIMATOR: 0 OK finished"));
}

TEST_F(VideoPlayTest, TwentyFiveFramesAtFortyMillisecondsEndAt960) {
    Video video(dx.get(), writeVideo("25.rs", rsFile(colouredFrames(25))), L"", 40);
    const long probes = loadLines();  // the size query's
    drawAt(video, 0);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 0);
    drawAt(video, 39);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 0);
    EXPECT_EQ(loadLines(), probes + 1);  // a frame on show is not fetched again
    drawAt(video, 959);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 23);
    EXPECT_TRUE(video.isPlaying());
    EXPECT_TRUE(logged(screenLines(), "reANIMATOR: 23 OK playing"));
    drawAt(video, 960);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 24);
    EXPECT_FALSE(video.isPlaying());
    EXPECT_TRUE(logged(screenLines(), "reANIMATOR: 24 OK finished"));
    drawAt(video, 999);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 24);
    drawAt(video, 100000);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 24);
    EXPECT_FALSE(video.isPlaying());
    EXPECT_EQ(loadLines(), probes + 3);
}

TEST_F(VideoPlayTest, ASkippedFrameIsNeverFetchedAndOnlyOneTextureLives) {
    Video video(dx.get(), writeVideo("25.rs", rsFile(colouredFrames(25))), L"", 40);
    const int before = d3d9::liveObjects(d3d9::ObjectType::Texture);
    drawAt(video, 0);
    EXPECT_EQ(d3d9::liveObjects(d3d9::ObjectType::Texture), before + 1);
    morvale_testing::captureLog({"debug"});
    drawAt(video, 400);
    EXPECT_EQ(d3d9::liveObjects(d3d9::ObjectType::Texture), before + 1);
    EXPECT_EQ(loadLines(), 1);
    EXPECT_TRUE(logged(debugLines(), "  LOAD: 10 3 0x474e5089"));
}

TEST_F(VideoPlayTest, APeriodOfZeroCountsAsOneMillisecond) {
    Video video(dx.get(), writeVideo("25.rs", rsFile(colouredFrames(25))), L"", 0);
    drawAt(video, 3);
    EXPECT_EQ(video.videoPlayer()->currentFrame(), 3);
}

TEST_F(VideoPlayTest, TheQuadFillsClipSpaceWithTheImagePartOfItsTexture) {
    const Bytes frame = solidPng(300, 200, 0xFF336699, scratch());
    Video video(dx.get(), writeVideo("wide.rs", rsFile({frame, frame})), L"", 40);
    const kesh::QuadVertex* quad = video.videoPlayer()->corners();
    EXPECT_FLOAT_EQ(quad[3].u, 300.0f / 512.0f);
    EXPECT_FLOAT_EQ(quad[3].v, 200.0f / 256.0f);

    record().clear();
    drawAt(video, 0);
    ASSERT_FALSE(draws().empty());
    const d3d9::RecordedDraw& draw = draws().back();
    EXPECT_EQ(draw.kind, d3d9::DrawKind::UserPointer);
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.primitiveCount, 2u);
    EXPECT_EQ(draw.stride, 24u);
    EXPECT_EQ(draw.state.fvf, 0x142u);
    EXPECT_EQ(draw.state.textures[0], video.videoPlayer()->currentTexture());
    ASSERT_EQ(draw.vertexNumbers.size(), 4u);
    const float expected[4][5] = {{-1, 1, 0.5f, 0, 0},
                                  {-1, -1, 0.5f, 0, 200.0f / 256},
                                  {1, 1, 0.5f, 300.0f / 512, 0},
                                  {1, -1, 0.5f, 300.0f / 512, 200.0f / 256}};
    for (int i = 0; i < 4; ++i) {
        kesh::QuadVertex vertex;
        std::memcpy(&vertex, draw.vertex(i), sizeof vertex);
        const float got[5] = {vertex.x, vertex.y, vertex.z, vertex.u, vertex.v};
        for (int k = 0; k < 5; ++k) {
            EXPECT_FLOAT_EQ(got[k], expected[i][k]) << "vertex " << i << " field " << k;
        }
        EXPECT_EQ(vertex.colour, 0xFFFFFFFFu);
    }
}

TEST_F(VideoPlayTest, ALostDeviceDropsTheTextureOnShow) {
    Video video(dx.get(), writeVideo("25.rs", rsFile(colouredFrames(25))), L"", 40);
    drawAt(video, 0);
    ASSERT_NE(video.videoPlayer()->currentTexture(), nullptr);
    video.videoPlayer()->OnLostDevice();
    EXPECT_EQ(video.videoPlayer()->currentTexture(), nullptr);
    drawAt(video, 40);
    EXPECT_NE(video.videoPlayer()->currentTexture(), nullptr);
}

TEST_F(VideoPlayTest, DamagedFilesPlayOutWithoutCrashing) {
    const Bytes good = solidPng(8, 8, 0xFF00FF00, scratch());
    Bytes outside = rsFile({good, good});
    putU32(outside, 16, 0x7FFFFFFF);
    Bytes huge = rsFile({good});
    putU32(huge, 4, 0xFFFFFFFF);
    Bytes truncated = rsFile({good, good, good});
    truncated.resize(20);
    Bytes sizes = rsFile({Bytes(), good});
    int n = 0;
    for (const Bytes* bytes : {&outside, &huge, &truncated, &sizes}) {
        SCOPED_TRACE(n);
        now = 0;
        Video video(dx.get(), writeVideo("damaged" + std::to_string(n++) + ".rs", *bytes), L"", 40);
        for (LONGLONG ms : {0, 40, 80, 120, 100000}) {
            drawAt(video, ms);
        }
        EXPECT_FALSE(video.isPlaying())
            << video.videoPlayer()->currentFrame() << " of " << video.frameSequence()->frameCount();
    }
}

}  // namespace
}  // namespace video_testing

namespace video_testing {
namespace {

// With the on-screen log switched off (the game shows it only with its debug options), a
// frame that repeats the one on show takes nothing from the heap.
TEST_F(VideoPlayTest, ARepeatedFrameDrawsWithoutAllocating) {
    Video video(dx.get(), writeVideo("25.rs", rsFile(colouredFrames(25))), L"", 40);
    drawAt(video, 0);
    drawAt(video, 10);
    d3d9::setDrawRecording(false);  // the null device's records would count
    boost::log::logScreen()->setEnabled(false);
    allocation_counter::start();
    drawAt(video, 20);
    const std::size_t allocations = allocation_counter::stop();
    boost::log::logScreen()->setEnabled(true);
    d3d9::setDrawRecording(true);
    EXPECT_EQ(allocations, 0u);
}

}  // namespace
}  // namespace video_testing
