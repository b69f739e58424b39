// The measurement end to end on a run made up here: scenes 2 to 5 of a track
// of noise, heard at half its level from 0.5 s into the recording with 60 ms
// of silence the server put in between the first cut and the second, and a
// screen whose picture comes 30 ms after the sound at the start and 10 ms
// after the demo's clock at every cut. Each event's offset comes out as made.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/timeline.h"
#include "tests/avsync/noise.h"
#include "tools/audio/pcm.h"
#include "tools/avsync/events.h"

namespace {

constexpr double NS_PER_MS = 1e6;
constexpr double HEARD_AT = 1e12;            // the recording's first frame, on the monotonic clock
constexpr std::int64_t LEAD_MS = 500;        // silence before the music
constexpr std::int64_t START_MS = 37000;     // scene 2 begins
constexpr std::int64_t GAP_AT_MS = 46000;    // between the cuts at 44000 and 48000
constexpr std::int64_t GAP_MS = 60;
constexpr std::int64_t END_MS = 52000;

// The track from START_MS at half level after LEAD_MS of silence, with GAP_MS of silence at GAP_AT_MS.
std::vector<float> Recorded(const std::vector<float>& track)
{
    std::vector<float> recording(Frames(LEAD_MS), 0.0f);
    for (std::int64_t frame = Frames(START_MS); frame < Frames(END_MS); ++frame) {
        if (frame == Frames(GAP_AT_MS))
            recording.insert(recording.end(), Frames(GAP_MS), 0.0f);
        recording.push_back(0.5f * track[frame]);
    }
    return recording;
}

// Reads of 441 frames that arrived 1 ms before they were heard, as a monitor's do.
std::vector<ProbeRead> Reads(std::size_t frames)
{
    std::vector<ProbeRead> reads;
    for (std::int64_t total = 441; total <= static_cast<std::int64_t>(frames); total += 441)
        reads.push_back({static_cast<std::int64_t>(HEARD_AT + total * 1e9 / PCM_RATE - 1e6), total, -1000});
    return reads;
}

// Black until the first picture, then a frame every 7 ms that changes the
// strip a little, and the whole of it at each picture.
std::vector<ScreenChange> Screen(const std::vector<double>& pictures)
{
    std::vector<ScreenChange> changes;
    std::size_t next = 0;
    double base = 0;
    for (double at = HEARD_AT; at < HEARD_AT + 20000 * NS_PER_MS; at += 7 * NS_PER_MS) {
        const bool picture = next < pictures.size() && at >= pictures[next];
        base = picture ? 60.0 + 50.0 * static_cast<double>(next++ % 3) : next > 0 ? base + 0.5 : 0.0;
        BlockColours colours;
        colours.fill(base);
        AddScreenChange(picture ? pictures[next - 1] : at, colours, &changes);
    }
    return changes;
}

TEST(Events, EachOffsetComesOutAsTheRunMadeItThroughSilenceTheServerPutIn)
{
    const std::vector<float> track = Noise(Frames(END_MS) + 1, 777);
    Recording recording;
    recording.mono = Recorded(track);
    recording.reads = Reads(recording.mono.size());
    const double startSound = HEARD_AT + LEAD_MS * NS_PER_MS;
    std::vector<double> pictures = {startSound + 30 * NS_PER_MS};
    for (const std::int64_t cut : {44000, 48000, 51200})
        pictures.push_back(startSound + (cut - START_MS + 10) * NS_PER_MS);

    std::vector<Event> events = Events(2, 5);
    ASSERT_EQ(events.size(), 4u);
    FindSounds(track, recording, events);
    FindPictures(Screen(pictures), events);

    const double made[] = {-30, -10, -10 + GAP_MS, -10 + GAP_MS};
    for (std::size_t i = 0; i < events.size(); ++i) {
        ASSERT_TRUE(events[i].Found()) << "scene " << events[i].scene;
        EXPECT_EQ(events[i].musicMs, i == 0 ? START_MS : static_cast<std::int64_t>(SCENE_END_TIMES[i + 1]));
        EXPECT_NEAR(OffsetMs(events[i]), made[i], 0.1) << "scene " << events[i].scene;
    }
}

}  // namespace
