// Whole-file writes for the writers.
#include "tools/writers/bytesfile.h"

#include <cstdio>

#include "host/error.h"

bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Error::Report(3, "WriteBytesFile: Error opening file (", path.c_str(), ")\n");
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        Error::Report(3, "WriteBytesFile: Error writing file (", path.c_str(), ")\n");
        return false;
    }
    return true;
}
