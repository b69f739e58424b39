// Noise for the measurement's tests: full scale ±1, never repeating within
// the tests' lengths, the same for the same seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<float> Noise(std::size_t frames, std::uint32_t seed)
{
    std::vector<float> samples(frames);
    std::uint32_t state = seed;
    for (float& sample : samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<float>(state >> 8) / float(1u << 23) - 1.0f;
    }
    return samples;
}
