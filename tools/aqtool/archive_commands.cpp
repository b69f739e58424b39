// aqtool's archive commands: pack, list, extract, verify. Reading goes
// through the system's own archive reader, so the tool sees an archive
// exactly as the demo does; the process starts with no archive open.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "platform/uppercase.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/writers/pakwriter.h"

namespace aqtool {

namespace {

namespace fs = std::filesystem;

struct SourceFile {
    std::string name;  // the entry name: relative path, '\' separated, upper case
    fs::path path;     // where it is read from
};

// DIR/data/intro/scenes/cut1.scn is stored as "DATA\INTRO\SCENES\CUT1.SCN".
std::string ArchiveName(const fs::path& relative)
{
    std::string name = DemoName(relative.generic_string());
    std::transform(name.begin(), name.end(), name.begin(), platform::UpperCaseAscii);
    return name;
}

// Every regular file under root except the archive being written, in
// archive-name order. Two files whose names differ only in case are refused:
// the reader could serve only one of them.
bool CollectFiles(const fs::path& root, const fs::path& output, std::vector<SourceFile>* files)
{
    std::error_code error;
    fs::recursive_directory_iterator walk(root, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        // Broken links and the not yet existing output only answer false here.
        std::error_code ignored;
        if (!walk->is_regular_file(ignored) || fs::equivalent(walk->path(), output, ignored))
            continue;
        files->push_back({ArchiveName(walk->path().lexically_relative(root)), walk->path()});
    }
    if (error) {
        Error::Report(3, "aqtool pack: Couldn't read directory(", root.c_str(), ")\n");
        return false;
    }
    std::sort(files->begin(), files->end(),
              [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    const auto twin = std::adjacent_find(files->begin(), files->end(),
                                         [](const SourceFile& a, const SourceFile& b) { return a.name == b.name; });
    if (twin != files->end()) {
        Error::Report(3, "aqtool pack: Two files share the entry name(", twin->name.c_str(), ")\n");
        return false;
    }
    return true;
}

bool ReadSourceFile(const fs::path& path, std::vector<std::uint8_t>* bytes)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size > PAK_MAX_DECODED_SIZE) {
        Error::Report(3, "aqtool pack: File larger than the 10 MiB an entry may hold(", path.c_str(), ")\n");
        return false;
    }
    std::FILE* const file = error ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Error::Report(3, "aqtool pack: Couldn't read file(", path.c_str(), ")\n");
        return false;
    }
    bytes->assign(size, 0);
    const bool read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    std::fclose(file);
    if (!read)
        Error::Report(3, "aqtool pack: Couldn't read file(", path.c_str(), ")\n");
    return read;
}

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
    const fs::path output = arguments[0];
    const fs::path root = arguments[1];
    std::vector<SourceFile> files;
    if (!CollectFiles(root, output, &files))
        return Fail();
    PakWriter writer;
    std::vector<std::uint8_t> bytes;
    for (const SourceFile& file : files) {
        if (!ReadSourceFile(file.path, &bytes) || !writer.Add(file.name, bytes))
            return Fail();
    }
    return writer.Write(output.string()) ? EXIT_OK : Fail();
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
