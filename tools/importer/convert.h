// The whole conversion of a model into an import, in the order of its
// passes: read (the library, and a glTF file's own animations), the nodes
// and their curves, the objects with their meshes, materials and pictures,
// the camera, the lights, and the frames the animation covers. Nothing is
// written here (tools/importer/writer.h does that).
#pragma once

#include <string>

#include "tools/importer/model.h"
#include "tools/importer/names.h"

namespace importer {

// The model in the file at path as the scene names says; false, with why
// naming the reason, when it cannot be read or converted.
bool ConvertModel(const std::string& path, const SceneNames& names, const ImportOptions& options, Import& import,
                  std::string& why);

}  // namespace importer
