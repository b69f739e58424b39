// Reading a model through the Open Asset Import Library: any format it
// knows, triangulated, points and lines split from the triangles, map
// coordinates with their origin at the picture's top left as the demo's are,
// and checked by the library's own validation. The scene stays the
// reader's.
#pragma once

#include <assimp/Importer.hpp>

#include <string>

struct aiScene;

namespace importer {

class ModelReader {
public:
    // The model in the file at path, or null with why saying what the library
    // found wrong (or that the file holds no scene).
    const aiScene* Read(const std::string& path, std::string& why);

private:
    Assimp::Importer importer_;
};

}  // namespace importer
