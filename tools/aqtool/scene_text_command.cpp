// aqtool scene-text and scene-build: a scene file as JSON text that a person
// can read and edit, and that text built back into the file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/error.h"
#include "pak/pak.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/scene_text.h"
#include "tools/writers/bytesfile.h"

namespace aqtool {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The library names its errors with a prefix of its own ("[json.exception.
// parse_error.101] "); a person needs only what follows it.
const char* WithoutPrefix(const char* message)
{
    const char* const end = message[0] == '[' ? std::strchr(message, ']') : nullptr;
    return end != nullptr && end[1] == ' ' ? end + 2 : message;
}

// The JSON document in the file at path ("-": standard input); nullopt when
// it cannot be read or parsed, with the reason printed.
std::optional<Json> ReadText(const char* path)
{
    const bool standardInput = std::strcmp(path, "-") == 0;
    std::unique_ptr<std::FILE, FileCloser> opened(standardInput ? nullptr : std::fopen(path, "rb"));
    std::FILE* const file = standardInput ? stdin : opened.get();
    if (file == nullptr) {
        std::fprintf(stderr, "aqtool scene-build: cannot open %s: %s\n", path, std::strerror(errno));
        return std::nullopt;
    }
    try {
        return Json::parse(file);
    } catch (const Json::parse_error& error) {
        std::fprintf(stderr, "aqtool scene-build: %s: %s\n", path, WithoutPrefix(error.what()));
        return std::nullopt;
    }
}

}  // namespace

int SceneText(char* const* arguments)
{
    const std::string name = DemoName(arguments[0]);
    if (!OpenDemoArchive())
        return Fail();
    std::size_t length = 0;
    std::unique_ptr<std::uint8_t[]> buffer(PAK::ReadFile(name.c_str(), &length));
    if (buffer == nullptr) {
        Error::Report(3, "aqtool scene-text: cannot read ", name.c_str(), "\n");
        return Fail();
    }
    std::string failure;
    const std::optional<Json> text = SceneFileText({buffer.get(), buffer.get() + length}, failure);
    if (!text) {
        std::fprintf(stderr, "aqtool scene-text: %s: %s\n", name.c_str(), failure.c_str());
        return EXIT_FAILED;
    }
    return PrintJson(*text, SCENE_TEXT_LAYOUT) ? EXIT_OK : EXIT_FAILED;
}

int SceneBuild(char* const* arguments)
{
    const std::optional<Json> text = ReadText(arguments[0]);
    if (!text)
        return EXIT_USAGE;
    std::string mistake;
    const std::optional<std::vector<std::uint8_t>> file = BuildSceneFile(*text, mistake);
    if (!file) {
        std::fprintf(stderr, "aqtool scene-build: %s: %s\n", arguments[0], mistake.c_str());
        return EXIT_USAGE;
    }
    return WriteBytesFile(arguments[1], *file) ? EXIT_OK : Fail();
}

}  // namespace aqtool
