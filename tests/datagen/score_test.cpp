// The composition's grid and arithmetic: bars tile the whole track with a
// downbeat on every cut, short fill bars keep the chord before them, scale
// degrees land on the right keys in every mode, and no note the parts write
// sounds into the hush before a cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "tools/datagen/music/compose.h"
#include "tools/datagen/music/form.h"
#include "tools/datagen/music/harmony.h"
#include "tools/datagen/music/sections.h"

namespace {

TEST(BarGrid, TilesTheTrackWithADownbeatOnEveryCut)
{
    const std::vector<Bar> bars = BuildBars();
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(bars.front().startMs, 0);
    EXPECT_EQ(bars.back().EndMs(), TRACK_LENGTH_MS);
    for (std::size_t i = 1; i < bars.size(); ++i)
        EXPECT_EQ(bars[i].startMs, bars[i - 1].EndMs()) << "bar " << i;
    for (const std::int32_t cut : SCENE_END_MS) {
        const auto starts = std::find_if(bars.begin(), bars.end(), [cut](const Bar& bar) { return bar.startMs == cut; });
        ASSERT_NE(starts, bars.end()) << "cut at " << cut;
        EXPECT_TRUE(starts->startsScene);
    }
    for (const Bar& bar : bars) {
        if (bar.scene == SCENE_COUNT)
            continue;
        const int sceneSteps = (SCENE_END_MS[bar.scene] - SceneStartMs(bar.scene)) / STEP_MS;
        EXPECT_GE(bar.steps, std::min(sceneSteps, 5)) << "bar at " << bar.startMs;
        EXPECT_LE(bar.steps, BAR_STEPS + 4) << "bar at " << bar.startMs;
    }
}

TEST(BarGrid, ShortFillBarsHoldTheChordBeforeThem)
{
    const std::vector<Bar> bars = BuildBars();
    for (std::size_t i = 1; i < bars.size(); ++i) {
        if (bars[i].steps >= 12 || bars[i].indexInSection == 0)
            continue;
        EXPECT_EQ(bars[i].chord.root, bars[i - 1].chord.root) << "bar at " << bars[i].startMs;
        EXPECT_EQ(bars[i].chord.quality, bars[i - 1].chord.quality) << "bar at " << bars[i].startMs;
    }
}

TEST(Harmony, PlacesScaleDegreesInEveryMode)
{
    constexpr int D3 = 50;
    const std::vector<std::tuple<Mode, int, int>> cases = {
        {Mode::MINOR, 0, 50},          {Mode::MINOR, 2, 53},     {Mode::MINOR, 6, 60},
        {Mode::MINOR, 7, 62},          {Mode::MINOR, 9, 65},     {Mode::MINOR, -1, 48},
        {Mode::MINOR, -7, 38},         {Mode::MINOR, -8, 36},    {Mode::MAJOR, 2, 54},
        {Mode::MAJOR, 6, 61},          {Mode::PHRYGIAN, 1, 51},  {Mode::HARMONIC_MINOR, 6, 61},
        {Mode::HARMONIC_MINOR, -1, 49},
    };
    for (const auto& [mode, degree, key] : cases)
        EXPECT_EQ(DegreeKey(D3, mode, degree), key) << "degree " << degree;
}

TEST(Harmony, VoicesChordsInsideTheirOctave)
{
    constexpr int D2 = 38;
    EXPECT_EQ(ChordKeysAround(D2, {0, Quality::MINOR}, 55), (std::vector<int>{57, 62, 65}));
    EXPECT_EQ(ChordKeysAround(D2, {-4, Quality::MAJOR}, 55), (std::vector<int>{58, 62, 65}));
    EXPECT_EQ(ChordKeysAround(D2, {7, Quality::MAJOR}, 60), (std::vector<int>{61, 64, 69}));
    EXPECT_EQ(RootKeyAround(D2, {-2, Quality::MAJOR}, 33), 36);
}

TEST(Score, LeavesTheHushBeforeEveryCutSilent)
{
    const Score score = ComposeShow();
    for (const Note& note : score.notes) {
        for (const std::int32_t cut : SCENE_END_MS) {
            EXPECT_FALSE(note.startMs < cut && note.startMs + note.lengthMs > cut - BREATH_MS)
                << "a note at " << note.startMs << " sounds into the hush before " << cut;
        }
    }
}

}  // namespace
