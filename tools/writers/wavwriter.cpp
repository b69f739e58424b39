// WAV headers and files written block by block.
#include "tools/writers/wavwriter.h"

#include <algorithm>
#include <limits>

#include "host/error.h"

namespace {

constexpr std::uint16_t PCM_FORMAT = 1;
constexpr std::uint16_t SAMPLE_BITS = 16;
constexpr std::uint32_t FORMAT_CHUNK_SIZE = 16;
constexpr std::uint32_t RIFF_FIXED_SIZE = WAV_HEADER_SIZE - 8;  // what follows "RIFF" and its size, bar the data
constexpr std::size_t CHUNK_SAMPLES = 2048;                      // converted per write

void Put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutTag(std::uint8_t* at, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(tag[i]);
}

}  // namespace

std::array<std::uint8_t, WAV_HEADER_SIZE> WavHeader(std::uint32_t dataBytes, std::uint32_t rate,
                                                    std::uint16_t channels)
{
    const std::uint16_t frameBytes = static_cast<std::uint16_t>(channels * SAMPLE_BITS / 8);
    std::array<std::uint8_t, WAV_HEADER_SIZE> header{};
    PutTag(&header[0], "RIFF");
    Put32(&header[4], RIFF_FIXED_SIZE + dataBytes);
    PutTag(&header[8], "WAVE");
    PutTag(&header[12], "fmt ");
    Put32(&header[16], FORMAT_CHUNK_SIZE);
    Put16(&header[20], PCM_FORMAT);
    Put16(&header[22], channels);
    Put32(&header[24], rate);
    Put32(&header[28], rate * frameBytes);
    Put16(&header[32], frameBytes);
    Put16(&header[34], SAMPLE_BITS);
    PutTag(&header[36], "data");
    Put32(&header[40], dataBytes);
    return header;
}

WavFile::~WavFile()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

bool WavFile::Failed(const char* what)
{
    failed_ = true;
    Error::Report(5, "WavFile::", what, ": Error writing file (", path_.c_str(), ")\n");
    return false;
}

bool WavFile::Create(const std::string& path, std::uint32_t rate, std::uint16_t channels)
{
    path_ = path;
    rate_ = rate;
    channels_ = channels;
    frames_ = 0;
    failed_ = false;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        return Failed("Create");
    const auto header = WavHeader(0, rate_, channels_);
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size())
        return Failed("Create");
    return true;
}

bool WavFile::Append(const std::int16_t* samples, std::size_t frames)
{
    if (file_ == nullptr || failed_)
        return false;
    std::uint8_t bytes[CHUNK_SAMPLES * 2];
    const std::size_t total = frames * channels_;
    for (std::size_t done = 0; done < total;) {
        const std::size_t count = std::min(CHUNK_SAMPLES, total - done);
        for (std::size_t i = 0; i < count; ++i)
            Put16(bytes + 2 * i, static_cast<std::uint16_t>(samples[done + i]));
        if (std::fwrite(bytes, 2, count, file_) != count)
            return Failed("Append");
        done += count;
    }
    frames_ += frames;
    return true;
}

bool WavFile::Close()
{
    if (file_ == nullptr)
        return Failed("Close");
    const std::uint64_t dataBytes = frames_ * channels_ * 2;
    bool written = !failed_ && dataBytes <= std::numeric_limits<std::uint32_t>::max() - RIFF_FIXED_SIZE;
    if (written) {
        const auto header = WavHeader(static_cast<std::uint32_t>(dataBytes), rate_, channels_);
        written = std::fseek(file_, 0, SEEK_SET) == 0 &&
                  std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    }
    // Closing flushes what the stream still buffers: a failure there loses samples too.
    written = std::fclose(file_) == 0 && written;
    file_ = nullptr;
    return written || Failed("Close");
}
