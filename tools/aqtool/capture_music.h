// The music library of a capture: the FSOUND calls the demo makes, answered
// without any audio device, and the track decoded (mpg123, as the demo's own
// layer decodes it) from the position playing began at, block by block as
// the capture's frames ask for it. Program thread only; nothing plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/music.h"
#include "tools/audio/mp3decode.h"

namespace aqtool {

class CaptureMusic final : public platform::MusicBackend {
public:
    using MusicStream = platform::MusicStream;

    bool SetOutput(int outputType) override;
    bool Init(int mixRate, int maxChannels, std::uint32_t flags) override;
    int GetError() override { return lastError_; }
    void Close() override;
    MusicStream* StreamOpenFile(const char* data, std::uint32_t mode, int length) override;
    bool StreamSetTime(MusicStream* stream, int milliseconds) override;
    int StreamPlay(int channel, MusicStream* stream) override;
    // Stopping ends the recording of the music; nothing in a capture stops it.
    bool StreamStop(MusicStream* stream) override;
    bool StreamClose(MusicStream* stream) override;
    // The music of a capture runs with its frames: it cannot be held.
    bool SetPaused(int, bool) override { return Failed(platform::FSOUND_ERR_INVALID_PARAM, false); }
    int StreamGetTime(MusicStream* stream) override;

    // True from the start of playing until Close.
    bool Playing() const { return playing_ != nullptr; }
    // Writes the next frames stereo frames of the playing track into samples,
    // silence past its end. False once the track could not be decoded on.
    bool Decode(std::int16_t* samples, std::size_t frames);

private:
    struct Track {
        Mp3Stream decoder;           // reads the caller's bytes, which the demo keeps
        int startMilliseconds = 0;   // where playing begins
        std::uint64_t toSkip = 0;    // frames before the start still to decode and drop
        std::uint64_t decoded = 0;   // frames of the track decoded so far
    };

    template <typename Result>
    Result Failed(int code, Result result)
    {
        lastError_ = code;
        return result;
    }
    Track* Find(MusicStream* stream) const;

    int output_ = platform::FSOUND_OUTPUT_DEVICE;
    bool open_ = false;
    int channels_ = 0;
    int lastError_ = platform::FSOUND_ERR_NONE;
    std::vector<std::unique_ptr<Track>> tracks_;
    Track* playing_ = nullptr;
};

}  // namespace aqtool
