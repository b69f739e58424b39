#include "tools/importer/reader.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "tools/importer/names.h"

namespace importer {

namespace {

constexpr unsigned STEPS =
    aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_FlipUVs | aiProcess_ValidateDataStructure;

}  // namespace

const aiScene* ModelReader::Read(const std::string& path, std::string& why)
{
    const aiScene* const scene = importer_.ReadFile(path, STEPS);
    if (scene == nullptr) {
        why = Printable(importer_.GetErrorString());
        return nullptr;
    }
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || scene->mRootNode == nullptr) {
        why = "the file holds no complete scene";
        return nullptr;
    }
    return scene;
}

}  // namespace importer
