// Thirty minutes (five in a sanitized build) of simulated play drawn through the OpenGL backend
// with random input: the checks of the null device, with frames of a tenth of a second so that
// the run stays within a few minutes. The last frame is kept as a picture in
// build/tests/play_soak_gl_pictures/.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "d3d9/drawing.h"
#include "tests/play_soak/soak_expectations.h"
#include "tests/play_soak/soak_fixture.h"
#include "tests/support/pictures.h"

namespace {

class PlaySoakGl : public soak::PlaySoak {
protected:
    PlaySoakGl() : PlaySoak(morvale_testing::DeviceKind::Gl, 320, 240) {}
};

TEST_F(PlaySoakGl, RandomPlayThroughSeveralRuns) {
    soak::InputPlan plan;
    plan.seed = soak::kSeed;
    plan.seconds = soak::kSoakSeconds;
    plan.frameSeconds = soak::kLongFrameSeconds;
    std::printf("soak seed %u, %.4f s a frame\n", plan.seed, plan.frameSeconds);
    const soak::SoakResult result = soak(plan, 30.0);
    soak::expectHealthyRun(result, plan, true, soak::kGlMemorySlackKilobytes);

    // The backend still draws after the run: the town or a screen over it, not a blank.
    const d3d9::BackBufferImage image =
        morvale_testing::keptPicture(device, std::string(MORVALE_PICTURES) + "/last_frame.png");
    ASSERT_GT(image.width, 0u);
    int lit = 0;
    for (UINT y = 0; y < image.height; ++y) {
        for (UINT x = 0; x < image.width; ++x) {
            lit += (image.pixel(x, y) & 0xFFFFFF) != 0x202020 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, static_cast<int>(image.width * image.height / 2));
}

}  // namespace
