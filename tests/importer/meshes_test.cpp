// Meshes of models nobody here wrote, as the importer makes them: corners at
// one position share an atom, every front face of the model faces outward
// in the demo too, a picture becomes one the texture loader takes, and what
// is made loads with the demo's own loaders before it reaches the tree.
#include "tools/importer/meshes.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_directory.h"
#include "tools/importer/pictures.h"
#include "tools/importer/reader.h"
#include "tools/importer/writer.h"

namespace {

using namespace importer;

const std::string MODELS = "/usr/share/assimp/models/";

const aiNode* FirstWithMeshes(const aiNode* node)
{
    if (node->mNumMeshes != 0)
        return node;
    for (unsigned i = 0; i < node->mNumChildren; ++i) {
        if (const aiNode* found = FirstWithMeshes(node->mChildren[i]))
            return found;
    }
    return nullptr;
}

struct Made {
    MeshContent content;
    std::vector<ImportedPicture> pictures;
    std::vector<std::string> leftOut;
};

Made MakeFirstMesh(const std::string& model)
{
    ModelReader reader;
    std::string why;
    const aiScene* scene = reader.Read(MODELS + model, why);
    Made made;
    EXPECT_NE(scene, nullptr) << why;
    if (scene == nullptr)
        return made;
    Pictures pictures(*scene, std::filesystem::path(MODELS + model).parent_path(), "data\\m\\pictures\\", "m");
    const Axes axes(1.0);
    MeshMaker maker(*scene, axes, pictures);
    EXPECT_TRUE(maker.Make(*FirstWithMeshes(scene->mRootNode), made.content, made.leftOut, why)) << why;
    made.pictures = pictures.Made();
    return made;
}

TEST(ImportMeshes, ATexturedBoxSharesItsCornersFacesOutwardAndLoadsWithItsPicture)
{
    const Made box = MakeFirstMesh("glTF2/BoxTextured-glTF-Binary/BoxTextured.glb");
    EXPECT_EQ(box.content.vertices.size(), 8u) << "24 corners at 8 positions";
    ASSERT_EQ(box.content.faces.size(), 12u);
    ASSERT_EQ(box.content.materials.size(), 1u);
    EXPECT_EQ(std::string(box.content.materials[0].colourMapName), "data\\m\\pictures\\m_picture.tga");
    ASSERT_EQ(box.pictures.size(), 1u);
    EXPECT_EQ(box.pictures[0].width, 256) << "211 pixels nearest 256";
    for (const VECTOR_FILE_Face& cell : box.content.faces) {
        const VECTOR_FILE_Vertex& a = box.content.vertices[cell.corners[0]];
        const VECTOR_FILE_Vertex& b = box.content.vertices[cell.corners[1]];
        const VECTOR_FILE_Vertex& c = box.content.vertices[cell.corners[2]];
        // The demo's cell normal against the way out of the box (centred on the origin).
        const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
        EXPECT_GT(n[0] * (a.x + b.x + c.x) + n[1] * (a.y + b.y + c.y) + n[2] * (a.z + b.z + c.z), 0.0f);
    }
    test_support::ScratchDirectory scratch;
    Import import;
    import.objects.push_back({SceneObjectChunk{}, true, "box"});
    import.objects[0].chunk.name = "data\\m\\objects\\m_box.vob";
    import.objects[0].chunk.keys = {ObjectKey()};
    import.camera.keys = {MotionKey()};
    import.meshes.push_back({"data\\m\\objects\\m_box.vob", box.content});
    import.pictures = box.pictures;
    SceneNames names;
    std::string why;
    ASSERT_TRUE(ParseSceneName("data\\m\\scenes\\m.scn", names, why));
    ASSERT_TRUE(WriteImport(import, names, "tree", why)) << why;
    for (const char* file :
         {"tree/data/m/scenes/m.scn", "tree/data/m/objects/m_box.vob", "tree/data/m/pictures/m_picture.tga"})
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("tree"), {}), 1) << "the staging folder is gone";
}

}  // namespace
