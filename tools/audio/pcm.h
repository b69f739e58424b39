// Stereo sample blocks as the music tools handle them: 44.1 kHz, left and
// right interleaved, full scale +-1, times in milliseconds of the track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int PCM_RATE = 44100;
constexpr int PCM_CHANNELS = 2;

struct Pcm {
    std::vector<float> samples;  // left, right, left, right, ...

    std::size_t Frames() const { return samples.size() / PCM_CHANNELS; }
    void Resize(std::size_t frames) { samples.assign(frames * PCM_CHANNELS, 0.0f); }
};

// The frame at which millisecond ms of the track begins.
constexpr std::size_t FrameAt(std::int64_t ms) { return static_cast<std::size_t>(ms * PCM_RATE / 1000); }

// The millisecond time of a frame.
constexpr double MillisecondsAt(double frame) { return frame * 1000.0 / PCM_RATE; }
