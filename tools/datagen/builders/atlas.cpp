// Stacked pictures and the geometry that maps into their bands.
#include "tools/datagen/builders/atlas.h"

#include <algorithm>
#include <cmath>

Picture Stack(const std::vector<Picture>& pictures, std::vector<Band>& bands)
{
    int height = 0;
    for (const Picture& picture : pictures)
        height += picture.height;
    Picture stacked(pictures.front().width, height);
    bands.clear();
    int top = 0;
    for (const Picture& picture : pictures) {
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x)
                stacked.At(x, top + y) = picture.At(x, y);
        }
        const float h = static_cast<float>(height);
        bands.push_back({(static_cast<float>(top) + 1.0f) / h, (static_cast<float>(top + picture.height) - 1.0f) / h});
        top += picture.height;
    }
    return stacked;
}

void AddBandQuad(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d, std::uint32_t material, const Band& band, float uRepeat,
                 int strips)
{
    strips = std::max(strips, 1);
    for (int k = 0; k < strips; ++k) {
        const float t0 = static_cast<float>(k) / static_cast<float>(strips);
        const float t1 = static_cast<float>(k + 1) / static_cast<float>(strips);
        const std::uint32_t p = mesh.AddVertex(Lerp(a, b, t0)), q = mesh.AddVertex(Lerp(a, b, t1));
        const std::uint32_t r = mesh.AddVertex(Lerp(d, c, t1)), s = mesh.AddVertex(Lerp(d, c, t0));
        mesh.AddQuad(p, q, r, s, band.At(0.0f, 0.0f), band.At(0.0f, 1.0f), band.At(uRepeat, 1.0f),
                     band.At(uRepeat, 0.0f), material);
    }
}

void AddBandBox(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, const Band& band, float uSpan,
                float stripHeight, Uv roof)
{
    const Vec3 h = size * 0.5f;
    const int strips = static_cast<int>(std::round(size.y / stripHeight));
    // Corners of the foot, counter-clockwise seen from above, starting front left.
    const Vec3 foot[4] = {{-h.x, -h.y, -h.z}, {h.x, -h.y, -h.z}, {h.x, -h.y, h.z}, {-h.x, -h.y, h.z}};
    for (int side = 0; side < 4; ++side) {
        const Vec3 left = centre + foot[side], right = centre + foot[(side + 1) % 4];
        const Vec3 up{0.0f, size.y, 0.0f};
        const float repeat = std::max(1.0f, std::round(Length(right - left) / uSpan));
        AddBandQuad(mesh, left, left + up, right + up, right, material, band, repeat, strips);
    }
    const float top = centre.y + h.y, bottom = centre.y - h.y;
    const std::uint32_t a = mesh.AddVertex({centre.x - h.x, top, centre.z - h.z}),
                        b = mesh.AddVertex({centre.x - h.x, top, centre.z + h.z}),
                        c = mesh.AddVertex({centre.x + h.x, top, centre.z + h.z}),
                        d = mesh.AddVertex({centre.x + h.x, top, centre.z - h.z});
    mesh.AddQuad(a, b, c, d, roof, roof, roof, roof, material);
    const std::uint32_t e = mesh.AddVertex({centre.x - h.x, bottom, centre.z + h.z}),
                        f = mesh.AddVertex({centre.x - h.x, bottom, centre.z - h.z}),
                        g = mesh.AddVertex({centre.x + h.x, bottom, centre.z - h.z}),
                        i = mesh.AddVertex({centre.x + h.x, bottom, centre.z + h.z});
    mesh.AddQuad(e, f, g, i, roof, roof, roof, roof, material);
}

void MapIntoBand(Mesh& mesh, std::size_t first, const Band& band)
{
    std::vector<Triangle>& triangles = mesh.Triangles();
    for (std::size_t i = first; i < triangles.size(); ++i) {
        for (Uv& uv : triangles[i].uv)
            uv.v = band.v0 + (band.v1 - band.v0) * std::clamp(uv.v, 0.0f, 1.0f);
    }
}
