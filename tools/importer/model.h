// What an import makes of a model before anything is written: the demo's
// scene records, mesh contents and picture files, in the demo's axes and
// with their archive names, and what was left out of the model and why.
// The writer checks it against the loaders and puts it into the tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/keys.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/scenewriter.h"

namespace importer {

// How the user asked for the import.
struct ImportOptions {
    std::uint32_t framesPerSecond = 25;
    std::string camera;                     // a camera's node name; empty: the model's first
    double scale = 1.0;                     // lengths of the model times this
    std::uint32_t endBehaviour = END_HOLD;  // of every track past the animation's end
};

struct ImportedMesh {
    std::string archiveName;  // "data\mine\objects\mine_cube.vob"
    MeshContent content;
};

struct ImportedPicture {
    std::string archiveName;  // "data\mine\pictures\mine_wood.tga"
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> file;  // the whole TGA file
};

// One object of the scene: a node of the model, with a mesh file or none.
struct ImportedObject {
    SceneObjectChunk chunk;  // links are object indices
    bool hasMesh = false;    // "VOBJ", else "NULL"
    std::string nodeName;    // as the model calls it, for the summary
};

struct Import {
    std::uint32_t framesPerSecond = 25;
    std::uint32_t firstFrame = 0;
    std::uint32_t lastFrame = 0;
    std::vector<ImportedObject> objects;
    std::vector<SceneLightChunk> lights;
    SceneCameraChunk camera;
    std::string cameraSource;  // the model's camera, or what stands in for it
    std::vector<ImportedMesh> meshes;
    std::vector<ImportedPicture> pictures;
    std::vector<std::string> leftOut;  // one line each: what and why
};

}  // namespace importer
