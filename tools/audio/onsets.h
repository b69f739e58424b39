// Where new sounds begin in a track: the spectral flux of the mono mix (the
// summed rise of log-compressed magnitudes from one frame to the next), from
// Hann-windowed frames of 1024 samples centred every hop.
#pragma once

#include <cstddef>
#include <vector>

#include "tools/audio/pcm.h"

constexpr std::size_t ONSET_HOP_FRAMES = 220;  // about 5 ms
constexpr std::size_t ONSET_WINDOW_FRAMES = 1024;

struct OnsetCurve {
    std::vector<float> strength;  // one value per hop; 0 at the first

    double TimeMs(std::size_t index) const { return MillisecondsAt(static_cast<double>(index * ONSET_HOP_FRAMES)); }
    std::size_t IndexAt(double ms) const { return static_cast<std::size_t>(ms * PCM_RATE / 1000.0 / ONSET_HOP_FRAMES + 0.5); }
};

OnsetCurve OnsetStrength(const Pcm& pcm);

struct Onset {
    double timeMs;
    float strength;
};

// The curve's local maxima of at least threshold, no two closer than gapMs
// (the stronger stays), in time order.
std::vector<Onset> PeakOnsets(const OnsetCurve& curve, float threshold, double gapMs);
