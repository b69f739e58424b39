// What the seed writers share: a seed is a file name that says what it is and
// its bytes, and each writer's main hands its seeds to WriteSeedFiles, which
// writes them into the directory its command line names.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "host/error.h"
#include "tools/writers/bytesfile.h"

namespace seed_files {

using Bytes = std::vector<std::uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

// The process's exit status: 0 once every seed is written, 2 without exactly
// one argument, 1 (reported on stderr) when a file cannot be written.
inline int WriteSeedFiles(int argc, char** argv, const char* program, const Seeds& seeds)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", program);
        return 2;
    }
    for (const auto& seed : seeds) {
        if (!WriteBytesFile(std::string(argv[1]) + "/" + seed.first, seed.second)) {
            std::fprintf(stderr, "%s: cannot write the seeds\n%s", program, Error::Text());
            return 1;
        }
    }
    return 0;
}

}  // namespace seed_files
