// Deterministic randomness for the builders: a seeded generator and lattice
// noise, both defined here bit for bit so that the data is the same on every
// run and with every standard library.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // SplitMix64.
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    float Unit() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }
    float Range(float low, float high) { return low + (high - low) * Unit(); }
    // Uniform in [0, count).
    int Below(int count) { return static_cast<int>(Next() % static_cast<std::uint64_t>(count)); }

private:
    std::uint64_t state_;
};

// Smooth value noise on an integer lattice, about -1 to 1, and its fractal
// sum. The seed picks an unrelated field.
float Noise2(float x, float y, std::uint32_t seed);
float Noise3(float x, float y, float z, std::uint32_t seed);
float Fractal2(float x, float y, int octaves, std::uint32_t seed);
float Fractal3(float x, float y, float z, int octaves, std::uint32_t seed);
