// Rendering and mastering the soundtrack: FluidSynth starts notes at their
// time, a key struck again rings through the earlier note's end, and the
// master keeps every sample under its ceiling while bringing each act to its
// planned loudness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/audio/loudness.h"
#include "tools/datagen/music/form.h"
#include "tools/datagen/music/master.h"
#include "tools/datagen/music/render.h"

namespace {

constexpr int PIANO_PROGRAM = 0;
constexpr int MIDDLE_C = 60;

Score PianoScore()
{
    Score score;
    score.Choose(LEAD, 0, PIANO_PROGRAM);
    return score;
}

double RmsDb(const Pcm& pcm, int fromMs, int toMs)
{
    double energy = 0.0;
    for (std::size_t i = 2 * FrameAt(fromMs); i < 2 * FrameAt(toMs); ++i)
        energy += pcm.samples[i] * pcm.samples[i];
    return 10.0 * std::log10(energy / (2.0 * (FrameAt(toMs) - FrameAt(fromMs))) + 1e-20);
}

TEST(Render, StartsANoteAtItsTime)
{
    Score score = PianoScore();
    score.Play(LEAD, 1000, 300, MIDDLE_C, 110);
    Pcm pcm;
    ASSERT_TRUE(RenderInstruments(score, SOUNDFONT_PATH, FrameAt(2000), &pcm));
    std::size_t first = 0;
    while (first < pcm.Frames() && std::fabs(pcm.samples[2 * first]) < 1e-4f)
        ++first;
    EXPECT_GE(MillisecondsAt(static_cast<double>(first)), 1000.0);
    EXPECT_LE(MillisecondsAt(static_cast<double>(first)), 1003.0) << "within one 64-frame block";
}

TEST(Render, AKeyStruckAgainRingsThroughTheEarlierNotesEnd)
{
    Score score = PianoScore();
    score.Play(LEAD, 0, 1000, MIDDLE_C, 110);
    score.Play(LEAD, 500, 2500, MIDDLE_C, 110);
    Pcm retriggered;
    ASSERT_TRUE(RenderInstruments(score, SOUNDFONT_PATH, FrameAt(3000), &retriggered));
    Score alone = PianoScore();
    alone.Play(LEAD, 0, 1000, MIDDLE_C, 110);
    Pcm single;
    ASSERT_TRUE(RenderInstruments(alone, SOUNDFONT_PATH, FrameAt(3000), &single));
    // Past the first note's end (and its release) only the second one sounds.
    EXPECT_GT(RmsDb(retriggered, 2000, 2500), RmsDb(single, 2000, 2500) + 20.0);
}

// A track of the show's length whose acts are far from their plan and whose
// cuts carry peaks far over the ceiling.
Pcm RoughMix()
{
    Pcm pcm;
    pcm.Resize(FrameAt(TRACK_LENGTH_MS));
    for (std::size_t i = 0; i < pcm.Frames(); ++i) {
        const double t = static_cast<double>(i) / PCM_RATE;
        const auto value = static_cast<float>(0.1 * std::sin(6.283185307179586 * 330.0 * t) *
                                              (1.0 + 0.5 * std::sin(0.7 * t)));
        pcm.samples[2 * i] = pcm.samples[2 * i + 1] = value;
    }
    for (const std::int32_t cut : SCENE_END_MS) {
        const std::size_t at = FrameAt(cut);
        for (std::size_t i = at; i < std::min(at + FrameAt(20), pcm.Frames()); ++i)
            pcm.samples[2 * i] = pcm.samples[2 * i + 1] = (i % 2 == 0) ? 1.8f : -1.8f;
    }
    return pcm;
}

TEST(Master, KeepsEverySampleUnderTheCeilingAndEachActOnItsPlan)
{
    constexpr double CEILING_DB = -2.0;
    Pcm pcm = RoughMix();
    Master(&pcm, CEILING_DB);
    float peak = 0.0f;
    for (const float sample : pcm.samples)
        peak = std::max(peak, std::fabs(sample));
    EXPECT_LE(20.0 * std::log10(peak), CEILING_DB + 0.01);
    for (const Act& act : ACTS) {
        const std::size_t first = FrameAt(SceneStartMs(act.firstScene));
        const std::size_t end = FrameAt(ActEndMs(act));
        EXPECT_NEAR(IntegratedLoudness(pcm, first, end), act.plannedLufs, 0.5) << act.name;
    }
}

}  // namespace
