// The MP3 writer: libmp3lame fed in blocks, then its info frame written over
// the placeholder it left at the start of the stream.
#include "tools/writers/mp3writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

#include "host/error.h"

namespace {

constexpr int STEREO = 2;
constexpr std::size_t BLOCK_FRAMES = 1152 * 64;
// LAME's bound for one call's output: 1.25 times the samples plus 7200 bytes.
constexpr std::size_t OutputBound(std::size_t frames) { return frames + frames / 4 + 7200; }

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

Lame OpenEncoder(const Mp3Settings& settings)
{
    Lame lame(lame_init());
    if (!lame)
        return lame;
    lame_set_in_samplerate(lame.get(), settings.sampleRate);
    lame_set_out_samplerate(lame.get(), settings.sampleRate);
    lame_set_num_channels(lame.get(), STEREO);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), settings.kilobitsPerSecond);
    lame_set_quality(lame.get(), settings.quality);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        lame.reset();
    return lame;
}

bool EncodeBlocks(lame_global_flags* lame, const float* interleaved, std::size_t frames,
                  std::vector<std::uint8_t>* out)
{
    std::vector<std::uint8_t> block(OutputBound(BLOCK_FRAMES));
    for (std::size_t first = 0; first < frames; first += BLOCK_FRAMES) {
        const std::size_t count = std::min(BLOCK_FRAMES, frames - first);
        const int written = lame_encode_buffer_interleaved_ieee_float(
            lame, interleaved + first * STEREO, static_cast<int>(count), block.data(),
            static_cast<int>(block.size()));
        if (written < 0)
            return false;
        out->insert(out->end(), block.begin(), block.begin() + written);
    }
    const int flushed = lame_encode_flush(lame, block.data(), static_cast<int>(block.size()));
    if (flushed < 0)
        return false;
    out->insert(out->end(), block.begin(), block.begin() + flushed);
    return true;
}

// The info frame holds the delay, the padding and the length; it replaces the
// silent frame of the same size that the encoder put first.
bool WriteInfoFrame(lame_global_flags* lame, std::vector<std::uint8_t>* out)
{
    std::uint8_t frame[2880];
    const std::size_t size = lame_get_lametag_frame(lame, frame, sizeof frame);
    if (size == 0 || size > out->size())
        return false;
    std::copy(frame, frame + size, out->begin());
    return true;
}

}  // namespace

std::vector<std::uint8_t> Mp3Encode(const float* interleaved, std::size_t frames, const Mp3Settings& settings)
{
    std::vector<std::uint8_t> out;
    const Lame lame = OpenEncoder(settings);
    if (!lame || !EncodeBlocks(lame.get(), interleaved, frames, &out) || !WriteInfoFrame(lame.get(), &out)) {
        Error::Report(1, "Mp3Encode: libmp3lame could not encode the samples\n");
        return {};
    }
    return out;
}
