// The music pipeline, stage by stage. The encoded file is decoded again as
// the demo will decode it; if the encoder has raised a peak past the true-peak
// ceiling, the limiter ceiling comes down and the track is encoded anew.
#include "tools/datagen/music/music_module.h"

#include <chrono>
#include <cstdio>

#include "host/error.h"
#include "tools/audio/loudness.h"
#include "tools/audio/mp3decode.h"
#include "tools/datagen/music/compose.h"
#include "tools/datagen/music/form.h"
#include "tools/datagen/music/master.h"
#include "tools/datagen/music/render.h"
#include "tools/writers/bytesfile.h"
#include "tools/writers/mp3writer.h"

namespace {

constexpr double FIRST_CEILING_DB = -2.0;
constexpr double TRUE_PEAK_LIMIT_DB = -1.2;  // with a margin under -1 dBTP
constexpr int ENCODE_TRIES = 3;
constexpr int KILOBITS_PER_SECOND = 192;
constexpr int ENCODER_QUALITY = 3;

struct Figures {
    double lufs = 0.0;
    double truePeakDb = 0.0;
    std::size_t clipped = 0;
};

bool Measure(const std::vector<std::uint8_t>& mp3, Figures* figures)
{
    DecodedTrack decoded;
    if (!DecodeMp3(mp3.data(), mp3.size(), &decoded))
        return false;
    figures->lufs = IntegratedLoudness(decoded.pcm);
    figures->truePeakDb = TruePeakDb(decoded.pcm);
    figures->clipped = decoded.clipped;
    return true;
}

// Masters and encodes the rendered mix, lowering the ceiling until the decoded
// track keeps its true peak; empty (reported) on failure.
std::vector<std::uint8_t> MasterAndEncode(const Pcm& mix, Figures* figures)
{
    Mp3Settings settings;
    settings.kilobitsPerSecond = KILOBITS_PER_SECOND;
    settings.quality = ENCODER_QUALITY;
    double ceilingDb = FIRST_CEILING_DB;
    for (int attempt = 0; attempt < ENCODE_TRIES; ++attempt) {
        Pcm master = mix;
        Master(&master, ceilingDb);
        std::vector<std::uint8_t> mp3 = Mp3Encode(master.samples.data(), master.Frames(), settings);
        if (mp3.empty() || !Measure(mp3, figures))
            return {};
        if (figures->truePeakDb <= TRUE_PEAK_LIMIT_DB && figures->clipped == 0)
            return mp3;
        ceilingDb -= figures->truePeakDb - TRUE_PEAK_LIMIT_DB + 0.2;
    }
    Error::Report(1, "WriteMusic: The encoded track keeps passing its true-peak ceiling\n");
    return {};
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool WriteMusic(const std::string& root)
{
    const auto start = std::chrono::steady_clock::now();
    const Score score = ComposeShow();
    Pcm mix;
    if (!RenderInstruments(score, SOUNDFONT_PATH, FrameAt(TRACK_LENGTH_MS), &mix))
        return false;
    RenderEffects(score, &mix);
    const double rendered = SecondsSince(start);
    Figures figures;
    const std::vector<std::uint8_t> mp3 = MasterAndEncode(mix, &figures);
    if (mp3.empty() || !WriteBytesFile(root + "/themusic.mp3", mp3))
        return false;
    std::printf("themusic.mp3: %zu notes, %.1f s, %zu bytes, %.1f LUFS, true peak %.2f dBTP; "
                "rendered in %.1f s, done in %.1f s\n",
                score.notes.size(), TRACK_LENGTH_MS / 1000.0, mp3.size(), figures.lufs, figures.truePeakDb,
                rendered, SecondsSince(start));
    return true;
}
