// The MP3 decoder: mpg123 reading from the caller's buffer through replaced
// read and seek functions, default (gapless) parameters, 16-bit output.
#include "tools/audio/mp3decode.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/error.h"

namespace {

constexpr std::int16_t SAMPLE_MIN = -32768;
constexpr std::int16_t SAMPLE_MAX = 32767;
constexpr float SAMPLE_SCALE = 1.0f / 32768.0f;

struct MemorySource {
    const std::uint8_t* bytes;
    std::size_t length;
    std::size_t position;
};

ssize_t ReadSource(void* handle, void* buffer, size_t count)
{
    auto* const source = static_cast<MemorySource*>(handle);
    const std::size_t taken = std::min(count, source->length - source->position);
    std::memcpy(buffer, source->bytes + source->position, taken);
    source->position += taken;
    return static_cast<ssize_t>(taken);
}

off_t SeekSource(void* handle, off_t offset, int whence)
{
    auto* const source = static_cast<MemorySource*>(handle);
    const off_t base = whence == SEEK_SET ? 0
                       : whence == SEEK_CUR ? static_cast<off_t>(source->position)
                                            : static_cast<off_t>(source->length);
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(source->length))
        return -1;
    source->position = static_cast<std::size_t>(target);
    return target;
}

struct HandleCloser {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Decoder = std::unique_ptr<mpg123_handle, HandleCloser>;

Decoder OpenDecoder(MemorySource* source)
{
    mpg123_init();
    Decoder decoder(mpg123_new(nullptr, nullptr));
    if (!decoder)
        return decoder;
    mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder.get());
    mpg123_format(decoder.get(), PCM_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(decoder.get(), ReadSource, SeekSource, nullptr) != MPG123_OK ||
        mpg123_open_handle(decoder.get(), source) != MPG123_OK)
        decoder.reset();
    return decoder;
}

bool ReadAll(mpg123_handle* decoder, DecodedTrack* track)
{
    std::vector<std::int16_t> block(1 << 16);
    track->pcm.samples.clear();
    track->clipped = 0;
    for (;;) {
        std::size_t bytes = 0;
        const int result = mpg123_read(decoder, block.data(), block.size() * sizeof block[0], &bytes);
        const std::size_t count = bytes / sizeof block[0];
        for (std::size_t i = 0; i < count; ++i) {
            track->clipped += block[i] == SAMPLE_MIN || block[i] == SAMPLE_MAX;
            track->pcm.samples.push_back(block[i] * SAMPLE_SCALE);
        }
        if (result == MPG123_DONE)
            return true;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            return false;
    }
}

}  // namespace

bool DecodeMp3(const std::uint8_t* bytes, std::size_t length, DecodedTrack* track)
{
    MemorySource source{bytes, length, 0};
    const Decoder decoder = OpenDecoder(&source);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (!decoder || mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK ||
        rate != PCM_RATE || channels != PCM_CHANNELS || !ReadAll(decoder.get(), track)) {
        Error::Report(1, "DecodeMp3: Not a 44.1 kHz stereo MP3 that mpg123 can decode\n");
        return false;
    }
    return true;
}
