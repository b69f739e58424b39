// aqtool's archive commands: pack, list, extract, verify. Reading goes
// through the system's own archive reader, so the tool sees an archive
// exactly as the demo does; the process starts with no archive open.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/writers/pakfolder.h"

namespace aqtool {

namespace {

// The archive the command names, opened by the system's reader.
PAK* OpenArchive(const char* path)
{
    PAK* const archive = PAK::Open(path);
    if (archive == nullptr)
        Fail();
    return archive;
}

// The error text as one line: its messages separated by blanks.
std::string ErrorLine()
{
    std::string line = Error::Text();
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

}  // namespace

int Pack(char* const* arguments)
{
    return PakFolder(arguments[1], arguments[0], "aqtool pack") ? EXIT_OK : Fail();
}

int List(char* const* arguments)
{
    const PAK* const archive = OpenArchive(arguments[0]);
    if (archive == nullptr)
        return EXIT_FAILED;
    for (const PAK_Entry* entry = archive->first; entry != nullptr; entry = entry->next) {
        const PAK_FILE_Entry& record = entry->file;
        std::printf("%s %u %u %u %u\n", record.name, record.size, record.packedSize, record.checksum,
                    record.offset);
    }
    return EXIT_OK;
}

int Extract(char* const* arguments)
{
    const std::string name = DemoName(arguments[1]);
    const char* const outPath = arguments[2];
    if (OpenArchive(arguments[0]) == nullptr)
        return EXIT_FAILED;
    std::size_t size = 0;
    const std::unique_ptr<std::uint8_t[]> data(PAK::ReadFile(name.c_str(), &size));
    if (!data)
        return Fail();
    std::FILE* const out = std::fopen(outPath, "wb");
    if (out == nullptr) {
        Error::Report(3, "aqtool extract: Couldn't create file(", outPath, ")\n");
        return Fail();
    }
    const bool written = std::fwrite(data.get(), 1, size, out) == size;
    if (std::fclose(out) != 0 || !written) {
        Error::Report(3, "aqtool extract: Error writing file(", outPath, ")\n");
        return Fail();
    }
    return EXIT_OK;
}

int Verify(char* const* arguments)
{
    PAK* const archive = OpenArchive(arguments[0]);
    if (archive == nullptr)
        return EXIT_FAILED;
    std::uint32_t entries = 0;
    std::uint32_t bad = 0;
    for (const PAK_Entry* entry = archive->first; entry != nullptr; entry = entry->next, ++entries) {
        Error::Reset();
        // The reader checks the checksum of the packed bytes and the decoded size.
        const std::unique_ptr<std::uint8_t[]> data(archive->ReadFile(entry));
        if (data)
            continue;
        std::fprintf(stderr, "%s: %s\n", entry->file.name, ErrorLine().c_str());
        ++bad;
    }
    if (bad != 0) {
        std::fprintf(stderr, "aqtool verify: %u of %u entries are bad\n", bad, entries);
        return EXIT_FAILED;
    }
    std::printf("%u entries ok\n", entries);
    return EXIT_OK;
}

}  // namespace aqtool
