// libFuzzer target for the archive reader: each input is written as an
// archive file, opened, and every entry it indexes is extracted by entry and
// by name; the input also goes straight to the bounded decoder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/error.h"
#include "pak/pak.h"

namespace {

// Extractions per input; each costs a 10 MiB scratch buffer.
constexpr int MAX_EXTRACTIONS = 16;

std::string archivePath;  // this process's archive file, removed at exit

void RemoveArchive() { std::remove(archivePath.c_str()); }

const char* ArchivePath()
{
    if (archivePath.empty()) {
        char pattern[] = "/tmp/pak_fuzzer_XXXXXX";
        const int descriptor = mkstemp(pattern);
        if (descriptor < 0)
            std::abort();
        close(descriptor);
        archivePath = pattern;
        std::atexit(RemoveArchive);
    }
    return archivePath.c_str();
}

bool WriteArchive(const std::uint8_t* data, const std::size_t size)
{
    std::FILE* const file = std::fopen(ArchivePath(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Reads the entries the archive indexes; names it does not serve are skipped
// so that no request wanders off to arbitrary files on the disk.
void ExtractEntries(PAK* archive)
{
    int extractions = 0;
    for (const PAK_Entry* entry = archive->first; entry != nullptr && extractions < MAX_EXTRACTIONS;
         entry = entry->next, ++extractions) {
        delete[] archive->ReadFile(entry);
        const char* const name = entry->file.name;
        if (archive->FindEntry(name) == nullptr)
            continue;
        delete[] PAK::ReadFile(name);
        PAK::FileSize(name);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Error::Reset();
    PAK::CloseAll();
    if (WriteArchive(data, size)) {
        if (PAK* const archive = PAK::Open(ArchivePath()))
            ExtractEntries(archive);
    }
    std::uint32_t decodedSize = 0;
    delete[] PAK_Decode(data, &decodedSize, static_cast<std::uint32_t>(size));
    PAK::CloseAll();
    return 0;
}
