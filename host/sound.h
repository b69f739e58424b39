// The music: the library set up with its silent fall-back, its close
// registered for shutdown, and the track opened as a stream from the whole
// file in memory. Start-up positions and plays the stream.
#pragma once

#include <cstdint>

#include "platform/music.h"

// The stream of "themusic.mp3"; null until Game::SetupSound succeeds.
extern platform::MusicStream* gMusicStream;
// The whole file the stream plays from; allocated for the rest of the run.
extern std::uint8_t* gMusicData;

namespace Game {

// Initialises the library on the audio device, else silently on no output,
// registers FSOUND_Close as a shutdown callback and opens the track. False
// with "Game::SetupSound: FMOD error " and the library's error name reported.
bool SetupSound();

}  // namespace Game

// The library's text for an error code; "Unknown error" past the table.
const char* FmodErrorName(int code);
