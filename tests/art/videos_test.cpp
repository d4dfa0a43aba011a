// The generated videos through the game's frame sequence: every frame decodes, all at the
// size of the first, and at the video stage's period they last a few seconds.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/strings.h"
#include "engine/render/video/frame_sequence.h"
#include "engine/render/video/video.h"
#include "game/app/stages/video_stage.h"
#include "tests/art/art_log.h"
#include "tests/art/generated_art.h"

namespace {

using namespace art_testing;

class VideoArtTest : public GeneratedArtTest {};

TEST_F(VideoArtTest, EveryFrameDecodesAtOneSizeForAFewSeconds) {
    for (const char* file : {"video/video01.rs", "video/video02.rs"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(exists(file));
        kesh::FrameSequence frames(dx.get(), kesh::toWide(artRoot() + file));
        const double seconds = frames.frameCount() * VideoStage::kFramePeriodMs / 1000.0;
        EXPECT_GE(seconds, 2.0);
        EXPECT_LE(seconds, 15.0);
        std::uint32_t width = 0, height = 0;
        frames.frameSize(width, height);
        // Measured from frame 0; the fallback size means it could not be.
        EXPECT_GE(width, 320u);
        EXPECT_NEAR(static_cast<double>(width) / height, 4.0 / 3.0, 0.01);
        D3DSURFACE_DESC first{};
        for (std::uint32_t i = 0; i < frames.frameCount(); ++i) {
            const win32::ComPtr<IDirect3DTexture9> frame = frames.frame(i);
            ASSERT_TRUE(frame) << "frame " << i << " does not decode";
            D3DSURFACE_DESC desc{};
            ASSERT_EQ(frame->GetLevelDesc(0, &desc), D3D_OK);
            if (i == 0) {
                first = desc;
            }
            EXPECT_EQ(desc.Width, first.Width) << "frame " << i;
            EXPECT_EQ(desc.Height, first.Height) << "frame " << i;
        }
    }
}

TEST_F(VideoArtTest, TheVideoStageShowsTheFirstFrameWithoutAComplaint) {
    for (const char* file : {"video/video01.rs", "video/video02.rs"}) {
        captureComplaints();
        VideoStage stage(dx.get(), kesh::toWide(artRoot() + file), StageId::SecondVideo);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        stage.update();
        ASSERT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(stage.nextStage(), StageId::None) << file << " ended at its first frame";
        EXPECT_EQ(describeComplaints(), "") << file;
    }
}

}  // namespace
