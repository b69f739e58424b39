// The measurement's analysis on recordings made up here: a stretch of the
// track is found where it lies in a quieter recording of it; a sample's heard
// time comes out of reads that arrived late by any amount, as long as their
// latency says so; silence that the server inserted is counted; and the cut
// is the largest change of the screen's centre near where it is due.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/avsync/noise.h"
#include "tools/audio/pcm.h"
#include "tools/avsync/alignment.h"
#include "tools/avsync/recording.h"
#include "tools/avsync/screen_log.h"

namespace {

TEST(Alignment, FindsTheTracksStretchInAQuieterDelayedRecordingToTheFrame)
{
    const std::vector<float> track = Noise(PCM_RATE * 2, 12345);
    const std::int64_t delay = 13230;  // 300 ms of silence before the sound
    std::vector<float> recording(delay, 0.0f);
    for (const float sample : track)
        recording.push_back(0.25f * sample);

    const Match match = FindInRecording(track, 22050, 4410, recording, delay + 22050 + 700, 1000);
    EXPECT_EQ(match.frame, delay + 22050) << "found 700 frames from the guess";
    EXPECT_NEAR(match.correlation, 1.0, 1e-6);
    EXPECT_LT(FindInRecording(track, 22050, 4410, recording, delay + 22050 + 2000, 1000).correlation, 0.1)
        << "out of reach, nothing matches";
    EXPECT_EQ(FindInRecording(track, PCM_RATE * 2 - 100, 4410, recording, delay, 1000).frame, -1)
        << "a stretch past the track's end";
    const std::int64_t first = FirstSound(recording, 0, 0.01f);
    EXPECT_GE(first, delay);
    EXPECT_LT(first, delay + 10) << "a sample or two of the noise may be quieter than the level";
}

TEST(Alignment, CountsTheRunsOfSilenceTheServerPutInWhereTheyAreLongEnough)
{
    std::vector<float> recording(PCM_RATE, 0.5f);
    const std::vector<std::pair<std::size_t, std::size_t>> runs = {{1000, 441}, {20000, 44}, {30000, 882}};
    for (const auto& [from, length] : runs)
        std::fill(recording.begin() + from, recording.begin() + from + length, 0.0f);
    const Gaps gaps = SilentGaps(recording, 0, PCM_RATE, 88);
    EXPECT_EQ(gaps.count, 2) << "the millisecond run is shorter than two";
    EXPECT_NEAR(gaps.totalMs, 30.0, 0.01);
    EXPECT_EQ(SilentGaps(recording, 1500, PCM_RATE, 88).count, 1) << "only what lies within the range";
}

TEST(HeardTime, ComesFromReadsThatArrivedLateAsTheirLatencyTellsAndIgnoresUnsettledOnes)
{
    // Frame n is heard at HEARD_AT + n / rate; the monitor has it 2 ms before,
    // and each read arrives a little later than that, its latency the less.
    constexpr double HEARD_AT = 5e9;
    constexpr double SINK_NS = 2e6;
    Recording recording;
    const double lateness[] = {0, 300e3, 1.1e6, 50e3, 0, 700e3};
    for (int k = 0; k < 6; ++k) {
        const std::int64_t frames = 44100 + 441 * k;
        const double arrived = HEARD_AT + frames * 1e9 / PCM_RATE - SINK_NS + lateness[k];
        const auto latencyUs = static_cast<std::int64_t>(-(SINK_NS - lateness[k]) / 1e3);
        recording.reads.push_back({static_cast<std::int64_t>(arrived), frames, latencyUs});
    }
    recording.reads.push_back({static_cast<std::int64_t>(HEARD_AT), 44100 + 2000, 540000});  // not settled

    const HeardTime heard = HeardAt(recording, 44000);
    EXPECT_NEAR(heard.nanoseconds, HEARD_AT + 44000 * 1e9 / PCM_RATE, 2e3);
    EXPECT_LT(heard.spreadMs, 0.01);
    EXPECT_EQ(HeardAt(recording, 60000).nanoseconds, 0) << "no read after the frame";
}

// Colours of every block of the strip: base everywhere, block 0 as given.
BlockColours Colours(double base, double red, double green, double blue)
{
    BlockColours colours;
    colours.fill(base);
    colours[0] = red;
    colours[1] = green;
    colours[2] = blue;
    return colours;
}

TEST(ScreenLog, TheCutIsTheLargestChangeNearItsSoundAndTheStartTheFirstColourOutOfTheBlack)
{
    std::vector<ScreenChange> changes;
    AddScreenChange(0, Colours(0, 0, 0, 0), &changes);
    AddScreenChange(1e6, Colours(0, 1, 1, 1), &changes);  // black as the GL clears it: not yet the show
    for (int frame = 0; frame < 20; ++frame)                // a scene, a little different in every frame
        AddScreenChange(2e6 + frame * 7e6, Colours(40, 120 + 2 * frame, 80, 60), &changes);
    const double cutNs = changes.back().nanoseconds + 7e6;
    for (int frame = 0; frame < 20; ++frame)  // the next one
        AddScreenChange(cutNs + frame * 7e6, Colours(90, 30, 200 - 2 * frame, 90), &changes);

    EXPECT_EQ(FirstPicture(changes, 6.0, 0, 1e9), 2);
    EXPECT_EQ(FirstPicture(changes, 6.0, 1e9, 2e9), -1) << "nothing shows then";
    EXPECT_DOUBLE_EQ(changes[3].jump, 2.0 / SCREEN_BLOCKS) << "one block changed, by 2";
    const std::int64_t cut = LargestJump(changes, cutNs - 100e6, cutNs + 150e6);
    ASSERT_GE(cut, 0);
    EXPECT_DOUBLE_EQ(changes[cut].nanoseconds, cutNs);
    EXPECT_EQ(LargestJump(changes, 1e12, 2e12), -1) << "nothing changed then";
}

}  // namespace
