// The show's builders: every closed solid they make is watertight and wound
// outward (a missing or turned face shows as a hole in a frame), rooms are
// wound inward, pictures come back through the demo's own loaders upright in
// every file form, and stacked pictures keep their bands apart.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "image/texture.h"
#include "tests/support/scratch_directory.h"
#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/craft.h"
#include "tools/datagen/builders/letters.h"
#include "tools/datagen/builders/path.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"

namespace {

using Point = std::tuple<long, long, long>;

Point Key(Vec3 p)
{
    constexpr float GRID = 1e4f;  // positions that agree to 1e-4 units are one point
    return {std::lround(p.x * GRID), std::lround(p.y * GRID), std::lround(p.z * GRID)};
}

// Each directed edge of a closed, consistently wound surface appears once,
// and its reverse once.
bool Watertight(const Mesh& mesh, std::string& problem)
{
    std::map<std::pair<Point, Point>, int> edges;
    for (const Triangle& t : mesh.Triangles()) {
        for (int k = 0; k < 3; ++k) {
            const Point a = Key(mesh.Positions()[t.corners[k]]), b = Key(mesh.Positions()[t.corners[(k + 1) % 3]]);
            if (a != b)
                ++edges[{a, b}];
        }
    }
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1) {
            problem = "an edge used " + std::to_string(count) + " times, its reverse " +
                      std::to_string(reverse == edges.end() ? 0 : reverse->second);
            return false;
        }
    }
    return true;
}

// Positive for a closed surface whose faces look out of it.
double SignedVolume(const Mesh& mesh)
{
    double volume = 0.0;
    for (const Triangle& t : mesh.Triangles()) {
        const Vec3 a = mesh.Positions()[t.corners[0]], b = mesh.Positions()[t.corners[1]], c = mesh.Positions()[t.corners[2]];
        volume += Dot(a, Cross(b, c)) / 6.0;
    }
    return volume;
}

struct Solid {
    const char* name;
    std::function<Mesh()> build;
};

Mesh Built(const std::function<void(Mesh&)>& add)
{
    Mesh mesh;
    add(mesh);
    return mesh;
}

const std::vector<Solid>& Solids()
{
    static const std::vector<Solid> solids = {
        {"box", [] { return Built([](Mesh& m) { AddBox(m, {1, 2, 3}, {2, 3, 4}, 0); }); }},
        {"capped lathe", [] { return Built([](Mesh& m) { AddLathe(m, {{1, 0}, {2, 1}, {1.5f, 3}}, 9, 0); }); }},
        {"lathe closed at poles", [] { return Built([](Mesh& m) { AddLathe(m, {{0, -1}, {1, 0}, {0.5f, 2}, {0, 3}}, 7, 0); }); }},
        {"sphere", [] { return Built([](Mesh& m) { AddSphere(m, {3, 0, 0}, 2.0f, 6, 0); }); }},
        {"torus", [] { return Built([](Mesh& m) { AddTorus(m, 4.0f, 1.0f, 12, 6, 0); }); }},
        {"banded box", [] { return Built([](Mesh& m) { AddBandBox(m, {0, 5, 0}, {7, 10, 3}, 0, {0.1f, 0.4f}, 2.0f, 2.5f, {}); }); }},
        {"convex extrusion", [] {
             return Built([](Mesh& m) { AddExtrusion(m, ConvexOutline({{0, 0, 0}, {3, 0, 0}, {4, 2, 0}, {1, 3, 0}}), -1, 1, 0, 1); });
         }},
        {"racing craft", [] { return BuildCraft({"livery.tga"}); }},
        {"solid letters with holes", [] {
             Mesh mesh;
             const LetterFont font;
             EXPECT_TRUE(font.Ready() && font.Build("AQg8%B", 5.0f, 1.0f, true, 0, 1, mesh));
             return mesh;
         }},
    };
    return solids;
}

TEST(Builders, EveryClosedSolidIsWatertightAndWoundOutward)
{
    for (const Solid& solid : Solids()) {
        const Mesh mesh = solid.build();
        ASSERT_FALSE(mesh.Triangles().empty()) << solid.name;
        std::string problem;
        EXPECT_TRUE(Watertight(mesh, problem)) << solid.name << ": " << problem;
        EXPECT_GT(SignedVolume(mesh), 0.0) << solid.name << " is wound inside out";
    }
}

TEST(Builders, ARoomIsClosedAndSeenFromInside)
{
    Mesh room;
    AddRoom(room, {20, 8, 12}, 0, {0, 0.3f}, {0.3f, 0.6f}, {0.6f, 1});
    std::string problem;
    EXPECT_TRUE(Watertight(room, problem)) << problem;
    EXPECT_NEAR(SignedVolume(room), -20.0 * 8.0 * 12.0, 1e-2);
}

TEST(Builders, LettersSitOnTheBaselineAndCentreWhenAsked)
{
    const LetterFont font;
    ASSERT_TRUE(font.Ready());
    Mesh mesh;
    ASSERT_TRUE(font.Build("HI", 10.0f, 2.0f, true, 0, 0, mesh));
    float low = 1e9f, left = 1e9f, right = -1e9f;
    for (const Vec3& p : mesh.Positions()) {
        low = std::fmin(low, p.y);
        left = std::fmin(left, p.x);
        right = std::fmax(right, p.x);
    }
    EXPECT_NEAR(low, 0.0f, 0.01f);
    EXPECT_NEAR(left + right, 0.0f, 1.0f);  // centred within a side bearing
    EXPECT_NEAR(font.Width("HI", 10.0f), font.Width("H", 10.0f) + font.Width("I", 10.0f), 1e-3f);
}

// A picture whose red rises to the right and green downward.
Picture Gradient()
{
    Picture picture(32, 16);
    picture.Paint([](float u, float v) { return Colour{u, v, 0.5f}; });
    return picture;
}

TEST(Builders, PicturesComeBackUprightThroughTheLoadersInEveryForm)
{
    test_support::ScratchDirectory scratch;
    const struct {
        const char* name;
        PictureForm form;
    } forms[] = {{"raw24.tga", Form::TGA24},        {"top24.tga", Form::TGA24_TOP},  {"rle24.tga", Form::TGA24_RLE},
                 {"rle16top.tga", Form::TGA16_RLE_TOP}, {"raw15.tga", Form::TGA15}, {"raw16.tga", Form::TGA16},
                 {"base.jpg", Form::JPEG},          {"progressive.jpg", Form::JPEG_PROGRESSIVE}};
    for (const auto& [name, form] : forms) {
        ASSERT_TRUE(WritePicture(scratch.Path(), name, Gradient(), form)) << name;
        Texture* const texture = Texture::Load(name, Texture::USE_COLOUR_MAP);
        ASSERT_NE(texture, nullptr) << name;
        ASSERT_EQ(texture->width, 32);
        ASSERT_EQ(texture->height, 16);
        const auto* const bgra = static_cast<const std::uint8_t*>(texture->pixels);
        const auto texel = [&](int x, int y, int channel) { return static_cast<int>(bgra[(y * 32 + x) * 4 + channel]); };
        EXPECT_LT(texel(0, 0, 2), 32) << name << ": red at the top left";
        EXPECT_LT(texel(0, 0, 1), 32) << name << ": green at the top left";
        EXPECT_GT(texel(31, 15, 2), 210) << name << ": red at the bottom right";
        EXPECT_GT(texel(31, 15, 1), 200) << name << ": green at the bottom right";
        EXPECT_GT(texel(0, 15, 1), 200) << name << ": green at the bottom left, so the rows are upright";
    }
}

TEST(Builders, StackedPicturesKeepTheirBandsApart)
{
    Picture red(8, 4), blue(8, 8), green(8, 4);
    red.Paint([](float, float) { return Colour{1, 0, 0}; });
    blue.Paint([](float, float) { return Colour{0, 0, 1}; });
    green.Paint([](float, float) { return Colour{0, 1, 0}; });
    std::vector<Band> bands;
    const Picture stacked = Stack({red, blue, green}, bands);
    ASSERT_EQ(stacked.height, 16);
    ASSERT_EQ(bands.size(), 3u);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        EXPECT_LT(bands[i].v0, bands[i].v1);
        if (i > 0) {
            EXPECT_GT(bands[i].v0, bands[i - 1].v1);
        }
    }
    const auto at = [&](Uv uv) { return stacked.At(static_cast<int>(uv.u * 8) % 8, static_cast<int>(uv.v * 16)); };
    EXPECT_EQ(at(bands[1].At(0.5f, 0.0f)).b, 1.0f);
    EXPECT_EQ(at(bands[1].At(0.5f, 1.0f)).b, 1.0f);
    EXPECT_EQ(at(bands[2].At(0.5f, 0.5f)).g, 1.0f);
}

TEST(Builders, APathRunsThroughItsPointsAtUnitSpeed)
{
    const Path path({{0, 0, 0}, {0, 0, 100}, {100, 0, 200}});
    EXPECT_NEAR(Length(path.At(0.0f) - Vec3{0, 0, 0}), 0.0f, 1e-3f);
    EXPECT_NEAR(Length(path.At(path.Length()) - Vec3{100, 0, 200}), 0.0f, 1e-2f);
    for (float d = 0.0f; d < path.Length(); d += 17.0f) {
        EXPECT_NEAR(Length(path.Direction(d)), 1.0f, 1e-4f);
        EXPECT_NEAR(Dot(path.Side(d), path.Direction(d)), 0.0f, 1e-3f);
        EXPECT_NEAR(Length(path.At(d + 1.0f) - path.At(d)), 1.0f, 0.02f);
    }
}

}  // namespace
