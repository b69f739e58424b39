// The system's includes run one way, bottom up: platform/ includes nothing of
// the system's folders; host/'s runtime includes only itself and platform/;
// pak/, image/, scene/, render/ and polygon/ include no part of host/'s
// start-up, which alone may include anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum class Layer { PLATFORM, RUNTIME, SUBSYSTEM, START_UP };

// host/'s start-up: the entry point and everything only it knows.
const std::set<std::string> START_UP = {"main", "demo", "timeline", "scenelists", "handlers", "sound", "globals"};
const std::set<std::string> SUBSYSTEMS = {"pak", "image", "scene", "render", "polygon"};

// "host/demo.cpp" and "host/demo.h" are both part "host/demo".
Layer LayerOf(const std::string& path)
{
    const std::string folder = path.substr(0, path.find('/'));
    const std::string stem = fs::path(path).stem().string();
    if (folder == "platform")
        return Layer::PLATFORM;
    if (folder == "host")
        return START_UP.count(stem) != 0 ? Layer::START_UP : Layer::RUNTIME;
    return Layer::SUBSYSTEM;
}

// The project headers a source file includes, as "folder/file.h".
std::vector<std::string> IncludesOf(const fs::path& file)
{
    static const std::regex include(R"re(\s*#\s*include\s*"([a-z]+/[A-Za-z0-9_]+\.h)".*)re");
    std::vector<std::string> includes;
    std::ifstream in(file);
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, match, include))
            includes.push_back(match[1]);
    }
    return includes;
}

bool MayInclude(Layer from, Layer to)
{
    switch (from) {
    case Layer::PLATFORM:
        return to == Layer::PLATFORM;
    case Layer::RUNTIME:
        return to == Layer::PLATFORM || to == Layer::RUNTIME;
    case Layer::SUBSYSTEM:
        return to != Layer::START_UP;
    case Layer::START_UP:
        return true;
    }
    return false;
}

std::vector<std::string> SystemSources()
{
    std::vector<std::string> sources;
    std::set<std::string> folders = SUBSYSTEMS;
    folders.insert({"platform", "host"});
    for (const std::string& folder : folders) {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(AQUARIUM_SOURCE_DIR) / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".cpp" || extension == ".h")
                sources.push_back(folder + "/" + entry.path().filename().string());
        }
    }
    return sources;
}

TEST(Includes, RunFromTheStartUpDownToThePlatformLayerAndNeverUp)
{
    const std::vector<std::string> sources = SystemSources();
    EXPECT_GT(sources.size(), 100u) << "the system's folders were read";
    for (const std::string& source : sources) {
        for (const std::string& header : IncludesOf(fs::path(AQUARIUM_SOURCE_DIR) / source)) {
            const std::string folder = header.substr(0, header.find('/'));
            if (folder != "platform" && folder != "host" && SUBSYSTEMS.count(folder) == 0)
                continue;
            EXPECT_TRUE(MayInclude(LayerOf(source), LayerOf(header))) << source << " includes " << header;
        }
    }
}

// The globals made before the entry point runs, in the order they are made.
const std::vector<std::string> GLOBALS = {
    "gTimeline",        "gObjectLists",   "gLightLists",     "gEscapeKey",       "gBufferSwap",
    "gClearScreen",     "gOrderTableReset", "gOrderTableDraw", "gPluginRunner",  "gOrderTableSort",
    "gClock",           "gMessagePump",   "gScreenshot",     "gTimelineCarrier", "gFadeScreen",
    "gVectorHandles",   "gAquarium",      "gDefaultMaterial", "gRenderConstants",
};

// The line of file that defines name (a declaration at the start of a line
// that is not extern), or -1.
int DefinitionLine(const std::string& file, const std::string& name)
{
    const std::regex definition("[A-Za-z].*[ *]" + name + R"((\[.*\])?( = .*|\(.*\))?;)");
    std::ifstream in(fs::path(AQUARIUM_SOURCE_DIR) / file);
    int number = 0;
    for (std::string line; std::getline(in, line); ++number) {
        if (line.rfind("extern ", 0) != 0 && std::regex_match(line, definition))
            return number;
    }
    return -1;
}

// One file defines them all, so their order is its order and not the link's.
TEST(Globals, AreDefinedInOnePlaceInTheOrderTheyAreMade)
{
    int previous = -1;
    for (const std::string& name : GLOBALS) {
        const int line = DefinitionLine("host/globals.cpp", name);
        EXPECT_GT(line, previous) << name << " after the one before it";
        previous = line;
    }
    for (const std::string& source : SystemSources()) {
        if (source == "host/globals.cpp")
            continue;
        for (const std::string& name : GLOBALS)
            EXPECT_EQ(DefinitionLine(source, name), -1) << source << " defines " << name;
    }
}

}  // namespace
