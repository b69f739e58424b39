// The city stretch. Towers stand on lots every 30 units along each side,
// their sizes and facades drawn from a generator seeded by the lot, so a
// stretch looks the same whichever scene carries it.
#include "tools/datagen/builders/city.h"

#include <cmath>

#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"

namespace {

constexpr float LOT = 30.0f;
constexpr float ROW = 10.0f;               // road rows along the path
constexpr float LAMP_SPACING = 40.0f;
constexpr float LAMP_HEIGHT = 9.0f;
constexpr float FACADE_WIDTH = 24.0f;
constexpr float FACADE_HEIGHT = 12.0f;
constexpr float PAVEMENT_OUT = 60.0f;      // beyond the kerb

// A strip following the path between offsets left and right (left < right)
// at height, every row showing the band once across its whole width.
void AddStrip(Mesh& mesh, const Path& path, float from, float to, float left, float right, float height,
              std::uint32_t material, const Band& band)
{
    const int rows = static_cast<int>(std::ceil((to - from) / ROW));
    const auto at = [&](float along, float across) {
        return path.At(along) + path.Side(along) * across + Vec3{0.0f, height, 0.0f};
    };
    for (int j = 0; j < rows; ++j) {
        const float a0 = from + (to - from) * static_cast<float>(j) / static_cast<float>(rows);
        const float a1 = from + (to - from) * static_cast<float>(j + 1) / static_cast<float>(rows);
        // Seen from above, looking along the path: left edge, then along, then right.
        const std::uint32_t p = mesh.AddVertex(at(a0, left)), q = mesh.AddVertex(at(a1, left));
        const std::uint32_t r = mesh.AddVertex(at(a1, right)), s = mesh.AddVertex(at(a0, right));
        mesh.AddQuad(p, q, r, s, band.At(0.0f, 0.0f), band.At(0.0f, 1.0f), band.At(1.0f, 1.0f), band.At(1.0f, 0.0f),
                     material);
    }
}

void AddTower(Mesh& mesh, const Path& path, float along, float side, const CityLook& look, Random& random)
{
    const float width = random.Range(14.0f, 24.0f), depth = random.Range(14.0f, 26.0f);
    const float floors = std::round(random.Range(2.0f, 8.0f) * (random.Unit() < 0.15f ? 1.8f : 1.0f));
    const float height = floors * FACADE_HEIGHT;
    const float offset = KERB_HALF_WIDTH + 3.0f + depth * 0.5f + random.Range(0.0f, 6.0f);
    const Band& facade = look.facades[static_cast<std::size_t>(random.Below(static_cast<int>(look.facades.size())))];
    Mesh tower;
    AddBandBox(tower, {0.0f, height * 0.5f, 0.0f}, {width, height, depth}, look.atlas, facade, FACADE_WIDTH, FACADE_HEIGHT, look.dark);
    Placement place;
    place.position = path.At(along) + path.Side(along) * (side * offset);
    place.heading = LookAngles(path.Direction(along)).heading;
    mesh.Append(tower, place);
}

}  // namespace

Mesh BuildCityStretch(const Path& path, float from, float to, const CityLook& look, std::uint32_t seed)
{
    Mesh mesh;
    AddStrip(mesh, path, from, to, -ROAD_HALF_WIDTH, ROAD_HALF_WIDTH, 0.0f, look.atlas, look.road);
    AddStrip(mesh, path, from, to, -KERB_HALF_WIDTH - PAVEMENT_OUT, -ROAD_HALF_WIDTH, 0.2f, look.atlas, look.pavement);
    AddStrip(mesh, path, from, to, ROAD_HALF_WIDTH, KERB_HALF_WIDTH + PAVEMENT_OUT, 0.2f, look.atlas, look.pavement);
    for (float along = std::ceil(from / LOT) * LOT; along < to; along += LOT) {
        for (const float side : {-1.0f, 1.0f}) {
            Random random(seed * 977u + static_cast<std::uint64_t>(static_cast<std::int64_t>(along)) * 31u + (side > 0 ? 7u : 0u));
            if (random.Unit() < 0.85f)
                AddTower(mesh, path, along, side, look, random);
        }
    }
    for (const Vec3& head : CityLamps(path, from, to)) {
        AddBox(mesh, head - Vec3{0.0f, LAMP_HEIGHT * 0.5f, 0.0f}, {0.4f, LAMP_HEIGHT, 0.4f}, look.atlas, {}, look.dark);
        AddBox(mesh, head, {1.4f, 0.5f, 1.4f}, look.lamp);
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
