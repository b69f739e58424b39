// Putting an import into the data tree. Every file is first written into a
// staging folder inside the tree and the scene is loaded from there by the
// demo's own loaders, meshes and pictures with it; only a scene they accept
// is moved into place, file by file, so that nothing is half-written and no
// file the loaders refuse ever appears in the tree.
#pragma once

#include <string>

#include "tools/importer/model.h"
#include "tools/importer/names.h"

namespace importer {

// False, with why saying so (the loaders' own messages among it), when a
// file cannot be written or the loaders refuse the scene; the tree is then
// as it was. Changes the working directory only while the loaders run.
bool WriteImport(const Import& import, const SceneNames& names, const std::string& tree, std::string& why);

}  // namespace importer
