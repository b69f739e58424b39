// libebur128 fed from interleaved float frames.
#include "tools/audio/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

struct StateCloser {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using Meter = std::unique_ptr<ebur128_state, StateCloser>;

Meter OpenMeter(int mode) { return Meter(ebur128_init(PCM_CHANNELS, PCM_RATE, mode)); }

void Feed(ebur128_state* state, const Pcm& pcm, std::size_t first, std::size_t end)
{
    if (end > first)
        ebur128_add_frames_float(state, pcm.samples.data() + first * PCM_CHANNELS, end - first);
}

}  // namespace

double IntegratedLoudness(const Pcm& pcm, std::size_t first, std::size_t end)
{
    const Meter meter = OpenMeter(EBUR128_MODE_I);
    double loudness = -std::numeric_limits<double>::infinity();
    if (!meter)
        return loudness;
    Feed(meter.get(), pcm, first, std::min(end, pcm.Frames()));
    ebur128_loudness_global(meter.get(), &loudness);
    return loudness;
}

double TruePeakDb(const Pcm& pcm)
{
    const Meter meter = OpenMeter(EBUR128_MODE_TRUE_PEAK);
    double highest = 0.0;
    if (!meter)
        return std::numeric_limits<double>::infinity();
    Feed(meter.get(), pcm, 0, pcm.Frames());
    for (unsigned channel = 0; channel < PCM_CHANNELS; ++channel) {
        double peak = 0.0;
        ebur128_true_peak(meter.get(), channel, &peak);
        highest = std::max(highest, peak);
    }
    return 20.0 * std::log10(highest);
}

std::vector<double> ShortTermLoudness(const Pcm& pcm, int stepMs)
{
    std::vector<double> curve;
    const Meter meter = OpenMeter(EBUR128_MODE_S);
    if (!meter)
        return curve;
    const std::size_t step = FrameAt(stepMs);
    for (std::size_t first = 0; first + step <= pcm.Frames(); first += step) {
        Feed(meter.get(), pcm, first, first + step);
        double loudness = 0.0;
        ebur128_loudness_shortterm(meter.get(), &loudness);
        curve.push_back(loudness);
    }
    return curve;
}
