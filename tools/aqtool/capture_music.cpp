// The capture's music library; see capture_music.h. Its error codes are the
// ones the demo's library gives for the same calls.
#include "tools/aqtool/capture_music.h"

#include <algorithm>
#include <new>

#include "tools/audio/pcm.h"

namespace aqtool {

namespace {
constexpr std::uint64_t MILLISECONDS_PER_SECOND = 1000;
}  // namespace

bool CaptureMusic::SetOutput(int outputType)
{
    if (open_)
        return Failed(platform::FSOUND_ERR_BUSY, false);
    if (outputType != platform::FSOUND_OUTPUT_SILENT && outputType != platform::FSOUND_OUTPUT_DEVICE)
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, false);
    output_ = outputType;
    return true;
}

// A capture needs no device: the chosen output always opens.
bool CaptureMusic::Init(int mixRate, int maxChannels, std::uint32_t)
{
    if (open_)
        return Failed(platform::FSOUND_ERR_BUSY, false);
    if (mixRate <= 0 || maxChannels < 0)
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, false);
    channels_ = maxChannels;
    open_ = true;
    return true;
}

void CaptureMusic::Close()
{
    playing_ = nullptr;
    tracks_.clear();
    open_ = false;
}

platform::MusicStream* CaptureMusic::StreamOpenFile(const char* data, std::uint32_t mode, int length)
{
    if (!open_)
        return Failed<MusicStream*>(platform::FSOUND_ERR_UNINITIALIZED, nullptr);
    if ((mode & platform::FSOUND_LOADMEMORY) == 0 || length < 0)
        return Failed<MusicStream*>(platform::FSOUND_ERR_INVALID_PARAM, nullptr);
    if (data == nullptr)
        return Failed<MusicStream*>(platform::FSOUND_ERR_FILE_NOTFOUND, nullptr);
    if (length == 0)
        return Failed<MusicStream*>(platform::FSOUND_ERR_FILE_BAD, nullptr);
    std::unique_ptr<Track> track(new (std::nothrow) Track);
    if (!track)
        return Failed<MusicStream*>(platform::FSOUND_ERR_MEMORY, nullptr);
    if (!track->decoder.Open(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(length)))
        return Failed<MusicStream*>(platform::FSOUND_ERR_FILE_FORMAT, nullptr);
    tracks_.push_back(std::move(track));
    return reinterpret_cast<MusicStream*>(tracks_.back().get());
}

bool CaptureMusic::StreamSetTime(MusicStream* stream, int milliseconds)
{
    if (!open_)
        return Failed(platform::FSOUND_ERR_UNINITIALIZED, false);
    Track* const track = Find(stream);
    // Once playing, the capture's music runs on with its frames.
    if (track == nullptr || milliseconds < 0 || track == playing_)
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, false);
    track->startMilliseconds = milliseconds;
    return true;
}

int CaptureMusic::StreamPlay(int channel, MusicStream* stream)
{
    if (!open_)
        return Failed(platform::FSOUND_ERR_UNINITIALIZED, -1);
    Track* const track = Find(stream);
    if (track == nullptr || playing_ != nullptr || channel < platform::FSOUND_FREE ||
        channel >= std::max(channels_, 1))
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, -1);
    track->toSkip = FrameAt(track->startMilliseconds);
    playing_ = track;
    return channel == platform::FSOUND_FREE ? 0 : channel;
}

bool CaptureMusic::StreamStop(MusicStream* stream)
{
    if (!open_)
        return Failed(platform::FSOUND_ERR_UNINITIALIZED, false);
    const Track* const track = Find(stream);
    if (track == nullptr)
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, false);
    if (track == playing_)
        playing_ = nullptr;
    return true;
}

bool CaptureMusic::StreamClose(MusicStream* stream)
{
    if (!StreamStop(stream))
        return false;
    tracks_.erase(std::find_if(tracks_.begin(), tracks_.end(), [stream](const std::unique_ptr<Track>& track) {
        return reinterpret_cast<MusicStream*>(track.get()) == stream;
    }));
    return true;
}

int CaptureMusic::StreamGetTime(MusicStream* stream)
{
    if (!open_)
        return Failed(platform::FSOUND_ERR_UNINITIALIZED, -1);
    const Track* const track = Find(stream);
    if (track == nullptr)
        return Failed(platform::FSOUND_ERR_INVALID_PARAM, -1);
    if (track != playing_)
        return track->startMilliseconds;
    return static_cast<int>(track->decoded * MILLISECONDS_PER_SECOND / PCM_RATE);
}

bool CaptureMusic::Decode(std::int16_t* samples, std::size_t frames)
{
    std::size_t filled = 0;
    if (playing_ != nullptr) {
        Mp3Stream& decoder = playing_->decoder;
        while (playing_->toSkip > 0 && !decoder.Failed()) {
            const std::size_t dropped = decoder.Read(samples, std::min<std::uint64_t>(frames, playing_->toSkip));
            playing_->toSkip -= dropped;
            playing_->decoded += dropped;
            if (dropped == 0)
                break;
        }
        filled = decoder.Read(samples, frames);
        playing_->decoded += filled;
    }
    std::fill(samples + filled * PCM_CHANNELS, samples + frames * PCM_CHANNELS, std::int16_t{0});
    return playing_ == nullptr || !playing_->decoder.Failed();
}

CaptureMusic::Track* CaptureMusic::Find(MusicStream* stream) const
{
    for (const std::unique_ptr<Track>& track : tracks_) {
        if (reinterpret_cast<MusicStream*>(track.get()) == stream)
            return track.get();
    }
    return nullptr;
}

}  // namespace aqtool
