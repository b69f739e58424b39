// Loading the probe's recording and timing its samples.
#include "tools/avsync/recording.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tools/audio/pcm.h"

namespace {

// The record stream's latency glides in from far off after it connects;
// reads before it has settled cannot time the sound.
constexpr std::int64_t SETTLED_LATENCY_US = 50000;
constexpr std::int64_t WINDOW_FRAMES = PCM_RATE / 2;

bool LoadPcm(const std::string& path, std::vector<float>* mono)
{
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::int16_t block[4096];
    std::size_t count = 0;
    while ((count = std::fread(block, sizeof block[0], 4096, file)) > 0) {
        for (std::size_t i = 0; i < count; ++i)
            mono->push_back(block[i] / 32768.0f);
    }
    std::fclose(file);
    return !mono->empty();
}

bool LoadReads(const std::string& path, std::vector<ProbeRead>* reads)
{
    FILE* const file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;
    long long nanoseconds = 0, frames = 0, latency = 0;
    while (std::fscanf(file, "%lld %lld %lld", &nanoseconds, &frames, &latency) == 3)
        reads->push_back({nanoseconds, frames, latency});
    std::fclose(file);
    return !reads->empty();
}

}  // namespace

bool LoadRecording(const std::string& pcmPath, const std::string& timesPath, Recording* recording)
{
    return LoadPcm(pcmPath, &recording->mono) && LoadReads(timesPath, &recording->reads);
}

HeardTime HeardAt(const Recording& recording, std::int64_t frame)
{
    std::vector<double> estimates;
    for (const ProbeRead& read : recording.reads) {
        const bool near = read.frames >= frame && read.frames <= frame + WINDOW_FRAMES;
        if (!near || std::llabs(read.latencyUs) >= SETTLED_LATENCY_US)
            continue;
        const double framesAfter = static_cast<double>(read.frames - frame);
        estimates.push_back(read.nanoseconds - framesAfter * 1e9 / PCM_RATE - read.latencyUs * 1e3);
    }
    if (estimates.empty())
        return {};
    std::sort(estimates.begin(), estimates.end());
    const auto at = [&estimates](double fraction) {
        return estimates[static_cast<std::size_t>(fraction * (estimates.size() - 1))];
    };
    return {at(0.5), (at(0.9) - at(0.1)) / 1e6};
}
