// The pictures of an import: a model's base colour pictures, embedded in it
// or in files beside it, decoded by stb_image (PNG, JPEG, BMP, TGA, ...) and
// turned into what the demo's texture loader accepts: 24-bit TGA, rows top
// first as the map coordinates expect them, each side a power of two up to
// MAX_SIDE, the alpha channel dropped. Each model picture is made once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/importer/model.h"
#include "tools/importer/names.h"

struct aiScene;

namespace importer {

constexpr int MAX_SIDE = 2048;      // a larger picture is scaled down
constexpr int MAX_DECODED = 16384;  // a picture beyond this on either side is left out

class Pictures {
public:
    // folder is the archive folder of the pictures ("data\mine\pictures\"),
    // prefix the stem every picture name starts with; modelFolder is where
    // the model's own picture paths start.
    Pictures(const aiScene& scene, std::string modelFolder, std::string folder, std::string prefix);

    // The archive name of the demo's picture for the model's picture path
    // ("*0" or a name of an embedded one, else a file), or "" with a line in
    // leftOut when it cannot be read or decoded.
    std::string Use(const std::string& path, std::vector<std::string>& leftOut);

    // The pictures made, in the order they were first used.
    std::vector<ImportedPicture>& Made() { return made_; }

private:
    bool Encoded(const std::string& path, std::vector<unsigned char>& bytes, std::string& why) const;
    bool Make(const std::string& path, ImportedPicture& picture, std::string& why) const;

    const aiScene& scene_;
    const std::string modelFolder_;
    const std::string folder_;
    const std::string prefix_;
    UniqueStems stems_;
    std::map<std::string, std::string> names_;  // model path to archive name, "" when unusable
    std::vector<ImportedPicture> made_;
};

// The power of two nearest to side (in ratio), at most MAX_SIDE.
int PowerOfTwoSide(int side);

}  // namespace importer
