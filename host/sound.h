// The music: the library set up with its silent fall-back, its close
// registered for shutdown, and the track opened as a stream from the whole
// file in memory. Start-up positions and plays the stream.
#pragma once

#include <cstdint>

#include "platform/music.h"

// The track, by its name in the archive or under the working directory.
constexpr const char* MUSIC_TRACK = "themusic.mp3";

// The stream of "themusic.mp3"; null until Game::SetupSound succeeds.
extern platform::MusicStream* gMusicStream;
// The whole file the stream plays from; allocated for the rest of the run.
extern std::uint8_t* gMusicData;

namespace Game {

// Initialises the library on the audio device, else silently on no output,
// registers FSOUND_Close as a shutdown callback and opens the track. False
// with "Game::SetupSound: FMOD error " and the library's error name reported.
bool SetupSound();

// Reads the whole track into data and opens stream on it, for the library
// initialised already. False with the FMOD error reported as SetupSound
// reports it; data then holds what was read, or null. The bytes are the
// caller's and must stay while the stream is open.
bool OpenMusic(platform::MusicStream*& stream, std::uint8_t*& data);

}  // namespace Game

// The library's text for an error code; "Unknown error" past the table.
const char* FmodErrorName(int code);
