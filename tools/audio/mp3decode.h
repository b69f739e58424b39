// Decoding a whole MP3 file from memory with mpg123 as the demo's music layer
// does (SDL2_mixer hands mpg123 the bytes; gapless decoding drops the
// encoder's delay and padding), to 16-bit samples as the sound card gets them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/audio/pcm.h"

struct DecodedTrack {
    Pcm pcm;                  // the samples as floats, sample / 32768
    std::size_t clipped = 0;  // samples at the 16-bit limits
};

// False (reported) when the bytes are not a 44.1 kHz stereo MP3.
bool DecodeMp3(const std::uint8_t* bytes, std::size_t length, DecodedTrack* track);
