// The folder packer: collects and sorts the files, reads each whole and hands
// it to the archive writer. Errors go to the error text.
#include "tools/writers/pakfolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "host/error.h"
#include "platform/uppercase.h"
#include "tools/writers/pakwriter.h"

namespace {

namespace fs = std::filesystem;

struct SourceFile {
    std::string name;  // the entry name: relative path, '\' separated, upper case
    fs::path path;     // where it is read from
};

// ROOT/data/intro/scenes/cut1.scn is stored as "DATA\INTRO\SCENES\CUT1.SCN".
std::string ArchiveName(const fs::path& relative)
{
    std::string name = relative.generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    std::transform(name.begin(), name.end(), name.begin(), platform::UpperCaseAscii);
    return name;
}

// Every regular file under root except the archive being written, in
// archive-name order. Two files whose names differ only in case are refused:
// the reader could serve only one of them.
bool CollectFiles(const fs::path& root, const fs::path& output, const char* reporter,
                  std::vector<SourceFile>* files)
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
        Error::Report(4, reporter, ": Couldn't read directory(", root.c_str(), ")\n");
        return false;
    }
    std::sort(files->begin(), files->end(),
              [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    const auto twin = std::adjacent_find(files->begin(), files->end(),
                                         [](const SourceFile& a, const SourceFile& b) { return a.name == b.name; });
    if (twin != files->end()) {
        Error::Report(4, reporter, ": Two files share the entry name(", twin->name.c_str(), ")\n");
        return false;
    }
    return true;
}

bool ReadSourceFile(const fs::path& path, const char* reporter, std::vector<std::uint8_t>* bytes)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size > PAK_MAX_DECODED_SIZE) {
        Error::Report(4, reporter, ": File larger than the 10 MiB an entry may hold(", path.c_str(), ")\n");
        return false;
    }
    std::FILE* const file = error ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Error::Report(4, reporter, ": Couldn't read file(", path.c_str(), ")\n");
        return false;
    }
    bytes->assign(size, 0);
    const bool read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    std::fclose(file);
    if (!read)
        Error::Report(4, reporter, ": Couldn't read file(", path.c_str(), ")\n");
    return read;
}

}  // namespace

bool PakFolder(const std::string& root, const std::string& output, const char* reporter)
{
    std::vector<SourceFile> files;
    if (!CollectFiles(root, output, reporter, &files))
        return false;
    PakWriter writer;
    std::vector<std::uint8_t> bytes;
    for (const SourceFile& file : files) {
        if (!ReadSourceFile(file.path, reporter, &bytes) || !writer.Add(file.name, bytes))
            return false;
    }
    return writer.Write(output);
}
