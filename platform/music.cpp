// Chooses the music backend behind every FSOUND call.
#include "platform/music.h"

#include "platform/sdl_music.h"

namespace platform {

namespace {
MusicBackend* installedMusic = nullptr;  // a test's backend, owned by the test
}

MusicBackend& Music() { return installedMusic ? *installedMusic : RealMusic(); }

void InstallMusic(MusicBackend* backend) { installedMusic = backend; }

bool FSOUND_SetOutput(int outputType) { return Music().SetOutput(outputType); }

bool FSOUND_Init(int mixRate, int maxChannels, std::uint32_t flags)
{
    return Music().Init(mixRate, maxChannels, flags);
}

int FSOUND_GetError() { return Music().GetError(); }

void FSOUND_Close() { Music().Close(); }

MusicStream* FSOUND_Stream_OpenFile(const char* data, std::uint32_t mode, int length)
{
    return Music().StreamOpenFile(data, mode, length);
}

bool FSOUND_Stream_SetTime(MusicStream* stream, int milliseconds)
{
    return Music().StreamSetTime(stream, milliseconds);
}

int FSOUND_Stream_Play(int channel, MusicStream* stream) { return Music().StreamPlay(channel, stream); }

bool FSOUND_Stream_Stop(MusicStream* stream) { return Music().StreamStop(stream); }

bool FSOUND_Stream_Close(MusicStream* stream) { return Music().StreamClose(stream); }

bool FSOUND_SetPaused(int channel, bool paused) { return Music().SetPaused(channel, paused); }

int FSOUND_Stream_GetTime(MusicStream* stream) { return Music().StreamGetTime(stream); }

}  // namespace platform
