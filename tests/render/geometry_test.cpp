// The mesh swims on meshes built by the mesh loader, the model-view matrix
// the identity so that object space is camera space: culling and its render
// flags, the frame stamp, atom normals of deforming meshes, depth keys, the
// static-light cache and environment-map coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "render/lighting.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/scene/vector_fixture.h"
#include "tests/support/render_stage.h"

namespace {

using mesh_test::Face;
using mesh_test::MaterialRecord;
using mesh_test::Vertex;

constexpr std::uint32_t FRAME_BITS = 0x7FFFE;  // bits 1 to 18
constexpr std::uint32_t LEFT = 1;
constexpr std::uint32_t RIGHT = 2;

std::uint32_t ClipBits(std::uint32_t c0, std::uint32_t c1, std::uint32_t c2)
{
    return c0 << 5 | c1 << 9 | c2 << 13;
}

std::unique_ptr<Vector> BuildMesh(const MeshContent& content, std::int32_t type)
{
    std::unique_ptr<Vector> vector = mesh_test::BuildExact(MeshEncode(MeshLayout(content)));
    if (vector)
        vector->type = type;
    return vector;
}

constexpr const char* ENVIRONMENT_MAP = "env.tga";

// One cell wound to face an eye at the origin when it lies in front of it.
MeshContent OneCell(VECTOR_FILE_Vertex a, VECTOR_FILE_Vertex b, VECTOR_FILE_Vertex c, std::uint32_t flags = 0)
{
    MeshContent content;
    content.vertices = {a, b, c};
    content.faces = {Face(0, 1, 2)};
    content.materials = {MaterialRecord(flags)};
    MeshSetName(content.materials[0].secondMapName, ENVIRONMENT_MAP);
    return content;
}

class GeometryTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override
    {
        test_support::SetUpRenderStage();
        gAquarium.currentLightList = FishList{};
        mesh_test::PutPicture(ENVIRONMENT_MAP, 8, 8, mesh_test::Bytes(8 * 8 * 3, 0x80));
    }

    void TearDown() override { gAquarium.currentLightList = FishList{}; }

    // One frame of the mesh's own swim; the cells it appended, in drawing order.
    std::vector<const Cell*> Swim(Vector& vector, bool newFrame = true)
    {
        if (newFrame)
            test_support::StartFrame(&terminator_);
        gAquarium.currentObject = &vector;
        gAquarium.swimTable[Vector::TYPE] = Vector::SwimRigid;
        gAquarium.swimTable[Vector::DEFORMING_TYPE] = Vector::SwimDeforming;
        gAquarium.swimTable[vector.type]();
        return Drawn();
    }

    static std::vector<const Cell*> Drawn()
    {
        static std::vector<const Cell*> drawn;
        drawn.clear();
        OrderTableSortPasses(gAquarium.orderTable);
        OrderTableWalk(gAquarium.orderTable, [](std::int32_t, PolygonNode* node) {
            drawn.push_back(reinterpret_cast<const Cell*>(node));
        });
        return drawn;
    }

    // The current light list becomes list, holding light.
    static void UseLight(Fishes& list, Light& light)
    {
        ASSERT_TRUE(Fishes::InsertObject(&list, &light, false));
        gAquarium.currentLightList = list;
    }

    test_support::ScratchDirectory scratch_;
    PolygonNode terminator_;
};

struct CullingCase {
    const char* what;
    VECTOR_FILE_Vertex a, b, c;
    bool drawn;
    std::uint32_t flags;  // bits 1 to 18 after the frame
};

const CullingCase CULLING_CASES[] = {
    {"on screen", Vertex(0, 0, 5), Vertex(0, 1, 5), Vertex(1, 0, 5), true, 0},
    {"all behind", Vertex(0, 0, 0.5f), Vertex(0, 1, 0.5f), Vertex(1, 0, 0.5f), false, 0x1C | 0x20000 | 0x40000},
    {"corner 0 behind", Vertex(0, 0, 0.5f), Vertex(0, 0.2f, 2), Vertex(0.2f, 0, 2), true, 0x4},
    {"corners 0 and 1 behind", Vertex(0, 0, 0.5f), Vertex(0, 0.2f, 0.5f), Vertex(0.2f, 0, 2), true, 0xC},
    {"left of the screen", Vertex(-10, 0, 2), Vertex(-10, 0.2f, 2), Vertex(-9, 0, 2), false,
     0x20000 | ClipBits(LEFT, LEFT, LEFT)},
    {"across the screen", Vertex(-10, 0, 2), Vertex(0, 0.2f, 2), Vertex(10, 0, 2), true, ClipBits(LEFT, 0, RIGHT)},
    {"facing away", Vertex(0, 0, 5), Vertex(1, 0, 5), Vertex(0, 1, 5), false, 0x2 | 0x20000 | 0x40000},
};

TEST_P(GeometryTest, CellsAreCulledWithTheirRenderFlags)
{
    for (const CullingCase& test : CULLING_CASES) {
        std::unique_ptr<Vector> mesh = BuildMesh(OneCell(test.a, test.b, test.c), GetParam());
        ASSERT_TRUE(mesh);
        Cell& cell = mesh->cells[0];
        cell.renderFlags = 0x80000001 | FRAME_BITS;  // bits 0 and 31 are not the swim's
        const std::vector<const Cell*> drawn = Swim(*mesh);
        EXPECT_EQ(drawn.size(), test.drawn ? 1u : 0u) << test.what;
        EXPECT_EQ(cell.renderFlags & FRAME_BITS, test.flags) << test.what;
        EXPECT_EQ(cell.renderFlags & 0x80000001, 0x80000001u) << test.what;
    }
}

TEST_P(GeometryTest, AFacingAwayCellKeepsTheColoursOfAnEarlierFrame)
{
    std::unique_ptr<Vector> mesh = BuildMesh(OneCell(Vertex(0, 0, 5), Vertex(1, 0, 5), Vertex(0, 1, 5)), GetParam());
    ASSERT_TRUE(mesh);
    std::fill(std::begin(mesh->cells[0].colours), std::end(mesh->cells[0].colours), 0.25f);
    Swim(*mesh);
    for (const float value : mesh->cells[0].colours)
        EXPECT_EQ(value, 0.25f);
}

// Six cells around a raised centre atom: by symmetry its normal points at the eye.
MeshContent Pyramid()
{
    MeshContent content;
    content.vertices.push_back(Vertex(0, 0, 4));
    for (int i = 0; i < 6; ++i) {
        const float angle = static_cast<float>(i) * 1.04719755f;
        content.vertices.push_back(Vertex(std::cos(angle), std::sin(angle), 5));
    }
    for (std::uint32_t i = 0; i < 6; ++i)
        content.faces.push_back(Face(0, 1 + (i + 1) % 6, 1 + i));
    content.materials = {MaterialRecord(0)};
    return content;
}

TEST_P(GeometryTest, AnAtomSharedBySixCellsIsProjectedOncePerFrame)
{
    std::unique_ptr<Vector> mesh = BuildMesh(Pyramid(), GetParam());
    ASSERT_TRUE(mesh);
    Atom& centre = mesh->atoms[0];
    EXPECT_EQ(Swim(*mesh).size(), 6u);
    EXPECT_EQ(centre.camera[2], 4.0f);
    if (GetParam() == Vector::DEFORMING_TYPE) {
        // Projected a second time, it would have lost the normals added before.
        EXPECT_NEAR(centre.normal[0], 0.0f, 1e-6f);
        EXPECT_NEAR(centre.normal[1], 0.0f, 1e-6f);
        EXPECT_NEAR(centre.normal[2], -1.0f, 1e-6f);
        EXPECT_EQ(centre.clipCode, -1) << "normal finished";
    }
    centre.position[2] = 3.0f;
    Swim(*mesh, false);
    EXPECT_EQ(centre.camera[2], 4.0f) << "the same frame does not project again";
    Swim(*mesh);
    EXPECT_EQ(centre.camera[2], 3.0f);
}

TEST_P(GeometryTest, DepthKeyAtTheNearPlaneAndItsComplementChooseTheirBuckets)
{
    for (const std::uint32_t flags : {0u, Material::TRANSPARENT}) {
        std::unique_ptr<Vector> mesh =
            BuildMesh(OneCell(Vertex(0, 0, 1), Vertex(0, 0.1f, 1), Vertex(0.1f, 0, 1), flags), GetParam());
        ASSERT_TRUE(mesh);
        test_support::StartFrame(&terminator_);
        gAquarium.currentObject = mesh.get();
        GetParam() == Vector::TYPE ? Vector::SwimRigid() : Vector::SwimDeforming();
        const std::uint32_t key = flags == 0 ? 0x80000000u : 0x7FFFFFFFu;
        EXPECT_EQ(mesh->cells[0].node.depthKey, key);
        EXPECT_EQ(gAquarium.orderTable.tailsA[255 - (key & 0xFF)], &mesh->cells[0].node.next);
    }
}

TEST_P(GeometryTest, StaticLightsAreCachedOnTheFirstFrameOfAStaticMesh)
{
    for (const std::uint32_t lightIsStatic : {1u, 0u}) {
        std::unique_ptr<Vector> mesh = BuildMesh(OneCell(Vertex(0, 0, 5), Vertex(0, 1, 5), Vertex(1, 0, 5)), GetParam());
        ASSERT_TRUE(mesh);
        mesh->isStatic = 1;
        Light light(Light::DISTANT);
        light.directionZ = -1.0f;  // toward the eye, along the cell's normal
        light.intensity = 0.5f;
        light.isStatic = lightIsStatic;
        Fishes lights;
        UseLight(lights, light);
        const Cell& cell = mesh->cells[0];
        Swim(*mesh);
        EXPECT_EQ(cell.colours[4], 0.5f);
        EXPECT_EQ(cell.cachedLight[4], lightIsStatic ? 0.5f : 0.0f);
        EXPECT_NE(cell.renderFlags & RenderFlag::STATIC_CACHED, 0u);

        light.intensity = 0.25f;
        Swim(*mesh);
        EXPECT_EQ(cell.colours[4], lightIsStatic ? 0.5f : 0.25f) << "a static light is not evaluated again";
    }
}

TEST_P(GeometryTest, EnvironmentCoordinatesComeFromTheCornerNormals)
{
    const MeshContent tilted = OneCell(Vertex(0, 0, 5), Vertex(0, 1, 4), Vertex(1, 0, 5),
                                       Material::SMOOTH | Material::ENVIRONMENT);
    std::unique_ptr<Vector> rigid = BuildMesh(tilted, Vector::TYPE);
    std::unique_ptr<Vector> mesh = BuildMesh(tilted, GetParam());
    ASSERT_TRUE(rigid && mesh);
    const float* const n = rigid->atoms[0].normal;  // the loader's normal, the same for all three
    const float x = n[0] * 0.5f + 0.5f, y = n[1] * 0.5f + 0.5f;
    ASSERT_EQ(Swim(*mesh).size(), 1u);
    const bool swapped = GetParam() == Vector::DEFORMING_TYPE;
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(mesh->cells[0].uv[2 * k], swapped ? y : x, 1e-6f);
        EXPECT_NEAR(mesh->cells[0].uv[2 * k + 1], swapped ? x : y, 1e-6f);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSwims, GeometryTest, ::testing::Values(Vector::TYPE, Vector::DEFORMING_TYPE),
                         [](const ::testing::TestParamInfo<std::int32_t>& info) {
                             return info.param == Vector::TYPE ? "Rigid" : "Deforming";
                         });

using DeformingTest = GeometryTest;

// A two-sided sheet: both windings of one triangle, whose normals cancel in
// every atom. The drawn side's atoms take its normal; no NaN reaches a colour
// or a map coordinate.
TEST_F(DeformingTest, AtomsWhoseNormalsCancelGetTheDrawnCellsNormal)
{
    MeshContent content = OneCell(Vertex(0, 0, 5), Vertex(0, 1, 4), Vertex(1, 0, 5),
                                  Material::SMOOTH | Material::ENVIRONMENT);
    content.faces.push_back(Face(0, 2, 1));
    std::unique_ptr<Vector> mesh = BuildMesh(content, Vector::DEFORMING_TYPE);
    ASSERT_TRUE(mesh);
    Light light(Light::DISTANT);
    Fishes lights;
    UseLight(lights, light);
    ASSERT_EQ(Swim(*mesh).size(), 1u);
    const Cell& front = mesh->cells[0];
    for (const Atom* atom : front.corners) {
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(atom->normal[axis], front.normal[axis]);
    }
    for (const float value : front.colours)
        EXPECT_TRUE(std::isfinite(value));
    for (const float value : front.uv)
        EXPECT_TRUE(std::isfinite(value));
}

}  // namespace
