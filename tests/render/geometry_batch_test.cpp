// The batched mesh swims give the scalar swims' results to the bit, on every
// path the processor has: random meshes (shared atoms, degenerate cells,
// corners behind and across the near plane and off the screen, every
// combination of material flags) under random light lists (every kind,
// static and moving, inactive lights, empty slots, numbers that are no
// numbers), frame after frame and a frame swum twice. A light table whose
// entries are not the three light operations is honoured as the scalar
// path honours it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "render/lighting.h"
#include "scene/scenerecords.h"
#include "tests/support/geometry_twins.h"
#include "tests/support/render_stage.h"

namespace {

using mesh_test::Face;
using mesh_test::Vertex;
using test_support::SwimsAgree;

constexpr float NAN_VALUE = std::numeric_limits<float>::quiet_NaN();
constexpr std::uint32_t MATERIAL_BITS[] = {Material::TRANSPARENT, Material::SMOOTH, Material::ADDITIVE,
                                           Material::ENVIRONMENT, Material::COLOUR_MAP};
constexpr int MATERIAL_KINDS = 1 << 5;
constexpr int FRAMES = 4;

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(engine_); }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

private:
    std::mt19937 engine_;
};

// Most atoms in front of the eye and on the screen; some behind it, on the
// near plane, or far to the side. Neighbours lie alike, so that whole cells
// do.
VECTOR_FILE_Vertex RandomVertex(Random& random, int where)
{
    const float z = where < 3 ? random.Uniform(-3.0f, 1.0f) : where == 3 ? 1.0f : random.Uniform(1.0f, 12.0f);
    const float spread = where == 4 ? 3.0f : 0.5f;
    return Vertex(random.Uniform(-spread, spread) * std::fabs(z), random.Uniform(-spread, spread) * std::fabs(z), z);
}

// Cells over neighbouring atoms, so that atoms are shared; some degenerate.
MeshContent RandomContent(Random& random)
{
    MeshContent content;
    const int atoms = 20 + random.Below(150), cells = 30 + random.Below(300);
    int where = 0;
    for (int i = 0; i < atoms; ++i) {
        where = i % 4 == 0 ? random.Below(20) : where;
        content.vertices.push_back(RandomVertex(random, where));
    }
    for (int i = 0; i < cells; ++i) {
        const auto near = [&](int base) { return static_cast<std::uint32_t>((base + random.Below(6)) % atoms); };
        const int base = random.Below(atoms);
        const std::uint32_t a = near(base), b = random.Chance(0.05) ? a : near(base);
        content.faces.push_back(Face(a, b, near(base), static_cast<std::uint32_t>(random.Below(MATERIAL_KINDS))));
    }
    content.materials.assign(MATERIAL_KINDS, mesh_test::MaterialRecord(0));
    return content;
}

// Material k has the flags of the bits of k; its values clamp some sums.
void SetMaterials(Random& random, Vector& mesh)
{
    for (std::uint32_t k = 0; k < mesh.materialCount; ++k) {
        Material& material = mesh.materials[k];
        material.flags = 0;
        for (int bit = 0; bit < 5; ++bit)
            material.flags |= (k >> bit & 1) != 0 ? MATERIAL_BITS[bit] : 0;
        for (float& channel : material.colour)
            channel = random.Uniform(0.0f, 1.0f);
        material.fourth = random.Uniform(-0.5f, 2.0f);
        material.further[0] = random.Uniform(-0.5f, 1.2f);
    }
}

// Leftovers of earlier frames: bits the swims keep, valid caches, a few
// positions that are no number.
void Disturb(Random& random, Vector& mesh)
{
    for (std::uint32_t i = 0; i < mesh.cellCount; ++i) {
        Cell& cell = mesh.cells[i];
        cell.renderFlags = static_cast<std::uint32_t>(random.Below(1 << 20)) | (random.Chance(0.5) ? 0x80000001u : 0);
        for (float& light : cell.cachedLight)
            light = random.Uniform(-0.2f, 0.8f);
    }
    for (std::uint32_t i = 0; i < mesh.atomCount; ++i) {
        if (random.Chance(0.01))
            mesh.atoms[i].position[random.Below(3)] = NAN_VALUE;
    }
}

void SetRandomMatrix(Random& random, Matrix& matrix)
{
    matrix.SetRotation(random.Uniform(-0.4f, 0.4f), random.Uniform(-0.4f, 0.4f), random.Uniform(-3.2f, 3.2f));
    matrix.m[0] *= random.Uniform(0.8f, 1.25f);
    matrix.m[3] = random.Uniform(-0.5f, 0.5f), matrix.m[7] = random.Uniform(-0.5f, 0.5f);
    matrix.m[11] = random.Uniform(-0.5f, 1.0f);
}

float OrNan(Random& random, float value) { return random.Chance(0.03) ? NAN_VALUE : value; }

void SetRandomLight(Random& random, Light& light)
{
    const std::uint32_t STATIC_FLAGS[] = {0, 1, 3};
    light.isStatic = STATIC_FLAGS[random.Below(3)];
    light.active = random.Chance(0.85) ? 1 : 0;
    light.red = random.Uniform(0.0f, 1.0f), light.green = random.Uniform(0.0f, 1.0f);
    light.blue = random.Uniform(0.0f, 1.0f);
    light.intensity = random.Uniform(0.2f, 2.0f);
    light.range = OrNan(random, random.Uniform(2.0f, 30.0f));
    light.falloff = random.Uniform(0.0f, 0.3f);
    light.outerConeCosine = random.Uniform(0.2f, 0.9f);
    light.innerConeCosine = light.outerConeCosine + random.Uniform(0.0f, 0.09f);
    const float x = random.Uniform(-1.0f, 1.0f), y = random.Uniform(-1.0f, 1.0f), z = random.Uniform(-1.0f, 1.0f);
    const float length = std::sqrt(x * x + y * y + z * z) + 1e-3f;
    light.directionX = OrNan(random, x / length), light.directionY = y / length, light.directionZ = z / length;
    light.matrix.m[3] = random.Uniform(-3.0f, 3.0f), light.matrix.m[7] = random.Uniform(-3.0f, 3.0f);
    light.matrix.m[11] = random.Uniform(-1.0f, 8.0f);
}

// Lights of every kind, some inactive, between empty slots.
struct LightSet {
    std::vector<std::unique_ptr<Light>> lights;
    Fishes list;

    void Add(std::int32_t kind, Random& random)
    {
        lights.push_back(std::make_unique<Light>(kind));
        SetRandomLight(random, *lights.back());
        if (random.Chance(0.2))
            Fishes::InsertObject(&list, EMPTY_SLOT, false);
        Fishes::InsertObject(&list, lights.back().get(), false);
    }
    void AddRandom(Random& random, int count)
    {
        for (int i = 0; i < count; ++i)
            Add(1 + random.Below(3), random);
    }
};

class GeometryBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test_support::SetUpRenderStage();
        ASSERT_FALSE(test_support::BatchedPaths().empty());
    }
    void TearDown() override
    {
        gAquarium.currentLightList = FishList{};
        gAquarium.lightTable[4] = gAquarium.lightTable[5] = nullptr;
    }

    std::unique_ptr<Vector> RandomMesh(Random& random, std::int32_t type)
    {
        std::unique_ptr<Vector> mesh = test_support::BuildMesh(RandomContent(random), type);
        if (!mesh)
            return mesh;
        SetMaterials(random, *mesh);
        Disturb(random, *mesh);
        SetRandomMatrix(random, mesh->matrix);
        mesh->isStatic = random.Chance(0.5) ? 1 : 0;
        return mesh;
    }
    // Frames of mesh under lights, each compared; a moving mesh moves.
    void SwimFrames(Random& random, Vector& mesh, LightSet& lights, const char* what)
    {
        gAquarium.currentLightList = lights.list;
        for (int frame = 0; frame < FRAMES; ++frame) {
            test_support::StartFrame(&terminator_);
            EXPECT_TRUE(SwimsAgree(mesh)) << what << ", frame " << frame;
            Count(mesh);
            if (mesh.isStatic == 0)
                mesh.matrix.m[11] += random.Uniform(-0.3f, 0.3f);
            if (!lights.lights.empty())
                lights.lights[0]->intensity *= 0.9f;
        }
        EXPECT_TRUE(SwimsAgree(mesh)) << what << ", its last frame again";
    }

    // What the frames' cells became, so that the comparisons are known to
    // cover every outcome.
    void Count(const Vector& mesh)
    {
        for (std::uint32_t i = 0; i < mesh.cellCount; ++i) {
            const std::uint32_t flags = mesh.cells[i].renderFlags;
            const bool drawn = (flags & 0x60002) == 0;
            ++outcomes_[(flags & 0x2) != 0 ? "back-facing" : (flags & 0x40000) != 0 ? "all behind"
                        : !drawn ? "off the screen" : (flags & 0x1C) != 0 ? "across the near plane" : "in front"];
        }
    }

    PolygonNode terminator_;
    std::map<std::string, int> outcomes_;
};

TEST_F(GeometryBatchTest, RandomMeshesAndLightsGiveTheScalarResultsFrameAfterFrame)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        Random random(seed);
        for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
            std::unique_ptr<Vector> mesh = RandomMesh(random, type);
            ASSERT_TRUE(mesh);
            LightSet lights;
            lights.AddRandom(random, seed % 7);
            const std::string what = "seed " + std::to_string(seed) + (type == Vector::TYPE ? ", rigid" : ", deforming");
            SwimFrames(random, *mesh, lights, what.c_str());
        }
    }
    for (const char* outcome : {"back-facing", "all behind", "off the screen", "across the near plane", "in front"})
        EXPECT_GT(outcomes_[outcome], 100) << outcome;
}

// Keys of near cells beyond 2^32 wrap as the scalar conversion wraps them.
TEST_F(GeometryBatchTest, DepthKeysOutOfTheirRangeWrapAsTheScalarOnes)
{
    Random random(99);
    gAquarium.nearPlane = 0.01f;
    for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
        std::unique_ptr<Vector> mesh = RandomMesh(random, type);
        ASSERT_TRUE(mesh);
        mesh->matrix.m[11] = -0.9f;
        LightSet lights;
        SwimFrames(random, *mesh, lights, "near");
    }
}

// A light with one field that is no number adds nothing where the scalar
// tests fail, on every lane.
TEST_F(GeometryBatchTest, LightsWithNumbersThatAreNoNumbersGiveTheScalarResults)
{
    Random random(5);
    LightSet lights;
    for (int field = 0; field < 6; ++field) {
        for (const std::int32_t kind : {Light::DISTANT, Light::POINT, Light::SPOT}) {
            lights.Add(kind, random);
            Light& light = *lights.lights.back();
            light.active = 1;
            light.range = 100.0f;
            float* const fields[] = {&light.range, &light.directionX, &light.matrix.m[3], &light.outerConeCosine,
                                     &light.innerConeCosine, &light.falloff};
            *fields[field] = NAN_VALUE;
        }
    }
    for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
        std::unique_ptr<Vector> mesh = RandomMesh(random, type);
        ASSERT_TRUE(mesh);
        SwimFrames(random, *mesh, lights, "no numbers");
    }
}

// Swapped, empty and missing entries are the batches' own business; more
// lights than a batch holds go to the scalar path.
TEST_F(GeometryBatchTest, LightTablesOfOtherShapesAndLongListsGiveTheScalarResults)
{
    Random random(7);
    std::swap(gAquarium.lightTable[Light::DISTANT], gAquarium.lightTable[Light::SPOT]);
    gAquarium.lightTable[Light::POINT] = nullptr;
    LightSet lights;
    lights.AddRandom(random, 6);
    for (const std::int32_t outside : {0, -1, HANDLER_TABLE_SIZE, 4})
        lights.Add(outside, random);
    gAquarium.lightTable[4] = NoOperation<LightFunction>();
    for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
        std::unique_ptr<Vector> mesh = RandomMesh(random, type);
        ASSERT_TRUE(mesh);
        SwimFrames(random, *mesh, lights, "odd table");
    }
    test_support::SetUpRenderStage();
    LightSet many;
    many.AddRandom(random, 40);
    std::unique_ptr<Vector> mesh = RandomMesh(random, Vector::TYPE);
    ASSERT_TRUE(mesh);
    SwimFrames(random, *mesh, many, "forty lights");
}

int ownLightCalls = 0;

void OwnLight()
{
    ++ownLightCalls;
    gLighting.dynamicSum[1] += gLighting.normal[2] * gLighting.atom->camera[0];
}

TEST_F(GeometryBatchTest, ALightOperationOfATestsOwnIsCalledAsOftenAsOnTheScalarPath)
{
    Random random(11);
    gAquarium.lightTable[5] = OwnLight;
    LightSet lights;
    lights.AddRandom(random, 2);
    lights.Add(5, random);
    lights.lights.back()->active = 1;
    gAquarium.currentLightList = lights.list;
    for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
        std::unique_ptr<Vector> mesh = RandomMesh(random, type);
        ASSERT_TRUE(mesh);
        test_support::StartFrame(&terminator_);
        const test_support::SwimState start = test_support::Keep(*mesh);
        ownLightCalls = 0;
        gAquarium.currentObject = mesh.get();
        type == Vector::TYPE ? Vector::SwimRigidScalar() : Vector::SwimDeformingScalar();
        const int scalarCalls = ownLightCalls;
        EXPECT_GT(scalarCalls, 0);
        test_support::Put(*mesh, start);
        ownLightCalls = 0;
        EXPECT_TRUE(SwimsAgree(*mesh));
        EXPECT_EQ(ownLightCalls, scalarCalls * static_cast<int>(1 + test_support::BatchedPaths().size()));
    }
    gAquarium.lightTable[5] = nullptr;
}

// The paths that can be chosen: the scalar one always, AVX2 only where the
// processor has it, and the best one is taken at start-up.
TEST(GeometryPathTest, TheBestSupportedPathIsTakenAtStartUp)
{
    EXPECT_TRUE(GeometryPathSupported(GeometryPath::SCALAR));
    EXPECT_EQ(CurrentGeometryPath(), BestGeometryPath());
    EXPECT_TRUE(GeometryPathSupported(BestGeometryPath()));
    if (!GeometryPathSupported(GeometryPath::AVX2)) {
        EXPECT_FALSE(UseGeometryPath(GeometryPath::AVX2));
        EXPECT_EQ(CurrentGeometryPath(), BestGeometryPath());
    }
}

}  // namespace
