// The scene's objects: one for every node of the model, parents first, each
// with the keys that follow the node's curve; a node with triangles gets a
// mesh file of its own, named after it in the scene's objects folder.
#pragma once

#include <string>
#include <vector>

#include "tools/importer/model.h"
#include "tools/importer/names.h"
#include "tools/importer/nodes.h"

struct aiScene;

namespace importer {

class Pictures;

constexpr std::size_t MAX_OBJECTS = 16384;  // nodes of a model; a scene's plain hierarchy costs one evaluation each

// The model's extent in the demo's units at a time: the centre and radius of
// the sphere around its corners' bounding box; radius 0 for a model without
// triangles.
struct Extent {
    Vec3 centre = {};
    double radius = 0.0;
};

Extent ExtentAt(const aiScene& scene, const Nodes& nodes, const Axes& axes, double t);

struct ObjectSources {
    const aiScene& scene;
    const Nodes& nodes;
    const Axes& axes;
    const ImportOptions& options;
    const SceneNames& names;
    const std::string& prefix;  // of every file name the import makes
    double modelSize;           // demo units, for the fit's tolerance
};

// The objects and their meshes into import; false with why when a node's
// curve cannot be keyed or the model has more than MAX_OBJECTS nodes.
bool MakeObjects(const ObjectSources& sources, Pictures& pictures, Import& import, std::string& why);

}  // namespace importer
