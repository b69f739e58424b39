// aqtool import: a model of another tool's making as one scene of the data
// tree, with its meshes and pictures, and a summary of what was made and
// what was left out.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/aqtool/commands.h"
#include "tools/importer/convert.h"
#include "tools/importer/writer.h"

namespace aqtool {

namespace {

constexpr std::uint32_t MOST_FPS = 1000;

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "aqtool import: %s\n", message.c_str());
    return EXIT_USAGE;
}

bool ReadFps(const char* text, std::uint32_t& fps)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, 10);
    fps = static_cast<std::uint32_t>(value);
    return errno == 0 && *text >= '0' && *text <= '9' && *end == '\0' && value >= 1 && value <= MOST_FPS;
}

bool ReadScale(const char* text, double& scale)
{
    char* end = nullptr;
    scale = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(scale) && scale > 0.0;
}

bool ReadEnd(const std::string& text, std::uint32_t& end)
{
    end = text == "hold" ? END_HOLD : text == "repeat" ? END_REPEAT : 0;
    return end != 0 || text == "none";
}

bool ReadCamera(const char* text, std::string& camera)
{
    camera = text;
    return true;
}

// An option, what its value must be, and how it is read into the options.
struct ImportOption {
    const char* name;
    const char* wants;
    bool (*read)(const char* value, importer::ImportOptions& options);
};

const ImportOption IMPORT_OPTIONS[] = {
    {"--fps", "a whole number from 1 to 1000",
     [](const char* v, importer::ImportOptions& o) { return ReadFps(v, o.framesPerSecond); }},
    {"--scale", "a positive number", [](const char* v, importer::ImportOptions& o) { return ReadScale(v, o.scale); }},
    {"--end", "hold, repeat or none",
     [](const char* v, importer::ImportOptions& o) { return ReadEnd(v, o.endBehaviour); }},
    {"--camera", "a camera's name", [](const char* v, importer::ImportOptions& o) { return ReadCamera(v, o.camera); }},
};

// The options after the three arguments; EXIT_OK or the usage failure.
int ReadImportOptions(char* const* options, importer::ImportOptions& read)
{
    for (; *options != nullptr; options += 2) {
        const std::string name = options[0];
        const ImportOption* option = nullptr;
        for (const ImportOption& known : IMPORT_OPTIONS)
            option = name == known.name ? &known : option;
        if (option == nullptr)
            return Refuse("no option '" + name + "'");
        if (options[1] == nullptr || !option->read(options[1], read))
            return Refuse(name + " wants " + option->wants +
                          (options[1] == nullptr ? "" : ", not '" + std::string(options[1]) + "'"));
    }
    return EXIT_OK;
}

const char* KindName(std::uint32_t kind)
{
    return kind == 1 ? "distant" : kind == 2 ? "point" : "spot";
}

void PrintSummary(const importer::Import& import, const importer::SceneNames& names)
{
    std::size_t meshObjects = 0, keys = import.camera.keys.size();
    for (const importer::ImportedObject& object : import.objects) {
        meshObjects += object.hasMesh;
        keys += object.chunk.keys.size();
    }
    std::printf("scene %s\n", names.scene.c_str());
    std::printf("objects %zu: %zu with a mesh, %zu null\n", import.objects.size(), meshObjects,
                import.objects.size() - meshObjects);
    for (const importer::ImportedMesh& mesh : import.meshes)
        std::printf("mesh %s: %zu atoms, %zu cells, %zu materials\n", mesh.archiveName.c_str(),
                    mesh.content.vertices.size(), mesh.content.faces.size(), mesh.content.materials.size());
    for (const importer::ImportedPicture& picture : import.pictures)
        std::printf("picture %s: %d x %d\n", picture.archiveName.c_str(), picture.width, picture.height);
    for (const SceneLightChunk& light : import.lights) {
        keys += light.keys.size();
        std::printf("light %s: colour %.2f %.2f %.2f, intensity %.2f, range %.1f\n", KindName(light.kind), light.red,
                    light.green, light.blue, light.intensity, light.range);
    }
    std::printf("camera %s, zoom %.3f\n", import.cameraSource.c_str(), import.camera.zoom);
    std::printf("keys %zu, frames %u to %u at %u a second\n", keys, import.firstFrame, import.lastFrame,
                import.framesPerSecond);
    for (const std::string& line : import.leftOut)
        std::printf("left out: %s\n", line.c_str());
}

}  // namespace

int Import(char* const* arguments)
{
    const std::string model = arguments[0], tree = arguments[1];
    importer::ImportOptions options;
    const int usage = ReadImportOptions(arguments + 3, options);
    if (usage != EXIT_OK)
        return usage;
    importer::SceneNames names;
    importer::Import import;
    std::string why;
    if (!importer::ParseSceneName(arguments[2], names, why))
        return Refuse(why);
    if (!importer::ConvertModel(model, names, options, import, why) ||
        !importer::WriteImport(import, names, tree, why)) {
        std::fprintf(stderr, "aqtool import: %s: %s\n", importer::Printable(model).c_str(), why.c_str());
        return EXIT_USAGE;
    }
    PrintSummary(import, names);
    return EXIT_OK;
}

}  // namespace aqtool
