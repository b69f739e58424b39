// The made things, built from boxes, lathes and sheets.
#include "tools/datagen/builders/structures.h"

#include <cmath>

#include "tools/datagen/builders/shapes.h"

void AddGantry(Mesh& mesh, float span, float height, int lamps, std::uint32_t frame, std::uint32_t housing)
{
    for (const float side : {-1.0f, 1.0f})
        AddBox(mesh, {side * span * 0.5f, height * 0.5f, 0.0f}, {1.2f, height, 1.2f}, frame);
    AddBox(mesh, {0.0f, height + 0.8f, 0.0f}, {span + 1.2f, 1.6f, 1.6f}, frame);
    const float width = static_cast<float>(lamps) * 2.4f;
    AddBox(mesh, {0.0f, height + 0.8f, -1.0f}, {width, 2.2f, 0.6f}, housing);
}

Vec3 GantryLamp(float, float height, int lamp, int lamps)
{
    const float width = static_cast<float>(lamps) * 2.4f;
    return {-0.5f * width + 1.2f + 2.4f * static_cast<float>(lamp), height + 0.8f, -1.35f};
}

void AddHall(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t facade, std::uint32_t roof)
{
    AddBox(mesh, centre + Vec3{0.0f, size.y * 0.5f, 0.0f}, size, facade, {size.x / 8.0f, size.y / 6.0f});
    // The vault: half a cylinder along z over the walls.
    const float radius = size.x * 0.5f;
    const float top = centre.y + size.y;
    Mesh vault;
    AddSheet(vault, 8, 1, [=](float u, float v) {
        const float a = PI * u;
        return Vec3{centre.x + radius * std::cos(a), top + radius * 0.35f * std::sin(a), centre.z + size.z * (v - 0.5f)};
    }, roof, {1.0f, size.z / 10.0f});
    mesh.Append(vault);
}

void AddMast(Mesh& mesh, float height, std::uint32_t frame, std::uint32_t lamp)
{
    AddBox(mesh, {0.0f, height * 0.5f, 0.0f}, {0.8f, height, 0.8f}, frame);
    AddBox(mesh, {0.0f, height + 1.0f, 0.0f}, {4.4f, 2.6f, 1.0f}, frame);
    for (int i = 0; i < 4; ++i) {
        const float x = -1.5f + static_cast<float>(i);
        AddBox(mesh, {x, height + 1.0f, -0.55f}, {0.8f, 1.8f, 0.1f}, lamp);
    }
}

void AddArch(Mesh& mesh, float width, float height, std::uint32_t frame, std::uint32_t banner)
{
    for (const float side : {-1.0f, 1.0f})
        AddBox(mesh, {side * (width * 0.5f + 2.0f), height * 0.6f, 0.0f}, {4.0f, height * 1.2f, 4.0f}, frame);
    AddBox(mesh, {0.0f, height + 2.5f, 0.0f}, {width + 8.0f, 5.0f, 3.0f}, frame);
    const std::uint32_t a = mesh.AddVertex({-width * 0.5f, height + 0.5f, -1.55f});
    const std::uint32_t b = mesh.AddVertex({-width * 0.5f, height + 4.5f, -1.55f});
    const std::uint32_t c = mesh.AddVertex({width * 0.5f, height + 4.5f, -1.55f});
    const std::uint32_t d = mesh.AddVertex({width * 0.5f, height + 0.5f, -1.55f});
    mesh.AddQuad(a, b, c, d, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, banner);
}

void AddStand(Mesh& mesh, float length, int tiers, std::uint32_t seats, std::uint32_t frame)
{
    for (int t = 0; t < tiers; ++t) {
        const float z = 2.0f * static_cast<float>(t), y = 1.2f * static_cast<float>(t);
        AddBox(mesh, {0.0f, y + 0.6f, z + 1.0f}, {length, 1.2f, 2.0f}, seats, {length / 16.0f, 1.0f});
    }
    AddBox(mesh, {0.0f, 1.2f * static_cast<float>(tiers) + 2.0f, 2.0f * static_cast<float>(tiers) + 0.5f},
           {length, 4.0f, 1.0f}, frame);
}

void AddDisc(Mesh& mesh, Vec3 centre, float radius, int segments, std::uint32_t material)
{
    const std::uint32_t middle = mesh.AddVertex(centre);
    const auto first = static_cast<std::uint32_t>(mesh.Positions().size());
    for (int s = 0; s < segments; ++s) {
        const float a = TWO_PI * static_cast<float>(s) / static_cast<float>(segments);
        mesh.AddVertex(centre + Vec3{radius * std::cos(a), radius * std::sin(a), 0.0f});
    }
    for (int s = 0; s < segments; ++s) {
        const std::uint32_t a = first + static_cast<std::uint32_t>(s);
        const std::uint32_t b = first + static_cast<std::uint32_t>((s + 1) % segments);
        const Vec3 pa = mesh.Positions()[a] - centre, pb = mesh.Positions()[b] - centre;
        const Uv mid{0.5f, 0.5f}, ua{0.5f + 0.5f * pa.x / radius, 0.5f - 0.5f * pa.y / radius},
                 ub{0.5f + 0.5f * pb.x / radius, 0.5f - 0.5f * pb.y / radius};
        // Counter-clockwise seen from -z would face +z; b before a faces -z.
        mesh.AddTriangle(middle, b, a, mid, ub, ua, material);
    }
}

void AddWallStretch(Mesh& mesh, float length, float height, float spacing, std::uint32_t facade, std::uint32_t frame)
{
    const std::uint32_t a = mesh.AddVertex({0.0f, 0.0f, length}), b = mesh.AddVertex({0.0f, height, length});
    const std::uint32_t c = mesh.AddVertex({0.0f, height, 0.0f}), d = mesh.AddVertex({0.0f, 0.0f, 0.0f});
    mesh.AddQuad(a, b, c, d, facade, {0.0f, height / 60.0f}, {length / 40.0f, 0.0f});
    for (float z = spacing * 0.5f; z < length; z += spacing) {
        AddBox(mesh, {-5.0f, height * 0.5f, z}, {10.0f, height, 8.0f}, frame, {1.0f, height / 60.0f});
        AddBox(mesh, {-9.0f, 6.0f, z}, {8.0f, 12.0f, 12.0f}, frame);
    }
}

void AddDeck(Mesh& mesh, float length, float width, std::uint32_t surface, std::uint32_t barrier, std::uint32_t lamp)
{
    const float w = width * 0.5f;
    const std::uint32_t a = mesh.AddVertex({-w, 0.0f, 0.0f}), b = mesh.AddVertex({-w, 0.0f, length});
    const std::uint32_t c = mesh.AddVertex({w, 0.0f, length}), d = mesh.AddVertex({w, 0.0f, 0.0f});
    mesh.AddQuad(a, b, c, d, surface, {0.0f, 0.0f}, {width / 20.0f, length / 20.0f});
    AddBox(mesh, {0.0f, -3.3f, length * 0.5f}, {width, 6.0f, length}, barrier);
    for (const float side : {-1.0f, 1.0f}) {
        AddBox(mesh, {side * (w + 0.5f), 0.6f, length * 0.5f}, {1.0f, 1.2f, length}, barrier);
        for (float z = 10.0f; z < length; z += 20.0f)
            AddBox(mesh, {side * (w + 0.5f), 1.35f, z}, {0.6f, 0.3f, 1.6f}, lamp);
    }
}

void AddRoom(Mesh& mesh, Vec3 size, std::uint32_t floor, std::uint32_t wall, std::uint32_t ceiling)
{
    const Vec3 h = size * 0.5f;
    const auto quad = [&](Vec3 a, Vec3 b, Vec3 c, Vec3 d, std::uint32_t material, Uv repeat) {
        mesh.AddQuad(mesh.AddVertex(a), mesh.AddVertex(b), mesh.AddVertex(c), mesh.AddVertex(d), material, {0.0f, 0.0f},
                     repeat);
    };
    // Each quad is wound to face the inside.
    quad({-h.x, 0, -h.z}, {-h.x, 0, h.z}, {h.x, 0, h.z}, {h.x, 0, -h.z}, floor, {size.x / 10.0f, size.z / 10.0f});
    quad({-h.x, size.y, h.z}, {-h.x, size.y, -h.z}, {h.x, size.y, -h.z}, {h.x, size.y, h.z}, ceiling,
         {size.x / 12.0f, size.z / 12.0f});
    quad({-h.x, size.y, h.z}, {h.x, size.y, h.z}, {h.x, 0, h.z}, {-h.x, 0, h.z}, wall, {size.x / 8.0f, size.y / 8.0f});
    quad({h.x, size.y, -h.z}, {-h.x, size.y, -h.z}, {-h.x, 0, -h.z}, {h.x, 0, -h.z}, wall, {size.x / 8.0f, size.y / 8.0f});
    quad({h.x, size.y, h.z}, {h.x, size.y, -h.z}, {h.x, 0, -h.z}, {h.x, 0, h.z}, wall, {size.z / 8.0f, size.y / 8.0f});
    quad({-h.x, size.y, -h.z}, {-h.x, size.y, h.z}, {-h.x, 0, h.z}, {-h.x, 0, -h.z}, wall, {size.z / 8.0f, size.y / 8.0f});
}

void AddLimb(Mesh& mesh, float length, float thickness, std::uint32_t material, std::uint32_t joint)
{
    AddBox(mesh, {0.0f, length * 0.5f, 0.0f}, {thickness, length, thickness}, material);
    Mesh knuckle;
    AddLathe(knuckle, {{thickness * 0.9f, -thickness * 0.8f}, {thickness * 0.9f, thickness * 0.8f}}, 10, joint, true);
    Placement across;
    across.bank = PI / 2.0f;
    mesh.Append(knuckle, across);
}
