// The near-plane clipper on cells with one or two corners behind the plane:
// which slots make which result triangle, the values carried across a cut,
// the projection of every result atom, and an input left as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "scene/vector.h"
#include "tests/support/render_stage.h"

namespace {

constexpr float TOLERANCE = 1e-6f;

// A cell with corner k at (k, 0, z[k]), colour (k, 10k, 100k) and map
// coordinates (k, -k); the behind flags as the mesh swim leaves them.
struct ClipInput {
    explicit ClipInput(const float (&z)[3])
    {
        for (int k = 0; k < 3; ++k) {
            atoms[k].camera[0] = static_cast<float>(k);
            atoms[k].camera[2] = z[k];
            atoms[k].behind = z[k] < 1.0f ? 1 : 0;
            atoms[k].stamp = 7;
            cell.corners[k] = &atoms[k];
            cell.colours[3 * k] = static_cast<float>(k);
            cell.colours[3 * k + 1] = 10.0f * k;
            cell.colours[3 * k + 2] = 100.0f * k;
            cell.uv[2 * k] = static_cast<float>(k);
            cell.uv[2 * k + 1] = -static_cast<float>(k);
        }
        cell.material = &material;
    }

    Atom atoms[3];
    Material material;
    Cell cell;
};

using ClipFunction = int (*)(const Cell&, Cell::ClipCells&, Cell::ClipAtoms&);

class ClipTest : public ::testing::TestWithParam<ClipFunction> {
protected:
    void SetUp() override { test_support::SetUpRenderStage(); }

    int Clip(const ClipInput& input) { return GetParam()(input.cell, cells_, atoms_); }

    bool Mapped() const { return GetParam() == Cell::ClipNearMapped; }

    Cell::ClipCells cells_;
    Cell::ClipAtoms atoms_;
};

TEST_P(ClipTest, OneCornerBehindGivesAFanOfTwoAroundTheFirstCut)
{
    const ClipInput input({0.5f, 2.0f, 2.0f});
    ASSERT_EQ(Clip(input), 2);
    const Atom* const expected[2][3] = {{&atoms_[0], &atoms_[1], &atoms_[2]}, {&atoms_[0], &atoms_[2], &atoms_[3]}};
    for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(cells_[t].corners[k], expected[t][k]) << "triangle " << t << " corner " << k;
        EXPECT_EQ(cells_[t].material, &input.material);
    }
    // Slot 0 cuts (A, B) at t = 1/3, slot 3 cuts (C, A) at t = 2/3.
    EXPECT_NEAR(atoms_[0].camera[0], 1.0f / 3.0f, TOLERANCE);
    EXPECT_NEAR(atoms_[3].camera[0], 2.0f - 2.0f * 2.0f / 3.0f, TOLERANCE);
    EXPECT_EQ(atoms_[1].stamp, 7u) << "a corner in front is copied whole";
    EXPECT_NEAR(cells_[1].colours[2 * 3 + 1], 20.0f / 3.0f, 1e-5f) << "colour of slot 3";
}

TEST_P(ClipTest, TwoCornersBehindGiveOneTriangleFromTheCutsAroundTheLastCorner)
{
    const ClipInput input({0.5f, 0.5f, 2.0f});
    ASSERT_EQ(Clip(input), 1);
    EXPECT_EQ(cells_[0].corners[1]->stamp, 7u) << "C in the middle";
    EXPECT_NEAR(cells_[0].corners[0]->camera[0], 1.0f + 1.0f / 3.0f, TOLERANCE) << "cut of (B, C)";
    EXPECT_NEAR(cells_[0].corners[2]->camera[0], 2.0f - 2.0f * 2.0f / 3.0f, TOLERANCE) << "cut of (C, A)";
}

TEST_P(ClipTest, ACutHalfWayAveragesColourAndMapCoordinates)
{
    const ClipInput input({0.0f, 2.0f, 2.0f});
    ASSERT_EQ(Clip(input), 2);
    const Cell& first = cells_[0];
    EXPECT_EQ(first.colours[0], 0.5f);
    EXPECT_EQ(first.colours[1], 5.0f);
    EXPECT_EQ(first.colours[2], 50.0f);
    if (Mapped()) {
        EXPECT_EQ(first.uv[0], 0.5f);
        EXPECT_EQ(first.uv[1], -0.5f);
    }
    EXPECT_EQ(first.uv[2], Mapped() ? 1.0f : input.atoms[1].work[0]) << "a copied corner's u";
}

TEST_P(ClipTest, EveryResultIsInFrontAndProjectedAndTheInputIsUnchanged)
{
    for (const auto& z : {std::array<float, 3>{0.5f, 2.0f, 3.0f}, std::array<float, 3>{4.0f, 0.25f, 0.0f}}) {
        const ClipInput input({z[0], z[1], z[2]});
        ClipInput copy({z[0], z[1], z[2]});
        const int count = Clip(input);
        for (int t = 0; t < count; ++t) {
            for (const Atom* atom : cells_[t].corners) {
                EXPECT_GE(atom->camera[2], 1.0f);
                EXPECT_EQ(atom->reciprocalDepth, 1.0f / atom->camera[2]);
                EXPECT_NEAR(atom->screen[0], atom->camera[0] * 768.0f / atom->camera[2] + 320.0f, 1e-3f);
                EXPECT_EQ(atom->screen[1], 240.0f);
            }
        }
        EXPECT_EQ(std::memcmp(input.atoms, copy.atoms, sizeof copy.atoms), 0);
        EXPECT_EQ(std::memcmp(input.cell.colours, copy.cell.colours, sizeof copy.cell.colours), 0);
        EXPECT_EQ(std::memcmp(input.cell.uv, copy.cell.uv, sizeof copy.cell.uv), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothClippers, ClipTest, ::testing::Values(Cell::ClipNear, Cell::ClipNearMapped),
                         [](const ::testing::TestParamInfo<ClipFunction>& info) {
                             return info.param == Cell::ClipNear ? "Plain" : "Mapped";
                         });

}  // namespace
