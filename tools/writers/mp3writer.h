// Writing MP3 files with libmp3lame for tests and the content generator:
// constant bit rate, joint stereo, and a first frame that carries the
// encoder's delay and padding, so that a gapless decoder (mpg123, and so the
// demo's music layer) gives back exactly the samples that went in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Mp3Settings {
    int sampleRate = 44100;  // Hz
    int kilobitsPerSecond = 192;
    int quality = 2;         // LAME's algorithm choice: 0 best and slowest, 9 fastest
};

// The MP3 file of frames stereo frames (left, right interleaved, full scale
// +-1). Empty, with the error text saying why, when the encoder fails.
std::vector<std::uint8_t> Mp3Encode(const float* interleaved, std::size_t frames,
                                    const Mp3Settings& settings = Mp3Settings());
