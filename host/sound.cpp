// Setting up the music library and opening the track from the archive. Runs
// once at start-up, before the window exists; the archive is open if it can be.
#include "host/sound.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "host/aquarium.h"
#include "host/error.h"
#include "pak/pak.h"

platform::MusicStream* gMusicStream = nullptr;
std::uint8_t* gMusicData = nullptr;

namespace {

constexpr int MIX_RATE = 44100;
constexpr int MAX_CHANNELS = 32;
constexpr std::uint32_t INIT_FLAGS = 0;
constexpr std::uint32_t STREAM_MODE = platform::FSOUND_LOADMEMORY | platform::FSOUND_2D;  // 0xA000

// The library's texts by error code, spacing kept as the library has it.
constexpr const char* FMOD_ERROR_NAMES[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output",
    "Failed to allocate a new channel",
    "Recording is not supported on this machine",
    "Windows Media Player not installed so cant play wma or use internet streaming.",
};
constexpr int FMOD_ERROR_NAME_COUNT = sizeof FMOD_ERROR_NAMES / sizeof FMOD_ERROR_NAMES[0];

void ReportFmodError()
{
    Error::Report(3, "Game::SetupSound: FMOD error ", FmodErrorName(platform::FSOUND_GetError()), "\n");
}

bool InitLibrary()
{
    platform::FSOUND_SetOutput(platform::FSOUND_OUTPUT_DEVICE);
    if (platform::FSOUND_Init(MIX_RATE, MAX_CHANNELS, INIT_FLAGS))
        return true;
    platform::FSOUND_SetOutput(platform::FSOUND_OUTPUT_SILENT);
    return platform::FSOUND_Init(MIX_RATE, MAX_CHANNELS, INIT_FLAGS);
}

}  // namespace

const char* FmodErrorName(int code)
{
    return code >= 0 && code < FMOD_ERROR_NAME_COUNT ? FMOD_ERROR_NAMES[code] : "Unknown error";
}

bool Game::SetupSound()
{
    if (!InitLibrary()) {
        ReportFmodError();
        return false;
    }
    Aquarium::RegShutdownCallback(platform::FSOUND_Close);
    return OpenMusic(gMusicStream, gMusicData);
}

bool Game::OpenMusic(platform::MusicStream*& stream, std::uint8_t*& data)
{
    // A missing entry leaves null and 0, which the open below refuses. The
    // stream is told the length of the bytes it has; FileSize is asked as
    // the design asks it, for its messages.
    std::size_t size = 0;
    data = PAK::ReadFile(MUSIC_TRACK, &size);
    PAK::FileSize(MUSIC_TRACK);
    const int length = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
    stream = platform::FSOUND_Stream_OpenFile(reinterpret_cast<const char*>(data), STREAM_MODE, length);
    if (stream == nullptr) {
        ReportFmodError();
        return false;
    }
    return true;
}
