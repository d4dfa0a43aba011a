#include <limits>

#include "game/audio/performance.h"
#include "game/audio/volume_curve.h"
#include "tests/audio_support/audio_fixture.h"

using audio_testing::AudioTest;
using dmusic_test::Call;
using dmusic_test::events;

TEST(VolumeCurve, PublishedPointsOfTheCurve) {
    EXPECT_EQ(volumeToMillibels(1.0f), 0);
    EXPECT_EQ(volumeToMillibels(0.7f), -1120);
    EXPECT_EQ(volumeToMillibels(0.5f), -2062);
    EXPECT_EQ(volumeToMillibels(0.125f), -5000);
    EXPECT_EQ(volumeToMillibels(0.0f), -10000);
}

TEST(VolumeCurve, OutOfRangeAndNanAreClamped) {
    EXPECT_EQ(volumeToMillibels(-0.5f), -10000);
    EXPECT_EQ(volumeToMillibels(1.5f), 0);
    EXPECT_EQ(volumeToMillibels(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(volumeToMillibels(-std::numeric_limits<float>::infinity()), -10000);
    EXPECT_EQ(volumeToMillibels(std::numeric_limits<float>::quiet_NaN()), -10000);
}

typedef AudioTest Performance;

TEST_F(Performance, VolumesGoThroughTheCurveAndKeepTheLinearValue) {
    CPerformance performance(nullptr);
    // Built at full volume.
    EXPECT_EQ(events(Call::SetMasterVolume).at(0).millibels, 0);
    EXPECT_EQ(events(Call::SetPathVolume).at(0).millibels, 0);
    dmusic_test::clearEvents();
    performance.setMasterVolume(0.0f);
    performance.setMasterVolume(1.0f);
    performance.setDefaultPathVolume(0.5f);
    const auto master = events(Call::SetMasterVolume);
    ASSERT_EQ(master.size(), 2u);
    EXPECT_EQ(master[0].millibels, -10000);
    EXPECT_EQ(master[1].millibels, 0);
    const auto path = events(Call::SetPathVolume);
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].millibels, -2062);
    EXPECT_EQ(performance.getMasterVolume(), 1.0f);
    EXPECT_EQ(performance.getPathVolume(), 0.5f);
}

TEST_F(Performance, PitchBendSendsOneMidiMessageWithSevenBitHalves) {
    CPerformance performance(nullptr);
    struct Case {
        float pitch;
        BYTE low;
        BYTE high;
    };
    const Case cases[] = {{0.0f, 0x00, 0x40},
                          {-1.0f, 0x00, 0x00},
                          {-3.0f, 0x00, 0x00},
                          {1.0f, 0x7F, 0x7F},
                          {2.0f, 0x7F, 0x7F},
                          {0.5f, 0x00, 0x60},
                          {std::numeric_limits<float>::quiet_NaN(), 0x00, 0x40}};
    for (const Case& c : cases) {
        dmusic_test::clearEvents();
        performance.setPitchBend(c.pitch);
        const auto sent = events(Call::SendPMsg);
        ASSERT_EQ(sent.size(), 1u) << c.pitch;
        EXPECT_EQ(sent[0].result, S_OK);
        EXPECT_EQ(sent[0].status, 0xE0);
        EXPECT_EQ(sent[0].data1, c.low) << c.pitch;
        EXPECT_EQ(sent[0].data2, c.high) << c.pitch;
    }
}
