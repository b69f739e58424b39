// Timing the start of the music on SDL's audio device. Mixed runs on SDL's
// audio thread with the device locked; everything else on the program thread.
#include "platform/sdl_music_start.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>

namespace platform {

namespace {

constexpr std::int64_t MICROSECONDS_PER_SECOND = 1000000;
// A buffer is 23 ms; a device that has mixed none after this never will.
constexpr int FIRST_MIX_WAIT_MS = 250;
constexpr int CONNECT_TIMEOUT_MS = 500;
constexpr int SERVER_TIMEOUT_MS = 50;
// PulseAudio takes a client's buffer in pieces at its sink's own pace (some
// 6 ms on a null sink), so its latency saws up and down by a piece: its mean
// over more than one piece is the time from a mix to its first sample heard.
constexpr int SERVER_QUESTIONS = 8;
constexpr Uint32 SERVER_QUESTION_SPACING_MS = 1;

bool DriverIs(const char* driver, const char* name) { return driver != nullptr && std::strcmp(driver, name) == 0; }

// SDL's drivers that play nothing anyone hears.
bool IsSilent(const char* driver) { return driver == nullptr || DriverIs(driver, "dummy") || DriverIs(driver, "disk"); }

bool PlaysThroughServer(const char* driver) { return DriverIs(driver, "pulseaudio") || DriverIs(driver, "pipewire"); }

}  // namespace

void MusicStartWatch::Install()
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    rate_ = frequency;
    frameBytes_ = SDL_AUDIO_BITSIZE(format) / 8 * channels;
    started_ = false;
    armed_ = false;
    const char* const driver = SDL_GetCurrentAudioDriver();
    heard_ = !IsSilent(driver) && rate_ > 0 && frameBytes_ > 0;
    if (heard_ && PlaysThroughServer(driver))
        server_.Connect(CONNECT_TIMEOUT_MS);
}

void MusicStartWatch::Remove()
{
    server_.Disconnect();
    heard_ = false;
}

void MusicStartWatch::Arm()
{
    serverLatencyUs_ = heard_ ? MeanServerLatency() : -1;
    started_ = false;
    armed_ = true;
}

void MusicStartWatch::Mixed(int length)
{
    if (frameBytes_ <= 0)
        return;
    const auto now = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    // After the music's part of the mix: playing now, the music was in this
    // buffer from its first frame.
    if (armed_ && Mix_PlayingMusic() && armed_.exchange(false)) {
        firstMixAt_ = now;
        bufferFrames_ = length / frameBytes_;
        clock_.Start(now, static_cast<std::int64_t>(SDL_GetPerformanceFrequency()), rate_);
        started_ = true;
    }
    if (started_)
        clock_.Mixed(now, length / frameBytes_);
}

std::int64_t MusicStartWatch::MeanServerLatency()
{
    std::int64_t sum = 0;
    int answers = 0;
    for (int question = 0; question < SERVER_QUESTIONS; ++question) {
        StreamLatency latency;
        if (!server_.AskStreamLatency(SERVER_TIMEOUT_MS, latency))
            break;
        sum += latency.microseconds;
        ++answers;
        SDL_Delay(SERVER_QUESTION_SPACING_MS);
    }
    return answers > 0 ? sum / answers : -1;
}

bool MusicStartWatch::Timing(OutputTiming& timing) const
{
    if (!heard_)
        return false;
    for (int waited = 0; !started_ && waited < FIRST_MIX_WAIT_MS; ++waited)
        SDL_Delay(1);
    if (!started_)
        return false;
    // Without a server, SDL keeps one buffer in the device ahead of the one it mixes.
    const std::int64_t device = static_cast<std::int64_t>(bufferFrames_) * MICROSECONDS_PER_SECOND / rate_;
    timing = {firstMixAt_, serverLatencyUs_ >= 0 ? serverLatencyUs_ : device};
    return true;
}

}  // namespace platform
