// The MP3 decoder: mpg123 reading from the caller's buffer through replaced
// read and seek functions, default (gapless) parameters, 16-bit output.
#include "tools/audio/mp3decode.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/error.h"

namespace {

constexpr std::int16_t SAMPLE_MIN = -32768;
constexpr std::int16_t SAMPLE_MAX = 32767;
constexpr float SAMPLE_SCALE = 1.0f / 32768.0f;
constexpr std::size_t BLOCK_FRAMES = 1 << 15;

}  // namespace

struct Mp3Stream::Source {
    const std::uint8_t* bytes = nullptr;
    std::size_t length = 0;
    std::size_t position = 0;
};

struct Mp3Stream::Handle {
    ~Handle()
    {
        if (decoder == nullptr)
            return;
        mpg123_close(decoder);
        mpg123_delete(decoder);
    }

    mpg123_handle* decoder = nullptr;
};

namespace {

ssize_t ReadSource(void* handle, void* buffer, size_t count)
{
    auto* const source = static_cast<Mp3Stream::Source*>(handle);
    const std::size_t taken = std::min(count, source->length - source->position);
    std::memcpy(buffer, source->bytes + source->position, taken);
    source->position += taken;
    return static_cast<ssize_t>(taken);
}

off_t SeekSource(void* handle, off_t offset, int whence)
{
    auto* const source = static_cast<Mp3Stream::Source*>(handle);
    const off_t base = whence == SEEK_SET ? 0
                       : whence == SEEK_CUR ? static_cast<off_t>(source->position)
                                            : static_cast<off_t>(source->length);
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(source->length))
        return -1;
    source->position = static_cast<std::size_t>(target);
    return target;
}

// A decoder of 44.1 kHz 16-bit stereo reading from source, or null.
mpg123_handle* OpenDecoder(void* source)
{
    mpg123_init();
    mpg123_handle* const decoder = mpg123_new(nullptr, nullptr);
    if (decoder == nullptr)
        return nullptr;
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, PCM_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_replace_reader_handle(decoder, ReadSource, SeekSource, nullptr) != MPG123_OK ||
        mpg123_open_handle(decoder, source) != MPG123_OK ||
        mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != PCM_RATE ||
        channels != PCM_CHANNELS) {
        mpg123_close(decoder);
        mpg123_delete(decoder);
        return nullptr;
    }
    return decoder;
}

}  // namespace

Mp3Stream::Mp3Stream() : source_(new Source), handle_(new Handle) {}

Mp3Stream::~Mp3Stream() = default;

bool Mp3Stream::Open(const std::uint8_t* bytes, std::size_t length)
{
    handle_.reset(new Handle);
    *source_ = Source{bytes, length, 0};
    ended_ = false;
    failed_ = false;
    handle_->decoder = OpenDecoder(source_.get());
    return handle_->decoder != nullptr;
}

std::size_t Mp3Stream::Read(std::int16_t* samples, std::size_t frames)
{
    constexpr std::size_t FRAME_BYTES = PCM_CHANNELS * sizeof(std::int16_t);
    std::size_t done = 0;
    while (done < frames && !ended_ && handle_->decoder != nullptr) {
        std::size_t bytes = 0;
        const int result = mpg123_read(handle_->decoder, samples + done * PCM_CHANNELS,
                                       (frames - done) * FRAME_BYTES, &bytes);
        done += bytes / FRAME_BYTES;
        if (result == MPG123_DONE) {
            ended_ = true;
        } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            ended_ = true;
            failed_ = true;
        }
    }
    return done;
}

bool DecodeMp3(const std::uint8_t* bytes, std::size_t length, DecodedTrack* track)
{
    Mp3Stream stream;
    track->pcm.samples.clear();
    track->clipped = 0;
    std::vector<std::int16_t> block(BLOCK_FRAMES * PCM_CHANNELS);
    const bool opened = stream.Open(bytes, length);
    for (std::size_t frames = BLOCK_FRAMES; opened && frames == BLOCK_FRAMES;) {
        frames = stream.Read(block.data(), BLOCK_FRAMES);
        for (std::size_t i = 0; i < frames * PCM_CHANNELS; ++i) {
            track->clipped += block[i] == SAMPLE_MIN || block[i] == SAMPLE_MAX;
            track->pcm.samples.push_back(block[i] * SAMPLE_SCALE);
        }
    }
    if (!opened || stream.Failed()) {
        Error::Report(1, "DecodeMp3: Not a 44.1 kHz stereo MP3 that mpg123 can decode\n");
        return false;
    }
    return true;
}
