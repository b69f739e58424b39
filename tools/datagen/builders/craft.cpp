// The craft, built from lathes laid along z and boxes.
#include "tools/datagen/builders/craft.h"

#include <cmath>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/textures.h"

namespace {

constexpr float ENGINE_OFFSET = 2.1f;
constexpr float ENGINE_HEIGHT = 0.75f;
constexpr float ENGINE_BACK = -3.2f;
constexpr int LIVERY_WIDTH = 128;
constexpr int PAINT = 0, METAL = 1, STRUT = 2;  // the livery's bands

// A lathe about y laid along z: +y of the profile becomes +z.
const Placement ALONG_Z{{}, PI / 2.0f, 0.0f, 0.0f, {1.0f, 1.0f, 1.0f}};

Mesh Hull(std::uint32_t livery)
{
    Mesh hull;
    AddLathe(hull, {{0.0f, -3.0f}, {0.6f, -2.9f}, {0.9f, -2.0f}, {1.0f, -0.6f}, {0.95f, 0.9f},
                    {0.8f, 1.9f}, {0.5f, 2.7f}, {0.0f, 3.1f}},
             14, livery, false);
    return hull;
}

Mesh Engine(std::uint32_t metal)
{
    Mesh engine;
    AddLathe(engine, {{0.3f, -1.6f}, {0.55f, -1.5f}, {0.6f, -0.4f}, {0.55f, 1.2f}, {0.42f, 1.6f}, {0.0f, 1.75f}},
             12, metal, true);
    return engine;
}

Mesh Exhaust(std::uint32_t glow)
{
    Mesh exhaust;
    AddLathe(exhaust, {{0.0f, -1.4f}, {0.35f, -0.2f}, {0.42f, 0.0f}, {0.0f, 0.05f}}, 10, glow, false);
    return exhaust;
}

// The livery picture's bands: paint, metal, dark.
std::vector<Band> LiveryBands()
{
    std::vector<Band> bands;
    Stack({Picture(LIVERY_WIDTH, 64), Picture(LIVERY_WIDTH, 32), Picture(LIVERY_WIDTH, 32)}, bands);
    return bands;
}

// The craft's materials, in the same order in every part: the livery (paint,
// metal and struts through its bands), the canopy, the exhausts.
struct CraftMaterials {
    std::uint32_t livery, canopy, glow;
};

CraftMaterials AddMaterials(Mesh& craft, const CraftStyle& style)
{
    CraftMaterials m;
    m.livery = craft.AddMaterial(Surface::Mapped(style.livery, true, 0.25f));
    m.canopy = craft.AddMaterial(Surface::Glass(style.canopy, 0.35f, 0.35f));
    m.glow = craft.AddMaterial(Surface::Glow(style.exhaust, 0.9f));
    return m;
}

void AddShell(Mesh& craft, const CraftMaterials& m)
{
    const std::size_t first = craft.Triangles().size();
    Placement hull = ALONG_Z;
    hull.position = {0.0f, 0.7f, 0.0f};
    hull.scale = {1.5f, 1.0f, 0.55f};  // the lathe's z becomes the hull's height
    craft.Append(Hull(m.livery), hull);
    // The front wing across the nose, and a fin above each engine.
    AddBox(craft, {0.0f, 0.55f, 2.4f}, {5.2f, 0.14f, 0.9f}, m.livery);
    for (const int side : {-1, 1})
        AddBox(craft, {static_cast<float>(side) * ENGINE_OFFSET, 1.45f, -2.4f}, {0.08f, 0.9f, 1.0f}, m.livery);
    MapIntoBand(craft, first, LiveryBands()[PAINT]);
    Mesh bubble;
    AddSphere(bubble, {}, 1.0f, 6, m.canopy);
    Placement seat;
    seat.position = {0.0f, 1.05f, 0.6f};
    seat.scale = {0.55f, 0.45f, 1.1f};
    craft.Append(bubble, seat);
}

void AddFrame(Mesh& craft, const CraftMaterials& m)
{
    for (const int side : {-1, 1}) {
        Placement engine = ALONG_Z;
        engine.position = {static_cast<float>(side) * ENGINE_OFFSET, ENGINE_HEIGHT, -1.6f};
        std::size_t first = craft.Triangles().size();
        craft.Append(Engine(m.livery), engine);
        MapIntoBand(craft, first, LiveryBands()[METAL]);
        Placement exhaust = ALONG_Z;
        exhaust.position = {static_cast<float>(side) * ENGINE_OFFSET, ENGINE_HEIGHT, ENGINE_BACK};
        craft.Append(Exhaust(m.glow), exhaust);
        first = craft.Triangles().size();
        AddBox(craft, {static_cast<float>(side) * 1.45f, 0.8f, -1.4f}, {1.3f, 0.16f, 1.6f}, m.livery);
        MapIntoBand(craft, first, LiveryBands()[STRUT]);
    }
}

}  // namespace

Mesh BuildCraft(const CraftStyle& style)
{
    Mesh craft;
    const CraftMaterials m = AddMaterials(craft, style);
    AddShell(craft, m);
    AddFrame(craft, m);
    return craft;
}

Mesh BuildCraftShell(const CraftStyle& style)
{
    Mesh craft;
    AddShell(craft, AddMaterials(craft, style));
    return craft;
}

Mesh BuildCraftFrame(const CraftStyle& style)
{
    Mesh craft;
    AddFrame(craft, AddMaterials(craft, style));
    return craft;
}

Vec3 CraftExhaust(int side)
{
    return {static_cast<float>(side) * ENGINE_OFFSET, ENGINE_HEIGHT, ENGINE_BACK - 0.6f};
}

Picture CraftLivery(Colour paint, Colour stripe, Colour trim)
{
    Picture metal(LIVERY_WIDTH, 32), strut(LIVERY_WIDTH, 32);
    metal.Paint([](float u, float v) {
        const float rings = 0.85f + 0.15f * std::cos(v * 18.0f);
        const float sheen = 0.5f + 0.25f * std::cos(u * TWO_PI * 2.0f);
        return Scaled(Colour{0.62f, 0.64f, 0.68f}, rings * (0.6f + sheen * 0.6f));
    });
    strut.Paint([](float u, float) { return Scaled(Colour{0.16f, 0.16f, 0.18f}, 0.8f + 0.2f * std::cos(u * 40.0f)); });
    std::vector<Band> bands;
    return Stack({Cropped(Livery(LIVERY_WIDTH, paint, stripe, trim), 64), metal, strut}, bands);
}
