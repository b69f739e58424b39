// 16-bit PCM WAV files: the canonical 44-byte header, and a file written block
// by block whose header learns its lengths when the file is closed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr std::size_t WAV_HEADER_SIZE = 44;

// The header of a file holding dataBytes of 16-bit samples.
std::array<std::uint8_t, WAV_HEADER_SIZE> WavHeader(std::uint32_t dataBytes, std::uint32_t rate,
                                                    std::uint16_t channels);

// A WAV file being written. Closed by Close, or by destruction (unreported).
class WavFile {
public:
    WavFile() = default;
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // Creates or replaces path, with a header for no samples yet. False
    // (reported) when it cannot be written.
    bool Create(const std::string& path, std::uint32_t rate, std::uint16_t channels);
    // Appends frames frames of channels samples each, little-endian on disk.
    // False (reported) when the write fails.
    bool Append(const std::int16_t* samples, std::size_t frames);
    // Writes the lengths into the header and closes. False (reported) when a
    // write fails or the file was never created.
    bool Close();

    std::uint64_t Frames() const { return frames_; }

private:
    bool Failed(const char* what);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint32_t rate_ = 0;
    std::uint16_t channels_ = 0;
    std::uint64_t frames_ = 0;
    bool failed_ = false;  // a write went wrong; Close reports the file bad
};
