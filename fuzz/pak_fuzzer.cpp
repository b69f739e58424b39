// libFuzzer target for the archive reader: each input is written as an
// archive file, opened, and every entry it indexes is extracted by entry and
// by name; an input that starts like a zlib stream also goes straight to the
// bounded decoder. Each decode costs a 10 MiB scratch block, which dominates
// the run time, so decodes that cannot reach new paths are not made.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch_file.h"
#include "host/error.h"
#include "pak/pak.h"

namespace {

// Extractions per input; each costs a 10 MiB scratch buffer.
constexpr int MAX_EXTRACTIONS = 8;
constexpr std::uint8_t ZLIB_METHOD_MASK = 0x0F;  // low bits of a zlib stream's first byte
constexpr std::uint8_t ZLIB_DEFLATE = 8;

// Extracts the entries the archive indexes, and reads the first one it serves
// by name as the demo would (later ones take the same path at the same cost).
// Names it does not serve are skipped so that no request wanders off to
// arbitrary files on the disk.
void ExtractEntries(PAK* archive)
{
    int extractions = 0;
    bool readByName = false;
    for (const PAK_Entry* entry = archive->first; entry != nullptr && extractions < MAX_EXTRACTIONS;
         entry = entry->next, ++extractions) {
        delete[] archive->ReadFile(entry);
        const char* const name = entry->file.name;
        if (archive->FindEntry(name) == nullptr)
            continue;
        PAK::FileSize(name);
        if (!readByName) {
            std::size_t length = 0;
            delete[] PAK::ReadFile(name, &length);
            readByName = true;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile archiveFile("pak_fuzzer");
    Error::Reset();
    PAK::CloseAll();
    if (archiveFile.Write(data, size)) {
        if (PAK* const archive = PAK::Open(archiveFile.Path()))
            ExtractEntries(archive);
    }
    if (size > 0 && (data[0] & ZLIB_METHOD_MASK) == ZLIB_DEFLATE) {
        std::uint32_t decodedSize = 0;
        delete[] PAK_Decode(data, &decodedSize, static_cast<std::uint32_t>(size));
    }
    PAK::CloseAll();
    return 0;
}
