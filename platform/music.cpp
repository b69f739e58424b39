// Chooses the music backend behind every FSOUND call, makes the play call
// return when the music's first sample is heard, and holds the sound back for
// a picture slower than the play call knew.
#include "platform/music.h"

#include "platform/platform.h"
#include "platform/sdl_music.h"

namespace platform {

namespace {

MusicBackend* installedMusic = nullptr;  // a test's backend, owned by the test

constexpr std::int64_t MICROSECONDS_PER_SECOND = 1000000;
constexpr std::int64_t MILLISECONDS_PER_SECOND = 1000;
// An output that claims more than this is not believed: nothing waits longer.
constexpr std::int64_t LONGEST_WAIT_MICROSECONDS = 500000;
constexpr int STILL_READS = 10000;

// Once a stream that told when it is heard has started: how long after the
// play call returned its first sample was heard, which is the picture latency
// the start allowed for.
struct Following {
    bool active = false;
    std::int64_t heardAfterReturnMicroseconds = 0;
    std::int64_t pictureMicroseconds = -1;  // the frames' latency, smoothed; -1 before the first
};
// The frames' latency jitters from one to the next, by more than the sound
// may follow in the time; what counts is its mean, over half a second or so.
constexpr std::int64_t SMOOTHING = 32;
Following following;

std::int64_t Counter()
{
    std::int64_t counter = 0;
    Os().QueryPerformanceCounter(counter);
    return counter;
}

// Sleeps to within a millisecond of target, then reads the counter until it
// gets there; a counter that stands still for many reads ends the wait.
void WaitUntil(std::int64_t target, std::int64_t frequency)
{
    std::int64_t now = Counter();
    const std::int64_t wholeMilliseconds = (target - now) * MILLISECONDS_PER_SECOND / frequency;
    if (wholeMilliseconds > 1)
        Os().Sleep(static_cast<std::uint32_t>(wholeMilliseconds - 1));
    for (int still = 0; now < target && still < STILL_READS;) {
        const std::int64_t last = now;
        now = Counter();
        still = now == last ? still + 1 : 0;
    }
}

// Waits until the first sample the backend began is heard, less the time a
// picture takes to be seen, as the output tells it, and follows the picture
// from there.
void WaitUntilHeard(MusicBackend& backend)
{
    following.active = false;
    OutputTiming timing;
    std::int64_t frequency = 0;
    if (!backend.StartTiming(timing) || !Os().QueryPerformanceFrequency(frequency) || frequency <= 0)
        return;
    const std::int64_t pictureTicks = Os().PictureLatencyMicroseconds() * frequency / MICROSECONDS_PER_SECOND;
    const std::int64_t heardAt = FirstSampleHeardAt(timing, frequency);
    const std::int64_t target = heardAt - pictureTicks;
    const std::int64_t longest = LONGEST_WAIT_MICROSECONDS * frequency / MICROSECONDS_PER_SECOND;
    const std::int64_t now = Counter();
    if (target - now > longest)
        return;
    if (target > now)
        WaitUntil(target, frequency);
    const std::int64_t returnedAt = target > now ? target : now;
    following = {true, (heardAt - returnedAt) * MICROSECONDS_PER_SECOND / frequency, -1};
}

}  // namespace

MusicBackend& Music() { return installedMusic ? *installedMusic : RealMusic(); }

void InstallMusic(MusicBackend* backend) { installedMusic = backend; }

bool FSOUND_SetOutput(int outputType) { return Music().SetOutput(outputType); }

bool FSOUND_Init(int mixRate, int maxChannels, std::uint32_t flags)
{
    return Music().Init(mixRate, maxChannels, flags);
}

int FSOUND_GetError() { return Music().GetError(); }

void FSOUND_Close()
{
    following.active = false;
    Music().Close();
}

MusicStream* FSOUND_Stream_OpenFile(const char* data, std::uint32_t mode, int length)
{
    return Music().StreamOpenFile(data, mode, length);
}

bool FSOUND_Stream_SetTime(MusicStream* stream, int milliseconds)
{
    return Music().StreamSetTime(stream, milliseconds);
}

std::int64_t FirstSampleHeardAt(const OutputTiming& timing, std::int64_t frequency)
{
    return timing.mixedAt + timing.heardAfterMicroseconds * frequency / MICROSECONDS_PER_SECOND;
}

int FSOUND_Stream_Play(int channel, MusicStream* stream)
{
    const int played = Music().StreamPlay(channel, stream);
    if (played >= 0)
        WaitUntilHeard(Music());
    return played;
}

bool FSOUND_Stream_Stop(MusicStream* stream)
{
    following.active = false;
    return Music().StreamStop(stream);
}

bool FSOUND_Stream_Close(MusicStream* stream)
{
    following.active = false;
    return Music().StreamClose(stream);
}

bool FSOUND_SetPaused(int channel, bool paused) { return Music().SetPaused(channel, paused); }

int FSOUND_Stream_GetTime(MusicStream* stream) { return Music().StreamGetTime(stream); }

void PictureShown()
{
    if (!following.active)
        return;
    const std::int64_t latest = Os().PictureLatencyMicroseconds();
    std::int64_t& picture = following.pictureMicroseconds;
    picture = picture < 0 ? latest : picture + (latest - picture) / SMOOTHING;
    Music().DelaySound(picture - following.heardAfterReturnMicroseconds);
}

}  // namespace platform
