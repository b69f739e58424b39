// The real music library: SDL2_mixer playing MP3 streams from memory through
// its mpg123 decoder, on the audio device or on SDL's silent "dummy" driver.
// Every call runs on the program thread; SDL_mixer mixes on its audio thread.
#include "platform/sdl_music.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "platform/sdl_music_start.h"
#include "platform/sound_delay.h"

namespace platform {

struct MusicStream {
    Mix_Music* music = nullptr;  // owned; decodes from the caller's buffer
    int startMilliseconds = 0;   // where the next play begins
};

namespace {

// At 44.1 kHz 1024 frames are 23 ms. The play call waits out what the output
// holds; a larger buffer would make the sound server's word on it coarser.
constexpr int BUFFER_FRAMES = 1024;
constexpr int OUTPUT_CHANNELS = 2;
constexpr int PLAY_ONCE = 1;
constexpr int NO_FADE = 0;
constexpr double MILLISECONDS_PER_SECOND = 1000.0;
// The longest the sound waits for a slow picture: a tenth of a second is a
// picture at 15 frames a second, past which the show is no longer smooth.
constexpr std::int64_t LONGEST_DELAY_MICROSECONDS = 100000;

// ID3v2: "ID3", version, flags, a 28-bit size in four 7-bit bytes; the footer
// flag adds ten bytes.
constexpr std::size_t ID3_HEADER_SIZE = 10;
constexpr std::uint8_t ID3_FOOTER_FLAG = 0x10;

// The tag that may precede the first frame, or 0.
std::size_t Id3TagLength(const std::uint8_t* bytes, std::size_t length)
{
    if (length < ID3_HEADER_SIZE || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3')
        return 0;
    std::size_t size = 0;
    for (std::size_t i = 6; i < ID3_HEADER_SIZE; ++i)
        size = (size << 7) | (bytes[i] & 0x7Fu);
    const std::size_t footer = (bytes[5] & ID3_FOOTER_FLAG) ? ID3_HEADER_SIZE : 0;
    return ID3_HEADER_SIZE + size + footer;
}

// An MPEG audio layer III frame header: 11 sync bits, a defined version, layer
// III, a bit rate other than "bad" and a defined sample rate.
bool IsLayer3FrameHeader(const std::uint8_t* header)
{
    const unsigned version = (header[1] >> 3) & 3u;
    const unsigned layer = (header[1] >> 1) & 3u;
    const unsigned bitRate = header[2] >> 4;
    const unsigned sampleRate = (header[2] >> 2) & 3u;
    return header[0] == 0xFF && (header[1] & 0xE0) == 0xE0 && version != 1 && layer == 1 &&
           bitRate != 15 && sampleRate != 3;
}

// True when the bytes begin like an MP3 file: a frame, or an ID3v2 tag and a frame.
bool LooksLikeMp3(const std::uint8_t* bytes, std::size_t length)
{
    const std::size_t frame = Id3TagLength(bytes, length);
    return frame < length && length - frame >= 4 && IsLayer3FrameHeader(bytes + frame);
}

// Output 0 is always the silent driver; output 2 is whatever SDL chooses
// (SDL_AUDIODRIVER may still name one).
void ChooseDriver(int outputType)
{
    if (outputType == FSOUND_OUTPUT_SILENT)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
}

class SdlMusic final : public MusicBackend {
public:
    bool SetOutput(int outputType) override
    {
        if (open_)
            return Failed(FSOUND_ERR_BUSY, false);
        if (outputType != FSOUND_OUTPUT_SILENT && outputType != FSOUND_OUTPUT_DEVICE)
            return Failed(FSOUND_ERR_INVALID_PARAM, false);
        output_ = outputType;
        return true;
    }

    bool Init(int mixRate, int maxChannels, std::uint32_t) override
    {
        if (open_)
            return Failed(FSOUND_ERR_BUSY, false);
        if (mixRate <= 0 || maxChannels < 0)
            return Failed(FSOUND_ERR_INVALID_PARAM, false);
        ChooseDriver(output_);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return Failed(FSOUND_ERR_INIT, false);
        if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0 ||
            Mix_OpenAudioDevice(mixRate, AUDIO_S16SYS, OUTPUT_CHANNELS, BUFFER_FRAMES, nullptr, 0) != 0) {
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return Failed(FSOUND_ERR_INIT, false);
        }
        Mix_AllocateChannels(maxChannels);
        start_.Install();
        delay_.Reserve(start_.Rate(), LONGEST_DELAY_MICROSECONDS);
        Mix_SetPostMix(PostMix, this);
        channels_ = maxChannels;
        open_ = true;
        return true;
    }

    int GetError() override { return lastError_; }

    void Close() override
    {
        if (!open_)
            return;
        Mix_HaltMusic();
        for (const std::unique_ptr<MusicStream>& stream : streams_)
            Mix_FreeMusic(stream->music);
        streams_.clear();
        playing_ = nullptr;
        Mix_SetPostMix(nullptr, nullptr);
        start_.Remove();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

    MusicStream* StreamOpenFile(const char* data, std::uint32_t mode, int length) override
    {
        if (!open_)
            return Failed<MusicStream*>(FSOUND_ERR_UNINITIALIZED, nullptr);
        if ((mode & FSOUND_LOADMEMORY) == 0 || length < 0)
            return Failed<MusicStream*>(FSOUND_ERR_INVALID_PARAM, nullptr);
        if (data == nullptr)
            return Failed<MusicStream*>(FSOUND_ERR_FILE_NOTFOUND, nullptr);
        if (length == 0)
            return Failed<MusicStream*>(FSOUND_ERR_FILE_BAD, nullptr);
        if (!LooksLikeMp3(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(length)))
            return Failed<MusicStream*>(FSOUND_ERR_FILE_FORMAT, nullptr);
        return Load(data, length);
    }

    bool StreamSetTime(MusicStream* stream, int milliseconds) override
    {
        if (!open_)
            return Failed(FSOUND_ERR_UNINITIALIZED, false);
        if (!Owns(stream) || milliseconds < 0)
            return Failed(FSOUND_ERR_INVALID_PARAM, false);
        stream->startMilliseconds = milliseconds;
        if (IsPlaying(stream) && Mix_SetMusicPosition(milliseconds / MILLISECONDS_PER_SECOND) != 0)
            return Failed(FSOUND_ERR_PLAY, false);
        return true;
    }

    int StreamPlay(int channel, MusicStream* stream) override
    {
        if (!open_)
            return Failed(FSOUND_ERR_UNINITIALIZED, -1);
        if (!Owns(stream) || channel < FSOUND_FREE || channel >= std::max(channels_, 1))
            return Failed(FSOUND_ERR_INVALID_PARAM, -1);
        // Whatever played stops first, so that the first mix with music playing
        // is the new one's. Positioned before the mixer first runs, so nothing
        // of the start is heard.
        Mix_HaltMusic();
        playing_ = nullptr;
        delay_.Reset();
        start_.Arm();
        if (Mix_FadeInMusicPos(stream->music, PLAY_ONCE, NO_FADE,
                               stream->startMilliseconds / MILLISECONDS_PER_SECOND) != 0)
            return Failed(FSOUND_ERR_PLAY, -1);
        playing_ = stream;
        playingChannel_ = channel == FSOUND_FREE ? 0 : channel;
        return playingChannel_;
    }

    bool StreamStop(MusicStream* stream) override
    {
        if (!open_)
            return Failed(FSOUND_ERR_UNINITIALIZED, false);
        if (!Owns(stream))
            return Failed(FSOUND_ERR_INVALID_PARAM, false);
        if (playing_ == stream) {
            Mix_HaltMusic();
            playing_ = nullptr;
        }
        return true;
    }

    bool StreamClose(MusicStream* stream) override
    {
        if (!StreamStop(stream))
            return false;
        Mix_FreeMusic(stream->music);
        streams_.erase(std::find_if(streams_.begin(), streams_.end(),
                                    [stream](const std::unique_ptr<MusicStream>& own) { return own.get() == stream; }));
        return true;
    }

    bool SetPaused(int channel, bool paused) override
    {
        if (!open_)
            return Failed(FSOUND_ERR_UNINITIALIZED, false);
        if (playing_ == nullptr || channel != playingChannel_)
            return Failed(FSOUND_ERR_INVALID_PARAM, false);
        if (paused)
            Mix_PauseMusic();
        else
            Mix_ResumeMusic();
        return true;
    }

    bool StartTiming(OutputTiming& timing) override { return open_ && playing_ != nullptr && start_.Timing(timing); }

    // Also as far as the device's clock ran ahead of the counter since the start.
    void DelaySound(std::int64_t microseconds) override { delay_.Aim(microseconds + start_.AheadMicroseconds()); }

    int StreamGetTime(MusicStream* stream) override
    {
        if (!open_)
            return Failed(FSOUND_ERR_UNINITIALIZED, -1);
        if (!Owns(stream))
            return Failed(FSOUND_ERR_INVALID_PARAM, -1);
        if (!IsPlaying(stream))
            return stream->startMilliseconds;
        return static_cast<int>(Mix_GetMusicPosition(stream->music) * MILLISECONDS_PER_SECOND);
    }

private:
    // SDL_mixer's hook after every mix, on its audio thread with the device
    // locked; the device plays 16-bit stereo, as opened.
    static void PostMix(void* userdata, std::uint8_t* stream, int length)
    {
        SdlMusic& music = *static_cast<SdlMusic*>(userdata);
        music.start_.Mixed(length);
        music.delay_.Process(reinterpret_cast<std::int16_t*>(stream),
                             length / static_cast<int>(OUTPUT_CHANNELS * sizeof(std::int16_t)));
    }

    // Records code as the last error and answers result.
    template <typename Result>
    Result Failed(int code, Result result)
    {
        lastError_ = code;
        return result;
    }

    MusicStream* Load(const char* data, int length)
    {
        std::unique_ptr<MusicStream> stream(new (std::nothrow) MusicStream);
        SDL_RWops* const source = stream ? SDL_RWFromConstMem(data, length) : nullptr;
        if (source == nullptr)
            return Failed<MusicStream*>(FSOUND_ERR_MEMORY, nullptr);
        stream->music = Mix_LoadMUSType_RW(source, MUS_MP3, SDL_TRUE);  // frees source
        if (stream->music == nullptr)
            return Failed<MusicStream*>(FSOUND_ERR_FILE_BAD, nullptr);
        streams_.push_back(std::move(stream));
        return streams_.back().get();
    }

    bool Owns(const MusicStream* stream) const
    {
        return std::any_of(streams_.begin(), streams_.end(),
                           [stream](const std::unique_ptr<MusicStream>& own) { return own.get() == stream; });
    }

    bool IsPlaying(const MusicStream* stream) const { return playing_ == stream && Mix_PlayingMusic(); }

    int output_ = FSOUND_OUTPUT_DEVICE;
    bool open_ = false;
    int channels_ = 0;
    int lastError_ = FSOUND_ERR_NONE;
    std::vector<std::unique_ptr<MusicStream>> streams_;
    const MusicStream* playing_ = nullptr;  // the stream last started, until stopped
    int playingChannel_ = 0;                // the channel its play answered
    MusicStartWatch start_;                 // when what plays is heard
    SoundDelay delay_;                      // holds the sound back for a slow picture
};

}  // namespace

// Never destroyed: the host closes it through its shutdown callback, and SDL's
// own exit handling releases the device of a process that did not.
MusicBackend& RealMusic()
{
    static SdlMusic* const music = new SdlMusic;
    return *music;
}

}  // namespace platform
