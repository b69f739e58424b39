#include "tools/importer/convert.h"

#include <assimp/scene.h>

#include <cmath>
#include <filesystem>

#include "tools/importer/gltfanimation.h"
#include "tools/importer/nodes.h"
#include "tools/importer/objects.h"
#include "tools/importer/pictures.h"
#include "tools/importer/reader.h"
#include "tools/importer/viewpoint.h"

namespace importer {

namespace {

// The stem of the scene file's name, which begins every file name it makes.
std::string PrefixOf(const SceneNames& names)
{
    const std::size_t slash = names.scene.find_last_of('\\');
    const std::string file = names.scene.substr(slash + 1);
    return SafeStem(file.substr(0, file.size() - 4), "scene").substr(0, MAX_STEM / 2);
}

void CoverFrames(const Nodes& nodes, const ImportOptions& options, double& start, Import& import)
{
    double first = 0.0, last = 0.0;
    start = 0.0;
    if (!nodes.TimeSpan(first, last))
        return;
    start = first;
    const double fps = options.framesPerSecond;
    import.firstFrame = static_cast<std::uint32_t>(std::max(0.0, std::floor(first * fps)));
    import.lastFrame = static_cast<std::uint32_t>(std::max(0.0, std::ceil(last * fps)));
}

}  // namespace

bool ConvertModel(const std::string& path, const SceneNames& names, const ImportOptions& options, Import& import,
                  std::string& why)
{
    ModelReader reader;
    const aiScene* const scene = reader.Read(path, why);
    if (scene == nullptr)
        return false;
    GltfAnimations gltf;
    const GltfReading reading = ReadGltfAnimations(path, gltf, why);
    if (reading == GltfReading::BROKEN) {
        why = "its animations cannot be read: " + why;
        return false;
    }
    const Axes axes(options.scale);
    const Nodes nodes(*scene, reading == GltfReading::READ ? &gltf : nullptr, axes, import.leftOut);
    import.framesPerSecond = options.framesPerSecond;
    double start = 0.0;
    CoverFrames(nodes, options, start, import);
    const Extent extent = ExtentAt(*scene, nodes, axes, start);
    const std::string prefix = PrefixOf(names);
    const ObjectSources objects{
        *scene, nodes, axes, options, names, prefix, extent.radius > 0.0 ? 2.0 * extent.radius : 1.0};
    Pictures pictures(*scene, std::filesystem::path(path).parent_path().string(), names.pictures, prefix);
    if (!MakeObjects(objects, pictures, import, why))
        return false;
    import.pictures = std::move(pictures.Made());
    const ViewSources view{*scene, nodes, axes, options, reading == GltfReading::READ, start, extent};
    return MakeCamera(view, import, why) && MakeLights(view, import, why);
}

}  // namespace importer
