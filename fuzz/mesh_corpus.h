// The pictures that the mesh fuzzer serves from an archive of its own, shared
// with the seed writers whose meshes and archives name them: power-of-two TGA
// and JPEG maps, a bump picture, and a picture of three pixels a side that
// maps refuse.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/writers/jpgwriter.h"
#include "tools/writers/tgawriter.h"

namespace mesh_corpus {

// Archive names, upper case as stored; meshes may name them in any case.
constexpr const char* MAP_TGA = "MAP.TGA";
constexpr const char* MAP_JPG = "MAP.JPG";
constexpr const char* BUMP_TGA = "BUMP.TGA";
constexpr const char* ODD_TGA = "ODD.TGA";

inline std::vector<std::uint8_t> Gradient(std::size_t count, int step)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * step);
    return bytes;
}

inline std::vector<std::uint8_t> TgaOf(std::uint16_t width, std::uint16_t height)
{
    TgaPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels = Gradient(std::size_t{width} * height * 3, 37);
    return TgaEncode(picture);
}

inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> MeshPictures()
{
    std::vector<std::uint8_t> jpeg;
    JpegEncode(Gradient(8 * 8 * 3, 11).data(), 8, 8, JpegPixels::BGR, JpegSettings(), &jpeg);
    return {{MAP_TGA, TgaOf(4, 4)}, {MAP_JPG, jpeg}, {BUMP_TGA, TgaOf(4, 2)}, {ODD_TGA, TgaOf(3, 3)}};
}

}  // namespace mesh_corpus
