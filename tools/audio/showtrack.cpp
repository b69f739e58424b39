// Reading the track from an archive; an archive opened earlier that also
// holds the music would be read instead, as in the demo.
#include "tools/audio/showtrack.h"

#include <memory>

#include "pak/pak.h"

bool ReadShowMusic(const char* archivePath, std::vector<std::uint8_t>* bytes)
{
    constexpr const char* MUSIC_FILE = "themusic.mp3";
    if (PAK::Open(archivePath) == nullptr)
        return false;
    std::size_t length = 0;
    const std::unique_ptr<std::uint8_t[]> data(PAK::ReadFile(MUSIC_FILE, &length));
    if (!data)
        return false;
    bytes->assign(data.get(), data.get() + length);
    return true;
}

bool LoadShowTrack(const char* archivePath, DecodedTrack* track)
{
    std::vector<std::uint8_t> bytes;
    return ReadShowMusic(archivePath, &bytes) && DecodeMp3(bytes.data(), bytes.size(), track);
}
