// Seed inputs for the fuzz targets, made by the project's writers: sound files
// of every kind each reader accepts, and the damaged shapes the tests build.
// Each seed is a file name (saying what it is) and its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fuzzseeds {

using Bytes = std::vector<std::uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

Seeds TgaSeeds();      // tga_fuzzer: whole TGA files
Seeds JpegSeeds();     // jpg_fuzzer: whole JPEG files
Seeds MeshSeeds();     // vector_fuzzer: whole mesh files
Seeds ArchiveSeeds();  // pak_fuzzer: whole archives

}  // namespace fuzzseeds
