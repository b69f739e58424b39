// Decoding an MP3 file from memory with mpg123 as the demo's music layer
// does (SDL2_mixer hands mpg123 the bytes; gapless decoding drops the
// encoder's delay and padding), to 16-bit samples as the sound card gets them:
// block by block from a stream, or the whole track at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/audio/pcm.h"

struct DecodedTrack {
    Pcm pcm;                  // the samples as floats, sample / 32768
    std::size_t clipped = 0;  // samples at the 16-bit limits
};

// A track decoded in order, as playing decodes it. The bytes stay the
// caller's and must outlive the stream.
class Mp3Stream {
public:
    // Defined where mpg123 is known.
    struct Source;
    struct Handle;

    Mp3Stream();
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // False (nothing reported) when the bytes are not a 44.1 kHz stereo MP3
    // that mpg123 can decode.
    bool Open(const std::uint8_t* bytes, std::size_t length);
    // Decodes up to frames stereo frames, left and right interleaved, into
    // samples; returns how many. Fewer only at the end of the track or when
    // the rest cannot be decoded, which Failed then tells.
    std::size_t Read(std::int16_t* samples, std::size_t frames);
    bool Failed() const { return failed_; }

private:
    std::unique_ptr<Source> source_;
    std::unique_ptr<Handle> handle_;
    bool ended_ = false;
    bool failed_ = false;
};

// False (reported) when the bytes are not a 44.1 kHz stereo MP3.
bool DecodeMp3(const std::uint8_t* bytes, std::size_t length, DecodedTrack* track);
