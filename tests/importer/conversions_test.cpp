// What the importer makes of a model written here by hand, as glTF: names
// that try to leave the tree or break a field become plain names inside it;
// a picture keeps its orientation (map coordinates 0, 0 at its top left, as
// the demo draws them) at sides of powers of two; a model without a camera
// is framed whole, and one without lights is lit from the camera; a wrong
// option or scene name is a usage error that writes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>

#include "host/aquarium.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "render/animation.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"
#include "tests/support/aqtool_run.h"
#include "tools/writers/bytesfile.h"
#include "tools/writers/pngwriter.h"

namespace {

namespace fs = std::filesystem;

const std::string HOSTILE = std::string("../../evil\\\\C:\\\\x") + std::string(2000, 'n');

// A triangle whose first corner has map coordinates (0, 0), a material with
// a 3 x 2 picture whose top left pixel is red, and a second material whose
// picture lies outside anything readable. Names as hostile as JSON lets them be.
void WriteModel()
{
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const float uvs[6] = {0, 0, 1, 0, 0, 1};
    std::vector<std::uint8_t> buffer(sizeof positions + sizeof uvs);
    std::memcpy(buffer.data(), positions, sizeof positions);
    std::memcpy(buffer.data() + sizeof positions, uvs, sizeof uvs);
    ASSERT_TRUE(WriteBytesFile("triangle.bin", buffer));
    const std::uint8_t pixels[] = {255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};
    ASSERT_TRUE(PngWrite("top red.png", pixels, 3, 2));
    std::ofstream("model.gltf") << R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0, 1]}],
      "nodes": [{"name": ")" << HOSTILE
                                << R"(", "mesh": 0}, {"name": ")" << HOSTILE
                                << R"(", "mesh": 0, "translation": [2, 0, 0]}],
      "meshes": [{"name": "\u0007bell", "primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "material": 0},
                                                     {"attributes": {"POSITION": 0}, "material": 1}]}],
      "materials": [{"name": "../m", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}},
                    {"name": "../m", "pbrMetallicRoughness": {"baseColorTexture": {"index": 1}}}],
      "textures": [{"source": 0}, {"source": 1}],
      "images": [{"uri": "top%20red.png"}, {"uri": "../../../../../../../../proc/nothing/../self/mem"}],
      "buffers": [{"uri": "triangle.bin", "byteLength": 60}],
      "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 24}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3", "min": [0, 0, 0], "max": [1, 1, 0]},
                    {"bufferView": 1, "componentType": 5126, "count": 3, "type": "VEC2"}]})";
}

class Conversions : public scene_test::SceneTest {};

TEST_F(Conversions, HostileNamesBecomePlainNamesInsideTheTreeAndThePictureKeepsItsTopLeft)
{
    WriteModel();
    const test_support::AqtoolOutcome made =
        test_support::Aqtool({"import", "model.gltf", "tree", "data/own/scenes/own.scn"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("left out: picture"), std::string::npos) << made.out;
    const std::set<std::string> outside = {"model.gltf", "triangle.bin", "top red.png", "tree"};
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        EXPECT_EQ(outside.count(entry.path().filename().string()), 1u) << entry.path();
    std::vector<std::string> made_files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator("tree")) {
        if (entry.is_regular_file()) {
            made_files.push_back(fs::relative(entry.path(), "tree").string());
            EXPECT_TRUE(std::regex_match(
                made_files.back(), std::regex(R"(data/own/(scenes|objects|pictures)/own[a-z0-9_]*\.(scn|vob|tga))")))
                << made_files.back();
        }
    }
    EXPECT_EQ(made_files.size(), 4u) << "the scene, two meshes, one picture";
    ASSERT_EQ(chdir("tree"), 0);
    Scene scene;
    ASSERT_TRUE(scene.LoadFile("data\\own\\scenes\\own.scn", 0)) << Error::Text();
    const Vector& mesh = *scene.objects[1].vector;
    ASSERT_EQ(mesh.materialCount, 2u);
    ASSERT_NE(mesh.materials[0].colourMap, nullptr);
    const Texture& picture = *mesh.materials[0].colourMap;
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 2);
    const std::uint8_t* const topLeft = static_cast<const std::uint8_t*>(picture.pixels);
    EXPECT_TRUE(topLeft[2] > 200 && topLeft[0] < 50) << "red: blue, green, red bytes, rows top first";
    const Cell* corner = nullptr;
    for (std::uint32_t i = 0; i < mesh.cellCount; ++i)
        corner = mesh.cells[i].material == &mesh.materials[0] ? &mesh.cells[i] : corner;
    ASSERT_NE(corner, nullptr);
    bool mapsTopLeft = false;
    for (int k = 0; k < 3; ++k)
        mapsTopLeft |= corner->corners[k]->position[0] == 0.0f && corner->corners[k]->position[1] == 0.0f &&
                       corner->uv[2 * k] == 0.0f && corner->uv[2 * k + 1] == 0.0f;
    EXPECT_TRUE(mapsTopLeft) << "the corner at the origin keeps map coordinates (0, 0)";
    ASSERT_EQ(chdir(".."), 0);
}

TEST_F(Conversions, AModelWithoutCameraIsFramedWholeAndOneWithoutLightsIsLitFromTheCamera)
{
    WriteModel();
    ASSERT_EQ(test_support::Aqtool({"import", "model.gltf", "tree", "data/own/scenes/own.scn"}).status, 0);
    ASSERT_EQ(chdir("tree"), 0);
    Scene scene;
    ASSERT_TRUE(scene.LoadFile("data\\own\\scenes\\own.scn", 0)) << Error::Text();
    ASSERT_EQ(chdir(".."), 0);
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.SetViewFromSize();
    AnimateScene(scene, 0.0f);
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        const Vector& mesh = *scene.objects[i].vector;
        for (std::uint32_t a = 0; a < mesh.atomCount; ++a) {
            const float* m = mesh.matrix.m;
            const float* p = mesh.atoms[a].position;
            float c[3];
            for (int row = 0; row < 3; ++row)
                c[row] = m[4 * row] * p[0] + m[4 * row + 1] * p[1] + m[4 * row + 2] * p[2] + m[4 * row + 3];
            ASSERT_GT(c[2], gAquarium.nearPlane);
            const float x = c[0] * gAquarium.xScale / c[2] + gAquarium.centreX,
                        y = c[1] * gAquarium.yScale / c[2] + gAquarium.centreY;
            EXPECT_TRUE(x > 0 && x < 640 && y > 0 && y < 480) << x << ", " << y;
        }
    }
    ASSERT_EQ(scene.lightCount, 1u);
    EXPECT_EQ(scene.lights[0].light->type, Light::DISTANT);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(scene.lights[0].keys[0].value[k], scene.camera->keys[0].value[k])
            << "where the camera is, looking as it looks";
}

TEST_F(Conversions, AWrongOptionOrSceneNameIsAUsageErrorThatWritesNothing)
{
    WriteModel();
    const std::vector<std::vector<std::string>> WRONG = {
        {"--fps", "0"},    {"--fps", "25.5"},   {"--scale", "-1"}, {"--scale", "nan"},
        {"--end", "loop"}, {"--colour", "red"}, {"--camera"},
    };
    for (const std::vector<std::string>& options : WRONG) {
        std::vector<std::string> arguments = {"import", "model.gltf", "tree", "data/own/scenes/own.scn"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const test_support::AqtoolOutcome refused = test_support::Aqtool(arguments);
        EXPECT_EQ(refused.status, 2) << options[0];
        EXPECT_FALSE(refused.err.empty());
    }
    for (const char* scene : {"own.scn", "data/../../own/scenes/own.scn", "data/own/scenes/own.vob"})
        EXPECT_EQ(test_support::Aqtool({"import", "model.gltf", "tree", scene}).status, 2) << scene;
    EXPECT_EQ(
        test_support::Aqtool({"import", "model.gltf", "tree", "data/own/scenes/own.scn", "--camera", "none"}).status,
        2);
    EXPECT_FALSE(fs::exists("tree"));
}

}  // namespace
