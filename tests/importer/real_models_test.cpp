// Models nobody here wrote, from Debian's assimp-testmodels, through
// aqtool import as a user runs it: as many objects as the library finds
// nodes and a cell for each triangle it reads that has an area, a scene the
// demo's own loaders
// load and draw into the recording GL library with finite numbers only; and
// broken models refused with a message that names the file and the reason,
// leaving the tree as it was.
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/fuzz_support.h"
#include "tests/scene/scene_fixture.h"
#include "tests/support/aqtool_run.h"
#include "tools/importer/reader.h"

namespace {

const std::string MODELS = "/usr/share/assimp/models/";

struct Counts {
    std::uint32_t objects = 0;
    std::uint32_t triangles = 0;
};

Counts LibraryCounts(const aiScene& scene, const aiNode& node)
{
    Counts counts{1, 0};
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene.mMeshes[node.mMeshes[i]];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3)
                continue;
            const aiVector3D &a = mesh.mVertices[face.mIndices[0]], &b = mesh.mVertices[face.mIndices[1]],
                             &c = mesh.mVertices[face.mIndices[2]];
            counts.triangles += !(a == b || b == c || a == c);  // one that collapses to a line draws nothing
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        const Counts child = LibraryCounts(scene, *node.mChildren[i]);
        counts.objects += child.objects;
        counts.triangles += child.triangles;
    }
    return counts;
}

class RealModels : public scene_test::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        fuzz::SetUpDrawing();
        platform::FakeGLReset();
        platform::FakeGLSetLogging(false);
    }
};

TEST_F(RealModels, EachFormatImportsWithTheLibrarysCountsAndDrawsWithFiniteNumbers)
{
    const char* const MADE_BY_OTHERS[] = {
        "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
        "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
        "Collada/duck.dae",
        "FBX/spider.fbx",
        "OBJ/WusonOBJ.obj",
        "PLY/Wuson.ply",
        "STL/Spider_binary.stl",
        "BLEND/BlenderDefault_276.blend",
        "3DS/RotatingCube.3DS",
    };
    int number = 0;
    for (const char* model : MADE_BY_OTHERS) {
        SCOPED_TRACE(model);
        const std::string scene = "data\\real\\scenes\\real" + std::to_string(++number) + ".scn";
        const test_support::AqtoolOutcome made = test_support::Aqtool({"import", MODELS + model, ".", scene});
        ASSERT_EQ(made.status, 0) << made.err;
        importer::ModelReader reader;
        std::string why;
        const aiScene* const library = reader.Read(MODELS + model, why);
        ASSERT_NE(library, nullptr) << why;
        const Counts expected = LibraryCounts(*library, *library->mRootNode);
        Scene loaded;
        ASSERT_TRUE(loaded.LoadFile(scene.c_str(), 0)) << Error::Text();
        EXPECT_EQ(loaded.objectCount, expected.objects);
        std::uint32_t cells = 0;
        for (std::uint32_t i = 0; i < loaded.objectCount; ++i)
            cells += loaded.objects[i].vector->cellCount;
        EXPECT_EQ(cells, expected.triangles);
        ASSERT_TRUE(fuzz::PlayScene(loaded, {0.0f, 12.5f, 40.0f}));
        EXPECT_GT(platform::FakeGLCallCount(), 0u);
        EXPECT_FALSE(platform::FakeGLSawNonFinite());
    }
}

TEST_F(RealModels, ABrokenModelIsRefusedWithItsReasonAndTheTreeStaysAsItWas)
{
    const std::string cut = "cut.glb";
    {
        std::ifstream in(MODELS + "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() / 2);
    }
    const std::string BROKEN[] = {
        MODELS + "glTF2/RecursiveNodes/RecursiveNodes.gltf",
        MODELS + "glTF2/MissingBin/BoxTextured.gltf",
        MODELS + "glTF2/TestNoRootNode/NoScene.gltf",
        MODELS + "glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf",
        MODELS + "glTF2/wrongTypes/badArray.gltf",
        MODELS + "glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb",
        cut,
        "no such model.gltf",
    };
    for (const std::string& model : BROKEN) {
        SCOPED_TRACE(model);
        const test_support::AqtoolOutcome refused =
            test_support::Aqtool({"import", model, "tree", "data\\b\\scenes\\b.scn"});
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err.rfind("aqtool import: " + model + ": ", 0), 0u) << refused.err;
        EXPECT_GT(refused.err.size(), ("aqtool import: " + model + ": ").size() + 10) << "and why";
        EXPECT_TRUE(!std::filesystem::exists("tree") || std::filesystem::is_empty("tree"));
    }
}

}  // namespace
