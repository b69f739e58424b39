// The soundtrack the build made, as the demo hears it: stored in the archive
// where the demo looks for it, mastered to its figures, following the show's
// form (an onset on every cut, each act as loud as planned, never silent),
// and playable from the positions the demo starts it at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "pak/pak.h"
#include "platform/music.h"
#include "tests/datagen/show_track.h"
#include "tests/support/aqtool_run.h"
#include "tools/audio/loudness.h"
#include "tools/audio/onsets.h"

namespace {

using test_support::CutsOfAct;
using test_support::ShowTrack;

constexpr double CUT_TOLERANCE_MS = 10.0;
constexpr double CUT_SEARCH_MS = 50.0;
constexpr double NEAR_CUT_MS = 60.0;

TEST(Soundtrack, IsStoredAsTheMusicEntryOfAnArchiveThatVerifies)
{
    PAK* const archive = PAK::Open(SHOW_ARCHIVE);
    ASSERT_NE(archive, nullptr);
    const PAK_Entry* const entry = archive->FindEntry("themusic.mp3");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->file.name, "THEMUSIC.MP3");
    const test_support::AqtoolOutcome verify = test_support::Aqtool({"verify", SHOW_ARCHIVE});
    EXPECT_EQ(verify.status, 0) << verify.err;
}

TEST(Soundtrack, IsAFiveMinute44kStereoMp3OfAtLeast160Kilobits)
{
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadShowMusic(SHOW_ARCHIVE, &bytes));
    const double seconds = MillisecondsAt(static_cast<double>(ShowTrack().pcm.Frames())) / 1000.0;
    EXPECT_GE(seconds, 300.0);
    EXPECT_GE(8.0 * bytes.size() / seconds, 160000.0);
}

TEST(Soundtrack, IsMasteredToItsLoudnessAndPeakFigures)
{
    const DecodedTrack& track = ShowTrack();
    const double lufs = IntegratedLoudness(track.pcm);
    EXPECT_GE(lufs, -16.0);
    EXPECT_LE(lufs, -12.0);
    EXPECT_LE(TruePeakDb(track.pcm), -1.0);
    EXPECT_EQ(track.clipped, 0u);
}

TEST(Soundtrack, PlaysEachActWithinTwoLuOfItsPlannedLoudness)
{
    const Pcm& pcm = ShowTrack().pcm;
    for (const Act& act : ACTS) {
        const std::size_t first = FrameAt(SceneStartMs(act.firstScene));
        const std::size_t end = FrameAt(ActEndMs(act));
        EXPECT_NEAR(IntegratedLoudness(pcm, first, end), act.plannedLufs, 2.0) << act.name;
    }
}

// The strongest onset within the search window around a cut.
Onset StrongestNear(const OnsetCurve& curve, double ms)
{
    Onset best{ms, -1.0f};
    for (std::size_t i = curve.IndexAt(ms - CUT_SEARCH_MS); i <= curve.IndexAt(ms + CUT_SEARCH_MS); ++i) {
        if (i < curve.strength.size() && curve.strength[i] > best.strength)
            best = {curve.TimeMs(i), curve.strength[i]};
    }
    return best;
}

TEST(Soundtrack, MarksEveryCutWithAnOnsetWithinTenMilliseconds)
{
    const OnsetCurve curve = OnsetStrength(ShowTrack().pcm);
    for (int cut = 0; cut < SCENE_COUNT; ++cut) {
        const Onset onset = StrongestNear(curve, SCENE_END_MS[cut]);
        EXPECT_NEAR(onset.timeMs, SCENE_END_MS[cut], CUT_TOLERANCE_MS) << "cut at " << SCENE_END_MS[cut];
    }
}

bool NearACut(double ms)
{
    return std::any_of(SCENE_END_MS.begin(), SCENE_END_MS.end(),
                       [ms](std::int32_t cut) { return std::fabs(ms - cut) < NEAR_CUT_MS; });
}

// Within each act, onsets as strong as the act's cuts (80 % of its weakest)
// are rare anywhere else: fewer in the whole track than a tenth of the cuts.
TEST(Soundtrack, HasFarFewerOnsetsAsStrongAsItsCutsAnywhereElse)
{
    const OnsetCurve curve = OnsetStrength(ShowTrack().pcm);
    int elsewhere = 0;
    for (const Act& act : ACTS) {
        float weakest = 1e9f;
        for (const int cut : CutsOfAct(act))
            weakest = std::min(weakest, StrongestNear(curve, SCENE_END_MS[cut]).strength);
        const double first = SceneStartMs(act.firstScene);
        const double end = SCENE_END_MS[act.lastScene];
        for (const Onset& onset : PeakOnsets(curve, 0.8f * weakest, CUT_SEARCH_MS)) {
            if (onset.timeMs >= first && onset.timeMs < end && !NearACut(onset.timeMs))
                ++elsewhere;
        }
    }
    EXPECT_LT(elsewhere, SCENE_COUNT / 10);
}

TEST(Soundtrack, IsNeverSilentForASecondBeforeTheLastCut)
{
    constexpr std::size_t WINDOW = FrameAt(50);
    constexpr double SILENT_RMS = 0.001;  // -60 dBFS
    const Pcm& pcm = ShowTrack().pcm;
    std::size_t silentRun = 0;
    std::size_t longestRun = 0;
    for (std::size_t first = 0; first + WINDOW <= FrameAt(297000); first += WINDOW) {
        double energy = 0.0;
        for (std::size_t i = 2 * first; i < 2 * (first + WINDOW); ++i)
            energy += pcm.samples[i] * pcm.samples[i];
        silentRun = std::sqrt(energy / (2 * WINDOW)) < SILENT_RMS ? silentRun + WINDOW : 0;
        longestRun = std::max(longestRun, silentRun);
    }
    EXPECT_LT(longestRun, FrameAt(1000));
}

// Through the real music layer on the silent driver, from the archive's bytes.
TEST(Soundtrack, PlaysFromTheEndTimesTheDemoStartsAt)
{
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadShowMusic(SHOW_ARCHIVE, &bytes));
    ASSERT_TRUE(platform::FSOUND_SetOutput(platform::FSOUND_OUTPUT_SILENT));
    ASSERT_TRUE(platform::FSOUND_Init(44100, 32, 0));
    platform::MusicStream* const stream = platform::FSOUND_Stream_OpenFile(
        reinterpret_cast<const char*>(bytes.data()), platform::FSOUND_LOADMEMORY | platform::FSOUND_2D,
        static_cast<int>(bytes.size()));
    ASSERT_NE(stream, nullptr) << platform::FSOUND_GetError();
    for (const int scene : {5, 20, 29, 41, 50}) {
        const int start = SceneStartMs(scene);
        EXPECT_TRUE(platform::FSOUND_Stream_SetTime(stream, start));
        EXPECT_EQ(platform::FSOUND_Stream_Play(0, stream), 0);
        const int position = platform::FSOUND_Stream_GetTime(stream);
        EXPECT_GE(position, start) << "scene " << scene;
        EXPECT_LT(position, start + 5000) << "scene " << scene;
    }
    platform::FSOUND_Close();
}

}  // namespace
