// Writes the seed corpus of the JPEG fuzzer into the directory its argument
// names: baseline and progressive files, colour and grey, at several sizes
// and qualities; and the broken shapes of the picture tests, headers that
// claim sides beyond the loader's bound among them.
#include <cstring>

#include "fuzz/mesh_corpus.h"
#include "tools/seeds/seed_files.h"
#include "tools/writers/jpgwriter.h"

namespace {

using mesh_corpus::Gradient;
using seed_files::Bytes;
using seed_files::Seeds;

Bytes Jpeg(int width, int height, JpegPixels layout, const JpegSettings& settings)
{
    const std::size_t channels = layout == JpegPixels::GREY ? 1 : 3;
    Bytes file;
    JpegEncode(Gradient(std::size_t(width) * height * channels, 13).data(), width, height, layout, settings,
               &file);
    return file;
}

// The file with the sides of its first frame header replaced.
Bytes WithFrameSides(Bytes file, std::uint16_t width, std::uint16_t height)
{
    for (std::size_t i = 0; i + 9 <= file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            const std::uint8_t sides[4] = {std::uint8_t(height >> 8), std::uint8_t(height),
                                           std::uint8_t(width >> 8), std::uint8_t(width)};
            std::memcpy(file.data() + i + 5, sides, sizeof sides);
            break;
        }
    }
    return file;
}

Seeds JpegSeeds()
{
    JpegSettings progressive;
    progressive.progressive = true;
    JpegSettings fine;
    fine.quality = 100;
    fine.fullChroma = true;
    JpegSettings coarse;
    coarse.quality = 5;
    const Bytes baseline = Jpeg(16, 16, JpegPixels::RGB, JpegSettings());
    return {
        {"baseline.jpg", baseline},
        {"progressive.jpg", Jpeg(16, 16, JpegPixels::RGB, progressive)},
        {"grey.jpg", Jpeg(9, 7, JpegPixels::GREY, JpegSettings())},
        {"grey_progressive.jpg", Jpeg(9, 7, JpegPixels::GREY, progressive)},
        {"full_chroma.jpg", Jpeg(17, 3, JpegPixels::BGR, fine)},
        {"coarse.jpg", Jpeg(33, 1, JpegPixels::BGR, coarse)},
        {"one_pixel.jpg", Jpeg(1, 1, JpegPixels::RGB, JpegSettings())},
        {"truncated.jpg", Bytes(baseline.begin(), baseline.begin() + baseline.size() / 2)},
        {"garbage.jpg", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'}},
        {"marker_past_end.jpg", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00, 1, 2, 3, 4}},
        {"empty.jpg", Bytes()},
        {"claims_65500.jpg", WithFrameSides(baseline, 65500, 65500)},
        {"claims_8193.jpg", WithFrameSides(baseline, 8193, 1)},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    return seed_files::WriteSeedFiles(argc, argv, "jpg_seeds", JpegSeeds());
}
