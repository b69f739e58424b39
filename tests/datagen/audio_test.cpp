// The audio tools the soundtrack is checked with: an MP3 comes back from the
// writer and decoder sample for sample in time (so a cut placed in the mix is
// heard at its time), the onset detector finds a hit where it is, and the
// loudness meter and peak reader are fed the right samples.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/audio/loudness.h"
#include "tools/audio/mp3decode.h"
#include "tools/audio/onsets.h"
#include "tools/writers/mp3writer.h"

namespace {

constexpr double TWO_PI = 6.283185307179586;

Pcm Silence(int ms)
{
    Pcm pcm;
    pcm.Resize(FrameAt(ms));
    return pcm;
}

// A short decaying burst of a few tones, starting at ms.
void AddHit(Pcm* pcm, int ms, float level)
{
    const std::size_t first = FrameAt(ms);
    for (std::size_t i = 0; i < FrameAt(80) && first + i < pcm->Frames(); ++i) {
        const double t = static_cast<double>(i) / PCM_RATE;
        double value = 0.0;
        for (const double hz : {180.0, 1230.0, 4710.0, 9100.0})
            value += std::sin(TWO_PI * hz * t);
        const auto sample = static_cast<float>(level * 0.25 * value * std::exp(-t * 40.0));
        pcm->samples[2 * (first + i)] += sample;
        pcm->samples[2 * (first + i) + 1] += sample;
    }
}

void AddSine(Pcm* pcm, double hz, float amplitude)
{
    for (std::size_t i = 0; i < pcm->Frames(); ++i) {
        const auto value = static_cast<float>(amplitude * std::sin(TWO_PI * hz * i / PCM_RATE));
        pcm->samples[2 * i] += value;
        pcm->samples[2 * i + 1] += value;
    }
}

std::size_t FirstLoudFrame(const Pcm& pcm, float threshold)
{
    for (std::size_t i = 0; i < pcm.Frames(); ++i) {
        if (std::fabs(pcm.samples[2 * i]) > threshold)
            return i;
    }
    return pcm.Frames();
}

TEST(Mp3RoundTrip, GivesBackEveryFrameInPlace)
{
    Pcm pcm = Silence(3000);
    AddHit(&pcm, 1234, 0.8f);
    const std::vector<std::uint8_t> mp3 = Mp3Encode(pcm.samples.data(), pcm.Frames());
    ASSERT_FALSE(mp3.empty());
    DecodedTrack decoded;
    ASSERT_TRUE(DecodeMp3(mp3.data(), mp3.size(), &decoded));
    EXPECT_EQ(decoded.pcm.Frames(), pcm.Frames()) << "the encoder's delay and padding are dropped";
    const double shiftMs = MillisecondsAt(static_cast<double>(FirstLoudFrame(decoded.pcm, 0.05f))) -
                           MillisecondsAt(static_cast<double>(FirstLoudFrame(pcm, 0.05f)));
    EXPECT_NEAR(shiftMs, 0.0, 1.0);
    EXPECT_EQ(decoded.clipped, 0u);
}

TEST(Mp3RoundTrip, RefusesBytesThatAreNoMp3)
{
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'};
    DecodedTrack decoded;
    EXPECT_FALSE(DecodeMp3(text.data(), text.size(), &decoded));
}

TEST(Onsets, FindEveryHitWithinAFewMillisecondsAndNothingElse)
{
    Pcm pcm = Silence(6000);
    AddSine(&pcm, 220.0, 0.05f);
    const std::vector<int> hits = {700, 1800, 2450, 4100, 5300};
    for (const int ms : hits)
        AddHit(&pcm, ms, 0.7f);
    const OnsetCurve curve = OnsetStrength(pcm);
    const std::vector<Onset> onsets = PeakOnsets(curve, 20.0f, 50.0);
    ASSERT_EQ(onsets.size(), hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i)
        EXPECT_NEAR(onsets[i].timeMs, hits[i], 6.0);
}

TEST(Loudness, FollowsTheLevelAndFindsPeaksBetweenSamples)
{
    Pcm loud = Silence(5000);
    AddSine(&loud, 997.0, 0.5f);
    Pcm quiet = Silence(5000);
    AddSine(&quiet, 997.0, 0.25f);
    EXPECT_NEAR(IntegratedLoudness(loud) - IntegratedLoudness(quiet), 6.02, 0.05);
    EXPECT_NEAR(IntegratedLoudness(loud, FrameAt(1000), FrameAt(4000)), IntegratedLoudness(loud), 0.05);
    // At a quarter of the sample rate, samples fall at 45 degrees off the crests.
    Pcm between = Silence(1000);
    for (std::size_t i = 0; i < between.Frames(); ++i)
        between.samples[2 * i] = between.samples[2 * i + 1] =
            static_cast<float>(0.5 * std::sin(TWO_PI * (i / 4.0 + 0.125)));
    EXPECT_NEAR(TruePeakDb(between), 20.0 * std::log10(0.5), 0.3) << "sample peaks are 3 dB lower";
}

}  // namespace
