// aqlisten, for looking at the soundtrack where nobody can hear it:
//   aqlisten wav ARCHIVE OUT.wav                  the decoded track as 16-bit WAV
//   aqlisten picture ARCHIVE SPECTROGRAM.png OUT [FROM TO]
//                                                 the music picture (see picture.h) of
//                                                 seconds FROM to TO, the whole track by default
// tools/music_picture.sh runs both with sox between them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/error.h"
#include "tools/audio/showtrack.h"
#include "tools/listen/picture.h"
#include "tools/writers/bytesfile.h"
#include "tools/writers/wavwriter.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

void Append16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A canonical 44-byte-header PCM WAV of the samples.
std::vector<std::uint8_t> Wav(const Pcm& pcm)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    const auto header = WavHeader(dataBytes, PCM_RATE, PCM_CHANNELS);
    std::vector<std::uint8_t> out(header.begin(), header.end());
    for (const float sample : pcm.samples) {
        const long value = std::lround(sample * 32768.0f);
        Append16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(value > 32767 ? 32767 : value)));
    }
    return out;
}

int Failed()
{
    std::fputs(Error::Text(), stderr);
    return EXIT_FAILED;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool wav = argc == 4 && std::strcmp(argv[1], "wav") == 0;
    const bool picture = (argc == 5 || argc == 7) && std::strcmp(argv[1], "picture") == 0;
    if (!wav && !picture) {
        std::fputs("usage: aqlisten wav ARCHIVE OUT.wav\n"
                   "       aqlisten picture ARCHIVE SPECTROGRAM.png OUT.png [FROM TO]\n",
                   stderr);
        return EXIT_USAGE;
    }
    DecodedTrack track;
    if (!LoadShowTrack(argv[2], &track))
        return Failed();
    if (wav)
        return WriteBytesFile(argv[3], Wav(track.pcm)) ? EXIT_OK : Failed();
    const double fromMs = argc == 7 ? 1000.0 * std::atof(argv[5]) : 0.0;
    const double toMs = argc == 7 ? 1000.0 * std::atof(argv[6]) : MillisecondsAt(track.pcm.Frames());
    return DrawMusicPicture(track.pcm, argv[3], argv[4], fromMs, toMs) ? EXIT_OK : Failed();
}
