// The soundtrack as the demo hears it: "themusic.mp3" read through the
// system's archive reader and decoded as the music layer decodes it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/audio/mp3decode.h"

// Opens the archive and reads the music file whole. False (reported) on failure.
bool ReadShowMusic(const char* archivePath, std::vector<std::uint8_t>* bytes);

// Opens the archive and decodes its music. False (reported) on failure.
bool LoadShowTrack(const char* archivePath, DecodedTrack* track);
