// The canyon is a grid swept along the path: each row is the cross-section
// at one distance, its columns from the left rim to the right rim.
#include "tools/datagen/builders/terrain.h"

#include <cmath>

#include "tools/datagen/builders/picture.h"
#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"

namespace {

// Lateral offset of column i of columns, rim to rim: the floor and the walls
// get most of the columns.
float AcrossOf(const CanyonShape& shape, int i)
{
    const float t = static_cast<float>(i) / static_cast<float>(shape.columns);  // 0 left rim edge, 1 right
    const float half = shape.floorWidth * 0.5f + shape.wallHeight * 0.45f + shape.rimWidth;
    const float s = 2.0f * t - 1.0f;
    // More columns near the walls than on the rims.
    return half * (s * std::fabs(s) * 0.35f + s * 0.65f);
}

}  // namespace

float CanyonHeight(const CanyonShape& shape, float across, float along)
{
    const float foot = shape.floorWidth * 0.5f;
    const float wallRun = shape.wallHeight * 0.45f;
    const float side = std::fabs(across);
    const float wobble = 6.0f * Fractal2(along * 0.01f, across > 0.0f ? 3.0f : 7.0f, 3, shape.seed);
    const float feet = foot + wobble;
    float height = 1.5f * Fractal2(across * 0.05f, along * 0.05f, 3, shape.seed + 11u);
    const float rise = shape.fullFrom > shape.openUntil ? SmoothStep(shape.openUntil, shape.fullFrom, along) : 1.0f;
    if (side > feet && rise > 0.0f) {
        const float climb = std::fmin(1.0f, (side - feet) / wallRun);
        const float ledges = climb + 0.08f * std::sin(climb * 18.0f);
        height += rise * (shape.wallHeight * ledges + 10.0f * climb * Fractal2(along * 0.03f, side * 0.06f, 4, shape.seed + 5u));
    }
    return height;
}

namespace {

// Map rows of each cross-section: the floor takes the middle fifth of the
// picture, each wall and rim the two-fifths beside it, by length along the
// section, so that one picture of rock with a band of sand covers it all.
void AddSectionUvs(const Mesh& mesh, std::uint32_t first, const CanyonShape& shape, float along,
                   std::vector<Uv>& uvs)
{
    std::vector<float> arc(static_cast<std::size_t>(shape.columns) + 1, 0.0f);
    int left = 0, right = shape.columns;
    for (int i = 1; i <= shape.columns; ++i) {
        arc[i] = arc[i - 1] + Length(mesh.Positions()[first + i] - mesh.Positions()[first + i - 1]);
        if (AcrossOf(shape, i) <= -shape.floorWidth * 0.5f)
            left = i;
        if (AcrossOf(shape, i) >= shape.floorWidth * 0.5f && right == shape.columns)
            right = i;
    }
    for (int i = 0; i <= shape.columns; ++i) {
        float v;
        if (i <= left)
            v = 0.4f * arc[i] / std::fmax(arc[left], 1.0f);
        else if (i <= right)
            v = 0.4f + 0.2f * (arc[i] - arc[left]) / std::fmax(arc[right] - arc[left], 1.0f);
        else
            v = 0.6f + 0.4f * (arc[i] - arc[right]) / std::fmax(arc[shape.columns] - arc[right], 1.0f);
        uvs.push_back({along / 40.0f, v});
    }
}

}  // namespace

Mesh BuildCanyon(const Path& path, float from, float to, const CanyonShape& shape, std::uint32_t material)
{
    Mesh mesh;
    const int rows = static_cast<int>(std::ceil((to - from) / shape.rowSpacing));
    const int stride = shape.columns + 1;
    std::vector<Uv> uvs;
    for (int j = 0; j <= rows; ++j) {
        const float along = from + (to - from) * static_cast<float>(j) / static_cast<float>(rows);
        const Vec3 centre = path.At(along), side = path.Side(along);
        const auto first = static_cast<std::uint32_t>(mesh.Positions().size());
        for (int i = 0; i <= shape.columns; ++i) {
            const float across = AcrossOf(shape, i);
            mesh.AddVertex(centre + side * across + Vec3{0.0f, CanyonHeight(shape, across, along), 0.0f});
        }
        AddSectionUvs(mesh, first, shape, along, uvs);
    }
    const auto at = [&](int i, int j) { return static_cast<std::uint32_t>(j * stride + i); };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < shape.columns; ++i) {
            const std::uint32_t a = at(i, j), b = at(i, j + 1), c = at(i + 1, j + 1), d = at(i + 1, j);
            mesh.AddQuad(a, b, c, d, uvs[a], uvs[b], uvs[c], uvs[d], material);
        }
    }
    return mesh;
}

Mesh BuildGround(Vec3 centre, float size, int rows, float roll, std::uint32_t material, float repeat,
                 std::uint32_t seed)
{
    Mesh mesh;
    AddSheet(mesh, rows, rows, [=](float u, float v) {
        const float x = (u - 0.5f) * size, z = (0.5f - v) * size;
        return centre + Vec3{x, roll * Fractal2(x * 0.01f, z * 0.01f, 3, seed), z};
    }, material, {repeat, repeat});
    return mesh;
}

Mesh BuildSkyDome(Vec3 centre, float radius, std::uint32_t material)
{
    Mesh dome;
    std::vector<ProfilePoint> profile;
    constexpr int RINGS = 6;
    for (int k = 0; k <= RINGS; ++k) {
        const float angle = (PI / 2.0f) * static_cast<float>(k) / static_cast<float>(RINGS);
        profile.push_back({k == RINGS ? 0.0f : radius * std::cos(angle), radius * std::sin(angle) - radius * 0.08f});
    }
    AddLathe(dome, profile, 16, material, false, {1.0f, 1.0f});
    dome.FlipFrom(0);
    for (Vec3& p : dome.Positions())
        p = p + centre;
    return dome;
}
