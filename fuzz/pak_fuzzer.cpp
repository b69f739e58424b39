// libFuzzer target for the archive reader: each input is written as an
// archive file, opened, and every entry it indexes is extracted by entry and
// by name; the input also goes straight to the bounded decoder.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch_file.h"
#include "host/error.h"
#include "pak/pak.h"

namespace {

// Extractions per input; each costs a 10 MiB scratch buffer.
constexpr int MAX_EXTRACTIONS = 16;

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
        std::size_t length = 0;
        delete[] PAK::ReadFile(name, &length);
        PAK::FileSize(name);
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
    std::uint32_t decodedSize = 0;
    delete[] PAK_Decode(data, &decodedSize, static_cast<std::uint32_t>(size));
    PAK::CloseAll();
    return 0;
}
