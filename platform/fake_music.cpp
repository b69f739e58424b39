// The scripted music library of the tests. Every call is appended to the log;
// the answers come from what the test set in the public fields.
#include "platform/fake_music.h"

namespace platform {

MusicStream* FakeMusic::Stream()
{
    return reinterpret_cast<MusicStream*>(std::uintptr_t{0x5000});
}

bool FakeMusic::SetOutput(int outputType)
{
    log.push_back("SetOutput " + std::to_string(outputType));
    return true;
}

bool FakeMusic::Init(int mixRate, int maxChannels, std::uint32_t flags)
{
    log.push_back("Init " + std::to_string(mixRate) + " " + std::to_string(maxChannels) + " " +
                  std::to_string(flags));
    if (initResults.empty())
        return true;
    const bool result = initResults.front();
    initResults.pop_front();
    return result;
}

int FakeMusic::GetError()
{
    log.push_back("GetError");
    return error;
}

void FakeMusic::Close() { log.push_back("Close"); }

MusicStream* FakeMusic::StreamOpenFile(const char* data, std::uint32_t mode, int length)
{
    log.push_back("Stream_OpenFile " + std::to_string(mode) + " " + std::to_string(length));
    openedNull = data == nullptr;
    if (data != nullptr && length > 0)
        opened.assign(data, data + length);
    else
        opened.clear();
    return openSucceeds ? Stream() : nullptr;
}

bool FakeMusic::StreamSetTime(MusicStream* stream, int milliseconds)
{
    log.push_back("Stream_SetTime " + std::to_string(milliseconds));
    position_ = milliseconds;
    return stream == Stream();
}

int FakeMusic::StreamPlay(int channel, MusicStream* stream)
{
    log.push_back("Stream_Play " + std::to_string(channel));
    return playSucceeds && stream == Stream() ? channel : -1;
}

bool FakeMusic::StreamStop(MusicStream* stream)
{
    log.push_back("Stream_Stop");
    return stream == Stream();
}

bool FakeMusic::StreamClose(MusicStream* stream)
{
    log.push_back("Stream_Close");
    return stream == Stream();
}

bool FakeMusic::SetPaused(int channel, bool paused)
{
    log.push_back("SetPaused " + std::to_string(channel) + " " + std::to_string(paused ? 1 : 0));
    return true;
}

int FakeMusic::StreamGetTime(MusicStream* stream) { return stream == Stream() ? position_ : -1; }

bool FakeMusic::StartTiming(OutputTiming& answer)
{
    ++timingAsked;
    if (heard)
        answer = timing;
    return heard;
}

}  // namespace platform
