// The city stretch. Towers stand on lots every 30 units along each side,
// their sizes and facades drawn from a generator seeded by the lot, so a
// stretch looks the same whichever scene carries it.
#include "tools/datagen/builders/city.h"

#include <cmath>

#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"

namespace {

constexpr float LOT = 30.0f;
constexpr float LAMP_SPACING = 40.0f;
constexpr float LAMP_HEIGHT = 9.0f;

// A strip following the path between two offsets, at height, front up.
void AddStrip(Mesh& mesh, const Path& path, float from, float to, float left, float right, float height,
              std::uint32_t material, float uSpan)
{
    const int rows = static_cast<int>(std::ceil((to - from) / 10.0f));
    AddSheet(mesh, 1, rows, [&](float u, float v) {
        const float along = from + (to - from) * v;
        const float across = left + (right - left) * (1.0f - u);
        return path.At(along) + path.Side(along) * across + Vec3{0.0f, height, 0.0f};
    }, material, {uSpan, (to - from) / 40.0f});
}

void AddTower(Mesh& mesh, const Path& path, float along, float side, const CityMaterials& materials, Random& random)
{
    const float width = random.Range(14.0f, 24.0f), depth = random.Range(14.0f, 26.0f);
    const float height = random.Range(20.0f, 95.0f) * (random.Unit() < 0.15f ? 1.8f : 1.0f);
    const float offset = KERB_HALF_WIDTH + 3.0f + depth * 0.5f + random.Range(0.0f, 6.0f);
    const std::uint32_t facade = materials.facades[static_cast<std::size_t>(random.Below(static_cast<int>(materials.facades.size())))];
    Mesh tower;
    AddBox(tower, {0.0f, height * 0.5f, 0.0f}, {width, height, depth}, facade, {width / 24.0f, height / 24.0f});
    AddBox(tower, {0.0f, height + 0.5f, 0.0f}, {width - 2.0f, 1.0f, depth - 2.0f}, materials.roof);
    Placement place;
    place.position = path.At(along) + path.Side(along) * (side * offset);
    place.heading = LookAngles(path.Direction(along)).heading;
    mesh.Append(tower, place);
}

}  // namespace

Mesh BuildCityStretch(const Path& path, float from, float to, const CityMaterials& materials, std::uint32_t seed)
{
    Mesh mesh;
    AddStrip(mesh, path, from, to, -ROAD_HALF_WIDTH, ROAD_HALF_WIDTH, 0.0f, materials.road, 1.0f);
    for (const float side : {-1.0f, 1.0f})
        AddStrip(mesh, path, from, to, side < 0 ? -KERB_HALF_WIDTH - 60.0f : ROAD_HALF_WIDTH,
                 side < 0 ? -ROAD_HALF_WIDTH : KERB_HALF_WIDTH + 60.0f, 0.2f, materials.pavement, 4.0f);
    for (float along = std::ceil(from / LOT) * LOT; along < to; along += LOT) {
        for (const float side : {-1.0f, 1.0f}) {
            Random random(seed * 977u + static_cast<std::uint64_t>(along) * 31u + (side > 0 ? 7u : 0u));
            if (random.Unit() < 0.85f)
                AddTower(mesh, path, along, side, materials, random);
        }
    }
    for (const Vec3& head : CityLamps(path, from, to)) {
        AddBox(mesh, head - Vec3{0.0f, LAMP_HEIGHT * 0.5f, 0.0f}, {0.4f, LAMP_HEIGHT, 0.4f}, materials.pole);
        AddBox(mesh, head, {1.4f, 0.5f, 1.4f}, materials.lamp);
    }
    return mesh;
}

std::vector<Vec3> CityLamps(const Path& path, float from, float to)
{
    std::vector<Vec3> lamps;
    for (float along = std::ceil(from / LAMP_SPACING) * LAMP_SPACING; along < to; along += LAMP_SPACING) {
        for (const float side : {-1.0f, 1.0f})
            lamps.push_back(path.At(along) + path.Side(along) * (side * (ROAD_HALF_WIDTH + 2.0f)) + Vec3{0.0f, LAMP_HEIGHT, 0.0f});
    }
    return lamps;
}
