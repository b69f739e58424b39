// A short MP3 made by the MP3 writer for tests that need a playable track:
// a plucked A every quarter second, seconds long.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/writers/mp3writer.h"

namespace test_support {

inline std::vector<std::uint8_t> ShortMp3(int seconds)
{
    constexpr int RATE = 44100;
    constexpr int PLUCK_FRAMES = RATE / 4;
    constexpr double PITCH = 440.0;
    constexpr double TWO_PI = 6.283185307179586;
    std::vector<float> samples(static_cast<std::size_t>(seconds) * RATE * 2);
    for (std::size_t frame = 0; frame < samples.size() / 2; ++frame) {
        const double t = static_cast<double>(frame % PLUCK_FRAMES) / RATE;
        const float value = static_cast<float>(0.5 * std::exp(-12.0 * t) * std::sin(TWO_PI * PITCH * t));
        samples[2 * frame] = samples[2 * frame + 1] = value;
    }
    return Mp3Encode(samples.data(), samples.size() / 2);
}

}  // namespace test_support
