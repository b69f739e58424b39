// Writes the seed corpus of the TGA fuzzer into the directory its argument
// names: files of both image types at every depth the loader reads, in both
// row orders, with and without an ID field and colour map; and the broken
// shapes of the picture tests.
#include <cstring>

#include "tools/seeds/seed_files.h"
#include "tools/writers/tgawriter.h"

namespace {

using seed_files::Bytes;
using seed_files::Seeds;

// A picture of runs and single pixels, so run-length files hold both packets.
TgaPicture Picture(std::uint8_t imageType, std::uint8_t bits, std::uint16_t width, std::uint16_t height,
                   bool topFirst)
{
    TgaPicture picture;
    picture.imageType = imageType;
    picture.bits = bits;
    picture.width = width;
    picture.height = height;
    picture.topFirst = topFirst;
    const std::size_t pixelBytes = TgaBytesPerPixel(bits);
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
        for (std::size_t b = 0; b < pixelBytes; ++b)
            picture.pixels.push_back(static_cast<std::uint8_t>(i < 5 ? 7 : i * 29 + b));
    }
    return picture;
}

// A run-length header of the given sides followed by hand-made packet bytes.
Bytes RunLength(std::uint16_t width, std::uint16_t height, const Bytes& packets)
{
    Bytes file = TgaHeader(Picture(TGA_TYPE_RUN_LENGTH, 24, 0, 0, true));
    std::memcpy(file.data() + 12, &width, 2);
    std::memcpy(file.data() + 14, &height, 2);
    file.insert(file.end(), packets.begin(), packets.end());
    return file;
}

void AddSoundTga(Seeds& seeds)
{
    for (const std::uint8_t type : {TGA_TYPE_RAW, TGA_TYPE_RUN_LENGTH}) {
        for (const std::uint8_t bits : {15, 16, 24}) {
            for (const bool topFirst : {false, true}) {
                const std::string name = std::string(type == TGA_TYPE_RAW ? "raw" : "rle") +
                                         std::to_string(bits) + (topFirst ? "_top" : "_bottom") + ".tga";
                seeds.push_back({name, TgaEncode(Picture(type, bits, 9, 5, topFirst))});
            }
        }
    }
    TgaPicture mapped = Picture(TGA_TYPE_RAW, 24, 3, 2, false);
    mapped.id = "seed";
    mapped.colourMapType = 1;
    mapped.colourMapLength = 2;
    mapped.colourMapEntryBits = 24;
    mapped.colourMap = Bytes(6, 9);
    seeds.push_back({"id_and_colour_map.tga", TgaEncode(mapped)});
    seeds.push_back({"empty_picture.tga", TgaEncode(Picture(TGA_TYPE_RAW, 24, 0, 0, true))});
    seeds.push_back({"long_runs.tga", TgaEncode(Picture(TGA_TYPE_RUN_LENGTH, 24, 300, 1, true))});
}

void AddBrokenTga(Seeds& seeds)
{
    Bytes cutRaw = TgaEncode(Picture(TGA_TYPE_RAW, 24, 2, 2, true));
    cutRaw.pop_back();
    Bytes longId = TgaEncode(Picture(TGA_TYPE_RAW, 24, 1, 1, true));
    longId[0] = 200;
    const Seeds broken = {
        {"header_cut.tga", Bytes(17, 0)},
        {"depth32.tga", TgaEncode(Picture(TGA_TYPE_RAW, 32, 2, 2, true))},
        {"depth8.tga", TgaEncode(Picture(TGA_TYPE_RAW, 8, 2, 2, true))},
        {"colour_mapped.tga", TgaEncode(Picture(1, 16, 2, 2, true))},
        {"rle_no_data.tga", RunLength(2, 2, {})},
        {"rle_value_cut.tga", RunLength(2, 2, {0x81, 1, 2, 3, 0x81, 4, 5})},
        {"rle_run_past_picture.tga", RunLength(2, 2, {0x87, 1, 2, 3})},
        {"rle_literal_past_picture.tga", RunLength(2, 2, {0x01, 1, 2, 3, 4, 5, 6, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"huge_in_small_file.tga", RunLength(8192, 8192, {0xFF, 1, 2, 3})},
        {"too_wide.tga", RunLength(8193, 1, {0xFF, 1, 2, 3})},
        {"raw_cut.tga", cutRaw},
        {"id_past_end.tga", longId},
    };
    seeds.insert(seeds.end(), broken.begin(), broken.end());
}

Seeds TgaSeeds()
{
    Seeds seeds;
    AddSoundTga(seeds);
    AddBrokenTga(seeds);
    return seeds;
}

}  // namespace

int main(int argc, char** argv)
{
    return seed_files::WriteSeedFiles(argc, argv, "tga_seeds", TgaSeeds());
}
