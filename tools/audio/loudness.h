// Loudness and peaks after EBU R 128 / ITU-R BS.1770, measured with
// libebur128: what the mastering aims at and what the tests check.
#pragma once

#include <cstddef>
#include <vector>

#include "tools/audio/pcm.h"

// Integrated (gated) loudness in LUFS of frames [first, end); minus infinity
// for silence.
double IntegratedLoudness(const Pcm& pcm, std::size_t first, std::size_t end);
inline double IntegratedLoudness(const Pcm& pcm) { return IntegratedLoudness(pcm, 0, pcm.Frames()); }

// The highest true (4x oversampled) peak of either channel, in dB of full scale.
double TruePeakDb(const Pcm& pcm);

// Short-term loudness (3 s window) ending every stepMs, in LUFS; the first
// values cover less than 3 s.
std::vector<double> ShortTermLoudness(const Pcm& pcm, int stepMs);
