// The master chain. Act gains are found by measuring: apply, limit, measure
// each act with the loudness meter, correct, a few times over, so that the
// limiter's own loss is made up.
#include "tools/datagen/music/master.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "tools/audio/loudness.h"
#include "tools/datagen/music/form.h"

namespace {

constexpr int GAIN_PASSES = 3;
constexpr double LARGEST_CORRECTION_DB = 18.0;
constexpr std::size_t GAIN_RAMP_FRAMES = FrameAt(30);  // act gains change over the 30 ms before a cut
constexpr std::size_t LOOKAHEAD_FRAMES = FrameAt(3);
constexpr double RELEASE_SECONDS = 0.15;
constexpr std::size_t FADE_IN_FRAMES = FrameAt(5);
constexpr std::size_t FADE_OUT_FRAMES = FrameAt(1200);

double Linear(double db) { return std::pow(10.0, db / 20.0); }

struct FrameRange {
    std::size_t first;
    std::size_t end;
};

FrameRange ActFrames(const Act& act, std::size_t frames)
{
    const std::size_t first = FrameAt(SceneStartMs(act.firstScene));
    const std::size_t end = FrameAt(ActEndMs(act));
    return {first, std::min(end, frames)};
}

// raw with each act's gain, ramping into the next act's just before its first cut.
Pcm WithActGains(const Pcm& raw, const std::vector<double>& gainsDb)
{
    Pcm out = raw;
    for (std::size_t a = 0; a < ACTS.size(); ++a) {
        const FrameRange range = ActFrames(ACTS[a], raw.Frames());
        const double gain = Linear(gainsDb[a]);
        const double next = a + 1 < ACTS.size() ? Linear(gainsDb[a + 1]) : gain;
        const std::size_t rampStart = range.end - std::min(GAIN_RAMP_FRAMES, range.end - range.first);
        for (std::size_t i = range.first; i < range.end; ++i) {
            const double blend = i < rampStart ? 0.0 : static_cast<double>(i - rampStart) / GAIN_RAMP_FRAMES;
            const auto g = static_cast<float>(gain + (next - gain) * blend);
            out.samples[2 * i] *= g;
            out.samples[2 * i + 1] *= g;
        }
    }
    return out;
}

// The gain each frame needs so that neither channel passes the ceiling.
std::vector<float> NeededGain(const Pcm& pcm, double ceiling)
{
    std::vector<float> needed(pcm.Frames());
    for (std::size_t i = 0; i < needed.size(); ++i) {
        const double peak = std::max(std::fabs(pcm.samples[2 * i]), std::fabs(pcm.samples[2 * i + 1]));
        needed[i] = static_cast<float>(peak > ceiling ? ceiling / peak : 1.0);
    }
    return needed;
}

// Each frame's gain: the least needed over the look-ahead, recovering slowly
// after, then averaged over the look-ahead so it never jumps. The average of
// values that are each at most what a peak needs is itself at most that.
std::vector<float> LimiterGain(const std::vector<float>& needed)
{
    const std::size_t n = needed.size();
    std::vector<float> held(n);
    std::deque<std::size_t> window;  // indices with increasing needed gain
    for (std::size_t i = n; i-- > 0;) {
        while (!window.empty() && needed[window.back()] >= needed[i])
            window.pop_back();
        window.push_back(i);
        while (window.front() >= i + LOOKAHEAD_FRAMES)
            window.pop_front();
        held[i] = needed[window.front()];
    }
    const double recovery = 1.0 - std::exp(-1.0 / (RELEASE_SECONDS * PCM_RATE));
    double gain = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        gain = std::min<double>(held[i], gain + (1.0 - gain) * recovery);
        held[i] = static_cast<float>(gain);
    }
    // A running sum in double keeps its rounding far below a float's step.
    std::vector<float> smooth(n);
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i >= LOOKAHEAD_FRAMES)
            sum -= held[i - LOOKAHEAD_FRAMES];
        smooth[i] = static_cast<float>(sum / static_cast<double>(std::min(i + 1, LOOKAHEAD_FRAMES)));
    }
    return smooth;
}

void Limit(Pcm* pcm, double ceiling)
{
    const std::vector<float> gain = LimiterGain(NeededGain(*pcm, ceiling));
    for (std::size_t i = 0; i < gain.size(); ++i) {
        pcm->samples[2 * i] *= gain[i];
        pcm->samples[2 * i + 1] *= gain[i];
    }
}

void FadeEdges(Pcm* pcm)
{
    const std::size_t frames = pcm->Frames();
    for (std::size_t i = 0; i < std::min(FADE_IN_FRAMES, frames); ++i) {
        const auto g = static_cast<float>(static_cast<double>(i) / FADE_IN_FRAMES);
        pcm->samples[2 * i] *= g;
        pcm->samples[2 * i + 1] *= g;
    }
    const std::size_t fadeStart = frames - std::min(FADE_OUT_FRAMES, frames);
    for (std::size_t i = fadeStart; i < frames; ++i) {
        const double left = static_cast<double>(frames - i) / FADE_OUT_FRAMES;
        const auto g = static_cast<float>(left * left);
        pcm->samples[2 * i] *= g;
        pcm->samples[2 * i + 1] *= g;
    }
}

}  // namespace

void Master(Pcm* pcm, double ceilingDb)
{
    const double ceiling = Linear(ceilingDb);
    std::vector<double> gainsDb(ACTS.size(), 0.0);
    Pcm mastered;
    for (int pass = 0; pass <= GAIN_PASSES; ++pass) {
        mastered = WithActGains(*pcm, gainsDb);
        Limit(&mastered, ceiling);
        if (pass == GAIN_PASSES)
            break;
        for (std::size_t a = 0; a < ACTS.size(); ++a) {
            const FrameRange range = ActFrames(ACTS[a], mastered.Frames());
            const double measured = IntegratedLoudness(mastered, range.first, range.end);
            const double correction = std::isfinite(measured) ? ACTS[a].plannedLufs - measured : 0.0;
            gainsDb[a] = std::clamp(gainsDb[a] + correction, -LARGEST_CORRECTION_DB, LARGEST_CORRECTION_DB);
        }
    }
    FadeEdges(&mastered);
    *pcm = std::move(mastered);
}
