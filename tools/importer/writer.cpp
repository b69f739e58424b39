#include "tools/importer/writer.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "scene/scenerecords.h"
#include "tools/writers/bytesfile.h"

namespace importer {

namespace {

namespace fs = std::filesystem;

struct File {
    std::string archiveName;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> SceneBytes(const Import& import)
{
    SceneWriter scene;
    scene.header.freeText = "Imported by aqtool import";
    scene.header.firstFrame = import.firstFrame;
    scene.header.lastFrame = import.lastFrame;
    scene.header.framesPerSecond = import.framesPerSecond;
    for (const ImportedObject& object : import.objects) {
        if (object.hasMesh)
            scene.AddObject(object.chunk);
        else
            scene.AddNull(object.chunk);
    }
    for (const SceneLightChunk& light : import.lights)
        scene.AddLight(light);
    scene.AddCamera(import.camera);
    return scene.Bytes();
}

// The scene last: moved into place after everything it names.
std::vector<File> FilesOf(const Import& import, const SceneNames& names)
{
    std::vector<File> files;
    for (const ImportedPicture& picture : import.pictures)
        files.push_back({picture.archiveName, picture.file});
    for (const ImportedMesh& mesh : import.meshes)
        files.push_back({mesh.archiveName, MeshEncode(MeshLayout(mesh.content))});
    files.push_back({names.scene, SceneBytes(import)});
    return files;
}

bool WriteInto(const std::string& folder, const std::vector<File>& files, std::string& why)
{
    for (const File& file : files) {
        const fs::path path = DiskPath(folder, file.archiveName);
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error || !WriteBytesFile(path.string(), file.bytes)) {
            why = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

// The demo's loaders on the staged scene: archives closed, so every name
// falls back to the staged files.
bool LoadsAsTheDemoLoadsIt(const std::string& staging, const std::string& scene, std::string& why)
{
    std::error_code error;
    const fs::path previous = fs::current_path(error);
    fs::current_path(staging, error);
    if (error) {
        why = "cannot enter " + staging;
        return false;
    }
    PAK::CloseAll();
    Error::Reset();
    bool loaded;
    {
        Scene check;
        loaded = check.LoadFile(scene.c_str(), 0);
    }
    fs::current_path(previous, error);
    if (!loaded)
        why = std::string("the demo's loaders refuse what was made:\n") + Error::Text();
    Error::Reset();
    return loaded;
}

bool MoveInto(const std::string& staging, const std::string& tree, const std::vector<File>& files, std::string& why)
{
    for (const File& file : files) {
        const fs::path target = DiskPath(tree, file.archiveName);
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        fs::rename(DiskPath(staging, file.archiveName), target, error);
        if (error) {
            why = "cannot move " + file.archiveName + " into " + tree + ": " + error.message();
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteImport(const Import& import, const SceneNames& names, const std::string& tree, std::string& why)
{
    std::error_code error;
    fs::create_directories(tree, error);
    std::string staging = DiskPath(tree, ".aqimport-XXXXXX");
    if (error || mkdtemp(staging.data()) == nullptr) {
        why = "cannot make a folder in " + tree;
        return false;
    }
    const std::vector<File> files = FilesOf(import, names);
    const bool done = WriteInto(staging, files, why) && LoadsAsTheDemoLoadsIt(staging, names.scene, why) &&
                      MoveInto(staging, tree, files, why);
    fs::remove_all(staging, error);
    return done;
}

}  // namespace importer
