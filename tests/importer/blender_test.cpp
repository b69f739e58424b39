// A scene exported by Blender (tests/data/blender, made by its script) as
// the demo plays it after aqtool import: the file's samplers read as glTF
// interpolates them, known points of its meshes on the screen where the
// file's own camera puts them, and the animated body where the file's
// curves put it, within 0.1 % of the model's size and 0.25°.
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/aquarium.h"
#include "pak/pak.h"
#include "render/animation.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/importer/gltfanimation.h"
#include "tools/importer/reader.h"

namespace {

using namespace importer;

const std::string MODEL = AQUARIUM_SOURCE_DIR "/tests/data/blender/scene.glb";
constexpr double FPS = 25.0;
constexpr double DEGREE = 3.14159265358979323846 / 180.0;

// Values glTF's interpolation gives the file's samplers, worked out from its
// keys and tangents by hand: the body's translation at frames 10 and 30 and
// its rotation (x, y, z, w) at frame 30.
TEST(BlenderScene, ItsSamplersAreReadWithTheirInterpolationsAndTangents)
{
    GltfAnimations animations;
    std::string why;
    ASSERT_EQ(ReadGltfAnimations(MODEL, animations, why), GltfReading::READ) << why;
    ASSERT_EQ(animations.nodes.size(), 4u);
    const NodeTracks &fin = animations.nodes[0], &body = animations.nodes[1];
    EXPECT_EQ(body.name, "Body");
    EXPECT_EQ(body.translation.interpolation, Interpolation::CUBIC_SPLINE);
    EXPECT_EQ(fin.rotation.interpolation, Interpolation::SPHERICAL_LINEAR);
    EXPECT_EQ(fin.scale.interpolation, Interpolation::STEP);
    const auto at10 = Sample(body.translation, 10 / FPS, {}), at30 = Sample(body.translation, 30 / FPS, {});
    const auto turn30 = Sample(body.rotation, 30 / FPS, {});
    const double expected[] = {-1.325,    0.25,     -0.5,     1.096296,  0.37037,
                               -0.740741, 0.099912, 0.785491, -0.037103, 0.609627};
    const double actual[] = {at10[0], at10[1],   at10[2],   at30[0],   at30[1],
                             at30[2], turn30[0], turn30[1], turn30[2], turn30[3]};
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(actual[i], expected[i], 2e-6) << i;
}

// The model as the file has it, in glTF's own right-handed axes: each
// node's world matrix at a time from the samplers and the rest transforms,
// and the camera's pixel of a world point on 640 x 480.
class FileModel {
public:
    FileModel()
    {
        std::string why;
        scene_ = reader_.Read(MODEL, why);
        ReadGltfAnimations(MODEL, animations_, why);
        std::ifstream in(MODEL, std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::uint32_t length;
        std::memcpy(&length, file.data() + 12, 4);
        yfov_ = nlohmann::json::parse(file.substr(20, length))["cameras"][0]["perspective"]["yfov"].get<double>();
    }

    aiMatrix4x4 World(const char* name, double t) const
    {
        const aiNode* node = scene_->mRootNode->FindNode(name);
        aiMatrix4x4 world;
        for (; node != nullptr; node = node->mParent)
            world = Local(*node, t) * world;
        return world;
    }

    // x, y from the top left; false behind the camera.
    void Pixel(const aiVector3D& world, double& x, double& y) const
    {
        const aiVector3D c = aiMatrix4x4(World("Camera", 0)).Inverse() * world;
        const double focal = 240.0 / std::tan(yfov_ / 2.0);
        x = 320.0 + focal * c.x / -c.z;
        y = 240.0 - focal * c.y / -c.z;
    }

    const aiScene& Scene() const { return *scene_; }

private:
    aiMatrix4x4 Local(const aiNode& node, double t) const
    {
        aiVector3D s, p;
        aiQuaternion q;
        node.mTransformation.Decompose(s, q, p);
        std::array<double, 3> tt = {p.x, p.y, p.z}, ss = {s.x, s.y, s.z};
        std::array<double, 4> rr = {q.x, q.y, q.z, q.w};
        for (const NodeTracks& tracks : animations_.nodes) {
            if (tracks.name == node.mName.C_Str())
                tt = Sample(tracks.translation, t, tt), rr = Sample(tracks.rotation, t, rr),
                ss = Sample(tracks.scale, t, ss);
        }
        const aiMatrix3x3 r = aiQuaternion(float(rr[3]), float(rr[0]), float(rr[1]), float(rr[2])).GetMatrix();
        aiMatrix4x4 local;  // T × R × S
        for (unsigned row = 0; row < 3; ++row) {
            for (unsigned column = 0; column < 3; ++column)
                local[row][column] = r[row][column] * float(ss[column]);
            local[row][3] = float(tt[row]);
        }
        return local;
    }

    ModelReader reader_;
    const aiScene* scene_ = nullptr;
    GltfAnimations animations_;
    double yfov_ = 0.0;
};

struct Imported {
    test_support::ScratchDirectory scratch;
    Scene scene;
    const SceneObject* body = nullptr;
    const SceneObject* fin = nullptr;
};

void ImportAndLoad(Imported& imported)
{
    const test_support::AqtoolOutcome made =
        test_support::Aqtool({"import", MODEL, "tree", "data\\fish\\scenes\\fish.scn"});
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(chdir("tree"), 0);
    PAK::CloseAll();
    ASSERT_TRUE(imported.scene.LoadFile("data\\fish\\scenes\\fish.scn", 0));
    ASSERT_EQ(chdir(".."), 0);
    for (std::uint32_t i = 0; i < imported.scene.objectCount; ++i) {
        const std::string name = imported.scene.objects[i].name;
        imported.body = name == "data\\fish\\objects\\fish_body.vob" ? &imported.scene.objects[i] : imported.body;
        imported.fin = name == "data\\fish\\objects\\fish_fin.vob" ? &imported.scene.objects[i] : imported.fin;
    }
    ASSERT_TRUE(imported.body != nullptr && imported.fin != nullptr);
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.SetViewFromSize();
}

// The demo's pixel of a point of the file's mesh (its own axes) drawn by object.
void DemoPixel(const SceneObject& object, const aiVector3D& p, double& x, double& y)
{
    const float* const m = object.vector->matrix.m;
    const float local[3] = {p.x, p.y, -p.z};
    float c[3];
    for (int row = 0; row < 3; ++row)
        c[row] = m[4 * row] * local[0] + m[4 * row + 1] * local[1] + m[4 * row + 2] * local[2] + m[4 * row + 3];
    x = c[0] * gAquarium.xScale / c[2] + gAquarium.centreX;
    y = c[1] * gAquarium.yScale / c[2] + gAquarium.centreY;
}

TEST(BlenderScene, KnownPointsLandWhereTheFilesCameraPutsThem)
{
    const FileModel file;
    Imported imported;
    ImportAndLoad(imported);
    const aiVector3D corner(1, 1, 1), farCorner(-1, -1, -1), apex(0, 0.5f, 0);
    // Not on frames 10, 30 and 45: there the fin's scale steps, and the file's
    // float key times fall a hair after the frame.
    for (const double frame : {0.0, 5.0, 12.5, 20.0, 27.5, 32.5, 40.0, 50.0}) {
        AnimateScene(imported.scene, static_cast<float>(frame));
        for (const auto& [object, node, point] :
             {std::tuple{imported.body, "Body", corner}, std::tuple{imported.body, "Body", farCorner},
              std::tuple{imported.fin, "Fin", apex}}) {
            double expectedX, expectedY, x, y;
            file.Pixel(file.World(node, frame / FPS) * point, expectedX, expectedY);
            DemoPixel(*object, point, x, y);
            EXPECT_NEAR(x, expectedX, 1.0) << node << " at frame " << frame;
            EXPECT_NEAR(y, expectedY, 1.0) << node << " at frame " << frame;
        }
    }
}

TEST(BlenderScene, TheAnimatedBodyFollowsTheFilesCurvesWithinTheTolerance)
{
    const FileModel file;
    Imported imported;
    ImportAndLoad(imported);
    const double size = 5.2;  // the diagonal of body and fin at rest
    for (double frame = 0.0; frame <= 50.0; frame += 2.5) {
        AnimateScene(imported.scene, static_cast<float>(frame));
        const aiMatrix4x4 expected = file.World("Body", frame / FPS);
        const float* const m = imported.body->worldMatrix.m;
        // The mirror z -> -z flips the signs of the elements that mix z with x or y.
        const double sign[3][3] = {{1, 1, -1}, {1, 1, -1}, {-1, -1, 1}};
        double distance = 0.0, chord = 0.0;
        for (int row = 0; row < 3; ++row) {
            const double t = m[4 * row + 3] - (row == 2 ? -1.0 : 1.0) * expected[row][3];
            distance += t * t;
            for (int column = 0; column < 3; ++column) {
                const double scale = std::sqrt(double(expected[0][column]) * expected[0][column] +
                                               double(expected[1][column]) * expected[1][column] +
                                               double(expected[2][column]) * expected[2][column]);
                const double d = (m[4 * row + column] - sign[row][column] * expected[row][column]) / scale;
                chord += d * d;
            }
        }
        EXPECT_LT(std::sqrt(distance), 0.001 * size) << "position at frame " << frame;
        EXPECT_LT(2.0 * std::asin(std::sqrt(chord) / (2.0 * std::sqrt(2.0))), 0.25 * DEGREE)
            << "turn at frame " << frame;
    }
}

}  // namespace

namespace {

// Blender's spot light of 800 W at 17.5° to 25°, warm white.
TEST(BlenderScene, TheSpotKeepsItsColourAndCones)
{
    Imported imported;
    ImportAndLoad(imported);
    ASSERT_EQ(imported.scene.lightCount, 1u);
    const Light& spot = *imported.scene.lights[0].light;
    EXPECT_EQ(spot.type, Light::SPOT);
    EXPECT_NEAR(spot.red, 1.0f, 1e-6f);
    EXPECT_NEAR(spot.green, 0.7f, 1e-6f);
    EXPECT_NEAR(spot.blue, 0.35f, 1e-6f);
    EXPECT_NEAR(spot.innerConeCosine, std::cos(17.5 * DEGREE), 1e-6);
    EXPECT_NEAR(spot.outerConeCosine, std::cos(25.0 * DEGREE), 1e-6);
    EXPECT_GT(spot.intensity, 0.5f) << "the only light lights the model's middle";
}

}  // namespace
