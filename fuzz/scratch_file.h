// A fuzz target's own file under /tmp, rewritten with each input and removed
// when the process ends, for targets that read their input by name.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

class ScratchFile {
public:
    // Makes the empty file; a process that cannot have one stops at once.
    explicit ScratchFile(const char* prefix)
    {
        std::string pattern = std::string("/tmp/") + prefix + "_XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        if (descriptor < 0)
            std::abort();
        close(descriptor);
        path_ = pattern;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const char* Path() const { return path_.c_str(); }

    // Replaces the file's bytes; false when they cannot all be written.
    bool Write(const std::uint8_t* data, std::size_t size) const
    {
        std::FILE* const file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool written = std::fwrite(data, 1, size, file) == size;
        return std::fclose(file) == 0 && written;
    }

private:
    std::string path_;
};

}  // namespace fuzz
