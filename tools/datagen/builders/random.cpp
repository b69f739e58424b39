// Lattice value noise with a quintic fade between hashed corner values.
#include "tools/datagen/builders/random.h"

#include <cmath>

namespace {

float Corner(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<std::uint32_t>(z) * 0x165667B1u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }
float Mix(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

float Noise3(float x, float y, float z, std::uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy),
               iz = static_cast<std::int32_t>(fz);
    const float u = Fade(x - fx), v = Fade(y - fy), w = Fade(z - fz);
    float plane[2];
    for (int k = 0; k < 2; ++k) {
        const float a = Mix(Corner(ix, iy, iz + k, seed), Corner(ix + 1, iy, iz + k, seed), u);
        const float b = Mix(Corner(ix, iy + 1, iz + k, seed), Corner(ix + 1, iy + 1, iz + k, seed), u);
        plane[k] = Mix(a, b, v);
    }
    return Mix(plane[0], plane[1], w);
}

float Noise2(float x, float y, std::uint32_t seed) { return Noise3(x, y, 0.0f, seed); }

float Fractal3(float x, float y, float z, int octaves, std::uint32_t seed)
{
    float sum = 0.0f, amplitude = 0.5f, scale = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise3(x * scale, y * scale, z * scale, seed + static_cast<std::uint32_t>(i));
        amplitude *= 0.5f;
        scale *= 2.0f;
    }
    return sum * 2.0f;
}

float Fractal2(float x, float y, int octaves, std::uint32_t seed) { return Fractal3(x, y, 0.0f, octaves, seed); }
