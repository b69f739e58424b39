// The two mesh swims on meshes built by the mesh loader, with the identity as
// model-view matrix so that object space is camera space: culling and render
// flags, the frame stamp, deforming atom normals, depth keys and buckets, the
// static-light cache and environment-map coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene/scenerecords.h"
#include "tests/support/render_stage.h"

namespace {

using mesh_test::Face;
using mesh_test::Vertex;
using test_support::BuildMesh;
using test_support::OneCell;

constexpr std::uint32_t FRAME_BITS = 0x7FFFE;  // bits 1 to 18

constexpr std::uint32_t ClipBits(std::uint32_t c0, std::uint32_t c1, std::uint32_t c2)
{
    return c0 << 5 | c1 << 9 | c2 << 13;
}

class GeometryTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override
    {
        test_support::SetUpRenderStage();
        test_support::WriteMapPicture();
        gAquarium.currentLightList = FishList{};
    }

    std::unique_ptr<Vector> Mesh(const MeshContent& content) { return BuildMesh(content, GetParam()); }

    // One frame of the mesh's swim (a new frame unless told); the cells it appended.
    std::size_t Swim(Vector& vector, bool newFrame = true)
    {
        if (newFrame)
            test_support::StartFrame(&terminator_);
        gAquarium.currentObject = &vector;
        GetParam() == Vector::TYPE ? Vector::SwimRigid() : Vector::SwimDeforming();
        static std::size_t drawn;
        drawn = 0;
        OrderTableSortPasses(gAquarium.orderTable);
        OrderTableWalk(gAquarium.orderTable, [](std::int32_t, PolygonNode*) { ++drawn; });
        return drawn;
    }

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
    {"all behind", Vertex(0, 0, 0.5f), Vertex(0, 1, 0.5f), Vertex(1, 0, 0.5f), false, 0x1C | 0x60000},
    {"corner 0 behind", Vertex(0, 0, 0.5f), Vertex(0, 0.2f, 2), Vertex(0.2f, 0, 2), true, 0x4},
    {"corners 0 and 1 behind", Vertex(0, 0, 0.5f), Vertex(0, 0.2f, 0.5f), Vertex(0.2f, 0, 2), true, 0xC},
    {"left of the screen", Vertex(-10, 0, 2), Vertex(-10, 0.2f, 2), Vertex(-9, 0, 2), false,
     0x20000 | ClipBits(1, 1, 1)},
    {"across the screen", Vertex(-10, 0, 2), Vertex(0, 0.2f, 2), Vertex(10, 0, 2), true, ClipBits(1, 0, 2)},
    {"facing away", Vertex(0, 0, 5), Vertex(1, 0, 5), Vertex(0, 1, 5), false, 0x2 | 0x60000},
};

TEST_P(GeometryTest, CellsAreCulledWithTheirRenderFlagsAndUndrawnOnesKeepTheirColours)
{
    for (const CullingCase& test : CULLING_CASES) {
        std::unique_ptr<Vector> mesh = Mesh(OneCell(test.a, test.b, test.c));
        ASSERT_TRUE(mesh);
        Cell& cell = mesh->cells[0];
        cell.renderFlags = 0x80000001 | FRAME_BITS;  // bits 0 and 31 are not the swim's
        std::fill(std::begin(cell.colours), std::end(cell.colours), 0.25f);
        EXPECT_EQ(Swim(*mesh), test.drawn ? 1u : 0u) << test.what;
        EXPECT_EQ(cell.renderFlags & ~FRAME_BITS, 0x80000001u) << test.what;
        EXPECT_EQ(cell.renderFlags & FRAME_BITS, test.flags) << test.what;
        EXPECT_EQ(cell.colours[0] == 0.25f, !test.drawn) << test.what;
    }
}

// Six cells around a raised centre atom: by symmetry its normal points at the eye.
MeshContent Pyramid()
{
    const auto ring = [](int i) { return Vertex(std::cos(i * 1.04719755f), std::sin(i * 1.04719755f), 5); };
    MeshContent content = OneCell(Vertex(0, 0, 4), ring(0), ring(1));
    content.faces.clear();
    for (std::uint32_t i = 0; i < 6; ++i) {
        if (i >= 2)
            content.vertices.push_back(ring(static_cast<int>(i)));
        content.faces.push_back(Face(0, 1 + (i + 1) % 6, 1 + i));
    }
    return content;
}

TEST_P(GeometryTest, AnAtomSharedBySixCellsIsProjectedOncePerFrame)
{
    std::unique_ptr<Vector> mesh = Mesh(Pyramid());
    ASSERT_TRUE(mesh);
    Atom& centre = mesh->atoms[0];
    EXPECT_EQ(Swim(*mesh), 6u);
    if (GetParam() == Vector::DEFORMING_TYPE) {
        // Projected a second time, it would have lost the normals added before.
        EXPECT_NEAR(centre.normal[0], 0.0f, 1e-6f);
        EXPECT_NEAR(centre.normal[1], 0.0f, 1e-6f);
        EXPECT_NEAR(centre.normal[2], -1.0f, 1e-6f);
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
        std::unique_ptr<Vector> mesh = Mesh(OneCell(Vertex(0, 0, 1), Vertex(0, 0.1f, 1), Vertex(0.1f, 0, 1), flags));
        ASSERT_TRUE(mesh);
        test_support::StartFrame(&terminator_);
        gAquarium.currentObject = mesh.get();
        GetParam() == Vector::TYPE ? Vector::SwimRigid() : Vector::SwimDeforming();
        const std::uint32_t key = flags == 0 ? 0x80000000u : 0x7FFFFFFFu;
        EXPECT_EQ(mesh->cells[0].node.depthKey, key);
        EXPECT_EQ(gAquarium.orderTable.tailsA[255 - (key & 0xFF)], &mesh->cells[0].node.next);
    }
}

TEST_P(GeometryTest, StaticLightsAreCachedOnTheFirstFrameOfAStaticMeshAndSkippedLater)
{
    for (const std::uint32_t lightIsStatic : {1u, 0u}) {
        std::unique_ptr<Vector> mesh = Mesh(OneCell(Vertex(0, 0, 5), Vertex(0, 1, 5), Vertex(1, 0, 5)));
        ASSERT_TRUE(mesh);
        mesh->isStatic = 1;
        Light light(Light::DISTANT);  // toward the eye, along the cell's normal
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
        EXPECT_EQ(cell.colours[4], lightIsStatic ? 0.5f : 0.25f) << "a moving light is never cached";
    }
}

TEST_P(GeometryTest, EnvironmentCoordinatesComeFromTheCornerNormalsSwappedWhenDeforming)
{
    const MeshContent tilted =
        OneCell(Vertex(0, 0, 5), Vertex(0, 1, 4), Vertex(1, 0, 5), Material::SMOOTH | Material::ENVIRONMENT);
    std::unique_ptr<Vector> rigid = BuildMesh(tilted, Vector::TYPE);
    std::unique_ptr<Vector> mesh = Mesh(tilted);
    ASSERT_TRUE(rigid && mesh);
    const float* const n = rigid->atoms[0].normal;  // the loader's, the same for all three
    const float x = n[0] * 0.5f + 0.5f, y = n[1] * 0.5f + 0.5f;
    ASSERT_EQ(Swim(*mesh), 1u);
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

class DeformingTest : public GeometryTest {};

// A two-sided sheet: both windings of one triangle, whose normals cancel in
// every atom. The drawn side's atoms take its normal, and no NaN reaches a
// colour or a map coordinate.
TEST_P(DeformingTest, AtomsWhoseNormalsCancelGetTheDrawnCellsNormal)
{
    MeshContent sheet =
        OneCell(Vertex(0, 0, 5), Vertex(0, 1, 4), Vertex(1, 0, 5), Material::SMOOTH | Material::ENVIRONMENT);
    sheet.faces.push_back(Face(0, 2, 1));
    std::unique_ptr<Vector> mesh = Mesh(sheet);
    ASSERT_TRUE(mesh);
    Light light(Light::DISTANT);
    Fishes lights;
    UseLight(lights, light);
    ASSERT_EQ(Swim(*mesh), 1u);
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

INSTANTIATE_TEST_SUITE_P(Mended, DeformingTest, ::testing::Values(Vector::DEFORMING_TYPE));

}  // namespace
