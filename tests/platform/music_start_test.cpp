// The play call returns when the music's first sample is heard, less the time
// the picture of that moment takes to be seen: what the output tells of its
// start (asked once the stream plays: when it first mixed, and how long until
// that is heard) becomes one wait on the performance counter, and an output
// that tells nothing, or nothing believable, is not waited for. From there the
// sound is held back by however much the picture turns out slower than the
// start allowed for, while that stream plays.
#include "platform/music.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/fake_backend.h"
#include "platform/fake_music.h"

namespace platform {
namespace {

constexpr std::int64_t START = 1000;  // the counter when play is called, in microseconds
constexpr std::int64_t STEP = 10;     // it advances by this at every read
constexpr std::int64_t NO_WAIT = -1;

struct Start {
    const char* what;
    bool heard;             // the output tells when it is heard
    OutputTiming timing;
    std::int64_t pictureUs;
    std::uint32_t sleptMs;  // what the wait sleeps before it reads the counter to the end
    std::int64_t until;     // the counter value it waits for, or NO_WAIT
};

TEST(MusicStart, PlayReturnsWhenTheFirstSampleIsHeardLessThePicturesLatency)
{
    const std::vector<Start> starts = {
        {"heard 16 ms after its first mix", true, {START, 16000}, 0, 14, START + 16000},
        {"mixed 3 ms before the output was asked", true, {START - 3000, 20000}, 0, 15, START + 17000},
        {"the picture takes 6 ms to be seen", true, {START, 16000}, 6000, 8, START + 10000},
        {"the picture takes longer than the sound", true, {START, 16000}, 20000, 0, NO_WAIT},
        {"heard already when the output answered", true, {START - 30000, 16000}, 0, 0, NO_WAIT},
        {"an output that claims more than half a second", true, {START, 900000}, 0, 0, NO_WAIT},
        {"a silent output", false, {START, 16000}, 0, 0, NO_WAIT},
    };
    for (const Start& start : starts) {
        ScopedFakeBackend os;
        ScopedFakeMusic music;
        os.fake.counter = START;
        os.fake.counterStep = STEP;
        os.fake.pictureLatencyMicroseconds = start.pictureUs;
        music.fake.heard = start.heard;
        music.fake.timing = start.timing;

        EXPECT_EQ(FSOUND_Stream_Play(0, FakeMusic::Stream()), 0) << start.what;
        EXPECT_EQ(music.fake.timingAsked, 1) << start.what;
        EXPECT_EQ(os.fake.sleptMilliseconds, start.sleptMs) << start.what;
        const std::int64_t lastRead = os.fake.counter - STEP;
        if (start.until == NO_WAIT) {
            EXPECT_LE(lastRead, START + 3 * STEP) << start.what << ": the counter is read, not waited on";
        } else {
            EXPECT_GE(lastRead, start.until) << start.what;
            EXPECT_LT(lastRead, start.until + STEP) << start.what << ": the wait ends when it is due";
        }
    }
}

struct Follow {
    const char* what;
    bool heard;
    OutputTiming timing;
    std::int64_t pictureAtPlayUs;
    bool stopped;                       // the stream was stopped before the frames
    std::vector<std::int64_t> delaysUs;  // after a frame of 11 ms, and after many of 4 ms; none asked: empty
};

TEST(MusicStart, TheSoundWaitsForWhatThePictureTookLongerThanThePlayCallAllowedFor)
{
    const std::vector<Follow> follows = {
        {"a start that allowed 1.5 ms", true, {START, 16000}, 1500, false, {9500, 2500}},
        {"a start that allowed nothing", true, {START, 16000}, 0, false, {11000, 4000}},
        {"the first sample heard 14 ms before play returned", true, {START - 14000, 0}, 0, false, {25000, 18000}},
        {"a stream stopped since", true, {START, 16000}, 1500, true, {}},
        {"an output that claims more than half a second", true, {START, 900000}, 0, false, {}},
        {"a silent output", false, {START, 16000}, 0, false, {}},
    };
    for (const Follow& follow : follows) {
        ScopedFakeBackend os;
        ScopedFakeMusic music;
        os.fake.counterStep = 0;  // a wait ends on the counter standing still, and returns when it was due
        os.fake.counter = START;
        os.fake.pictureLatencyMicroseconds = follow.pictureAtPlayUs;
        music.fake.heard = follow.heard;
        music.fake.timing = follow.timing;
        ASSERT_EQ(FSOUND_Stream_Play(0, FakeMusic::Stream()), 0) << follow.what;
        if (follow.stopped)
            FSOUND_Stream_Stop(FakeMusic::Stream());
        for (int frame = 0; frame <= 300; ++frame) {
            os.fake.pictureLatencyMicroseconds = frame == 0 ? 11000 : 4000;
            PictureShown();
        }
        const std::vector<std::int64_t>& asked = music.fake.soundDelays;
        ASSERT_EQ(asked.size(), follow.delaysUs.empty() ? 0u : 301u) << follow.what;
        if (asked.empty())
            continue;
        EXPECT_EQ(asked.front(), follow.delaysUs[0]) << follow.what;
        EXPECT_NEAR(asked.back(), follow.delaysUs[1], 40) << follow.what << ": the frames' mean, not the last one";
        EXPECT_GT(asked[1], follow.delaysUs[1] + 6000) << follow.what;
    }
}

TEST(MusicStart, NothingIsAskedOrAwaitedWhenPlayingFails)
{
    ScopedFakeBackend os;
    ScopedFakeMusic music;
    music.fake.playSucceeds = false;
    music.fake.heard = true;
    music.fake.timing = {0, 16000};
    EXPECT_EQ(FSOUND_Stream_Play(0, FakeMusic::Stream()), -1);
    EXPECT_EQ(music.fake.timingAsked, 0);
    EXPECT_EQ(os.fake.sleptMilliseconds, 0u);
}

}  // namespace
}  // namespace platform
