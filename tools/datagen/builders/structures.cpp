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

void AddHall(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, const Band& facade, const Band& roof)
{
    AddBandBox(mesh, centre + Vec3{0.0f, size.y * 0.5f, 0.0f}, size, material, facade, 8.0f, 6.0f, roof.At(0.0f, 0.5f));
    // The vault: half a cylinder along z over the walls.
    const float radius = size.x * 0.5f;
    const float top = centre.y + size.y;
    const std::size_t first = mesh.Triangles().size();
    AddSheet(mesh, 8, 1, [=](float u, float v) {
        const float a = PI * u;
        return Vec3{centre.x + radius * std::cos(a), top + radius * 0.35f * std::sin(a), centre.z + size.z * (v - 0.5f)};
    }, material);
    MapIntoBand(mesh, first, roof);
}

void AddMast(Mesh& mesh, float height, std::uint32_t material, Uv frame, std::uint32_t lamp)
{
    AddBox(mesh, {0.0f, height * 0.5f, 0.0f}, {0.8f, height, 0.8f}, material, {}, frame);
    AddBox(mesh, {0.0f, height + 1.0f, 0.0f}, {4.4f, 2.6f, 1.0f}, material, {}, frame);
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

void AddStand(Mesh& mesh, float length, int tiers, std::uint32_t material, const Band& seats, Uv frame)
{
    for (int t = 0; t < tiers; ++t) {
        const float z = 2.0f * static_cast<float>(t), y = 1.2f * static_cast<float>(t);
        AddBandBox(mesh, {0.0f, y + 0.6f, z + 1.0f}, {length, 1.2f, 2.0f}, material, seats, 16.0f, 1.2f, frame);
    }
    AddBox(mesh, {0.0f, 1.2f * static_cast<float>(tiers) + 2.0f, 2.0f * static_cast<float>(tiers) + 0.5f},
           {length, 4.0f, 1.0f}, material, {}, frame);
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

void AddWallStretch(Mesh& mesh, float length, float height, float spacing, std::uint32_t material, const Band& facade,
                    Uv frame)
{
    AddBandQuad(mesh, {0.0f, 0.0f, length}, {0.0f, height, length}, {0.0f, height, 0.0f}, {0.0f, 0.0f, 0.0f}, material, facade,
                length / 40.0f, static_cast<int>(std::round(height / 60.0f)));
    for (float z = spacing * 0.5f; z < length; z += spacing) {
        AddBox(mesh, {-5.0f, height * 0.5f, z}, {10.0f, height, 8.0f}, material, {}, frame);
        AddBox(mesh, {-9.0f, 6.0f, z}, {8.0f, 12.0f, 12.0f}, material, {}, frame);
    }
}

void AddDeck(Mesh& mesh, float length, float width, std::uint32_t material, const Band& surface, Uv frame,
             std::uint32_t lamp)
{
    const float w = width * 0.5f;
    AddBandQuad(mesh, {-w, 0.0f, 0.0f}, {-w, 0.0f, length}, {w, 0.0f, length}, {w, 0.0f, 0.0f}, material, surface,
                width / 20.0f, static_cast<int>(length / 20.0f));
    AddBox(mesh, {0.0f, -3.3f, length * 0.5f}, {width, 6.0f, length}, material, {}, frame);
    for (const float side : {-1.0f, 1.0f}) {
        AddBox(mesh, {side * (w + 0.5f), 0.6f, length * 0.5f}, {1.0f, 1.2f, length}, material, {}, frame);
        for (float z = 10.0f; z < length; z += 20.0f)
            AddBox(mesh, {side * (w + 0.5f), 1.35f, z}, {0.6f, 0.3f, 1.6f}, lamp);
    }
}

void AddRoom(Mesh& mesh, Vec3 size, std::uint32_t material, const Band& floor, const Band& wall, const Band& ceiling)
{
    const Vec3 h = size * 0.5f;
    const auto strips = [](float length, float tile) { return static_cast<int>(std::round(length / tile)); };
    // Each quad: bottom left, top left, top right, bottom right seen from inside.
    AddBandQuad(mesh, {-h.x, 0, -h.z}, {-h.x, 0, h.z}, {h.x, 0, h.z}, {h.x, 0, -h.z}, material, floor, size.x / 10.0f,
                strips(size.z, 10.0f));
    AddBandQuad(mesh, {-h.x, size.y, h.z}, {-h.x, size.y, -h.z}, {h.x, size.y, -h.z}, {h.x, size.y, h.z}, material, ceiling,
                size.x / 12.0f, strips(size.z, 12.0f));
    const Vec3 corners[4] = {{-h.x, 0, h.z}, {h.x, 0, h.z}, {h.x, 0, -h.z}, {-h.x, 0, -h.z}};
    const Vec3 up{0.0f, size.y, 0.0f};
    for (int side = 0; side < 4; ++side) {
        const Vec3 left = corners[side], right = corners[(side + 1) % 4];
        AddBandQuad(mesh, left, left + up, right + up, right, material, wall, Length(right - left) / 8.0f, strips(size.y, 8.0f));
    }
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
