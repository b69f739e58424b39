// aqdata, the data generator: aqdata TREE ARCHIVE makes the default data tree
// afresh in the folder TREE and packs it into ARCHIVE. The same program gives
// the same bytes on every run.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "host/error.h"
#include "tools/datagen/content.h"
#include "tools/writers/pakfolder.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// A tree left from an earlier run could hold files no module makes any more.
bool FreshTree(const std::filesystem::path& tree)
{
    std::error_code error;
    std::filesystem::remove_all(tree, error);
    if (!error)
        std::filesystem::create_directories(tree, error);
    if (error)
        Error::Report(3, "aqdata: Couldn't make the data folder(", tree.c_str(), ")\n");
    return !error;
}

int Failed()
{
    std::fputs(Error::Text(), stderr);
    return EXIT_FAILED;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: aqdata TREE ARCHIVE\n", stderr);
        return EXIT_USAGE;
    }
    const std::string tree = argv[1];
    if (!FreshTree(tree))
        return Failed();
    for (const ContentModule& module : ContentModules()) {
        if (!module.write(tree)) {
            Error::Report(3, "aqdata: The ", module.name, " could not be made\n");
            return Failed();
        }
    }
    return PakFolder(tree, argv[2], "aqdata") ? EXIT_OK : Failed();
}
