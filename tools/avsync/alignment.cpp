// Correlating the track against the recording.
#include "tools/avsync/alignment.h"

#include <algorithm>
#include <cmath>

#include "tools/audio/pcm.h"

namespace {

double Energy(const std::vector<float>& samples, std::int64_t from, std::int64_t length)
{
    double sum = 0;
    for (std::int64_t i = 0; i < length; ++i)
        sum += double(samples[from + i]) * samples[from + i];
    return sum;
}

}  // namespace

Match FindInRecording(const std::vector<float>& track, std::int64_t from, std::int64_t length,
                      const std::vector<float>& recording, std::int64_t guess, std::int64_t reach)
{
    Match best;
    if (from < 0 || from + length > static_cast<std::int64_t>(track.size()))
        return best;
    const double trackEnergy = Energy(track, from, length);
    const std::int64_t first = std::max<std::int64_t>(0, guess - reach);
    const std::int64_t last =
        std::min<std::int64_t>(guess + reach, static_cast<std::int64_t>(recording.size()) - length);
    for (std::int64_t at = first; at <= last; ++at) {
        double product = 0;
        for (std::int64_t i = 0; i < length; ++i)
            product += double(track[from + i]) * recording[at + i];
        const double energy = Energy(recording, at, length) * trackEnergy;
        const double correlation = energy > 0 ? product / std::sqrt(energy) : 0;
        if (correlation > best.correlation)
            best = {at, correlation};
    }
    return best;
}

std::int64_t FirstSound(const std::vector<float>& recording, std::int64_t start, float level)
{
    for (std::int64_t i = std::max<std::int64_t>(start, 0); i < static_cast<std::int64_t>(recording.size()); ++i) {
        if (std::fabs(recording[i]) > level)
            return i;
    }
    return -1;
}

Gaps SilentGaps(const std::vector<float>& recording, std::int64_t from, std::int64_t to, std::int64_t minimumFrames)
{
    Gaps gaps;
    std::int64_t run = 0;
    to = std::min<std::int64_t>(to, static_cast<std::int64_t>(recording.size()));
    for (std::int64_t i = std::max<std::int64_t>(from, 0); i <= to; ++i) {
        if (i < to && recording[i] == 0.0f) {
            ++run;
            continue;
        }
        if (run >= minimumFrames) {
            ++gaps.count;
            gaps.totalMs += MillisecondsAt(static_cast<double>(run));
        }
        run = 0;
    }
    return gaps;
}
