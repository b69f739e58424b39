// fuzz_seeds: writes the seed corpus of every fuzz target, one folder per
// target under the folder given, for scripts/fuzz.sh.
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/error.h"
#include "tools/fuzzseeds/seeds.h"
#include "tools/writers/bytesfile.h"

namespace {

bool WriteSeeds(const std::filesystem::path& folder, const fuzzseeds::Seeds& seeds)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const auto& seed : seeds) {
        if (error || !WriteBytesFile((folder / seed.first).string(), seed.second))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const bool written = WriteSeeds(root / "tga_fuzzer", fuzzseeds::TgaSeeds()) &&
                         WriteSeeds(root / "jpg_fuzzer", fuzzseeds::JpegSeeds()) &&
                         WriteSeeds(root / "vector_fuzzer", fuzzseeds::MeshSeeds()) &&
                         WriteSeeds(root / "pak_fuzzer", fuzzseeds::ArchiveSeeds());
    if (!written) {
        std::fprintf(stderr, "fuzz_seeds: could not write the seeds under %s\n%s", argv[1], Error::Text());
        return 1;
    }
    return 0;
}
