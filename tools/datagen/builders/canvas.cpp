// The canvas: cells go to the eye's space, are cut at the near plane, and
// are filled sample by sample with their attributes interpolated in
// perspective. Cells are lit from both sides, so a builder's winding never
// leaves a hole.
#include "tools/datagen/builders/canvas.h"

#include <algorithm>
#include <cmath>

#include "image/texture.h"

namespace {

constexpr float NEAR = 0.05f;           // world units before the eye
constexpr int MAX_CLIPPED = 4;          // a triangle cut by one plane

float Edge(float ax, float ay, float bx, float by, float px, float py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

float Wrapped(float t)
{
    return t - std::floor(t);
}

Colour Texel(const Picture& map, int x, int y)
{
    x = ((x % map.width) + map.width) % map.width;
    y = ((y % map.height) + map.height) % map.height;
    return map.At(x, y);
}

// Bilinear, the map repeating in both directions.
Colour Sample(const Picture& map, Uv uv)
{
    const float x = Wrapped(uv.u) * static_cast<float>(map.width) - 0.5f;
    const float y = Wrapped(uv.v) * static_cast<float>(map.height) - 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    const Colour top = Mix(Texel(map, x0, y0), Texel(map, x0 + 1, y0), fx);
    const Colour bottom = Mix(Texel(map, x0, y0 + 1), Texel(map, x0 + 1, y0 + 1), fx);
    return Mix(top, bottom, fy);
}

float Brightest(Colour c) { return std::max(c.r, std::max(c.g, c.b)); }

bool SeeThrough(const VECTOR_FILE_Material& material)
{
    return (material.flags & (Material::TRANSPARENT | Material::ADDITIVE)) != 0;
}

// Each vertex's normal: the sum of its cells' (weighted by their area), as
// smooth materials light shared corners.
std::vector<Vec3> VertexNormals(const Mesh& mesh)
{
    std::vector<Vec3> normals(mesh.Positions().size());
    for (const Triangle& triangle : mesh.Triangles()) {
        const Vec3 a = mesh.Positions()[triangle.corners[0]];
        const Vec3 across = Cross(mesh.Positions()[triangle.corners[1]] - a, mesh.Positions()[triangle.corners[2]] - a);
        for (const std::uint32_t corner : triangle.corners)
            normals[corner] = normals[corner] + across;
    }
    for (Vec3& normal : normals)
        normal = Normalised(normal);
    return normals;
}

}  // namespace

struct Canvas::Corner {
    Vec3 view;    // in the eye's space: x right, y up, z ahead
    Uv uv;
    Vec3 normal;  // in the world, toward the side the eye sees
};

struct Canvas::Cell {
    const VECTOR_FILE_Material* material;
    const Picture* map;  // null without a colour map
    Vec3 normal;         // the flat normal, toward the eye
    bool smooth;
};

Canvas::Canvas(int width, int height, int supersample, const CanvasView& view, Vec3 towardLight)
    : width_(width), height_(height), supersample_(supersample), sampleWidth_(width * supersample),
      sampleHeight_(height * supersample), eye_(view.eye), towardLight_(Normalised(towardLight))
{
    forward_ = Normalised(view.target - view.eye);
    right_ = Normalised(Cross({0.0f, 1.0f, 0.0f}, forward_));
    up_ = Cross(forward_, right_);
    focal_ = 0.5f * static_cast<float>(sampleHeight_) / std::tan(0.5f * view.fieldOfView);
    const std::size_t samples = static_cast<std::size_t>(sampleWidth_) * static_cast<std::size_t>(sampleHeight_);
    colour_.assign(samples, Colour{0.0f, 0.0f, 0.0f});
    coverage_.assign(samples, 0.0f);
    nearness_.assign(samples, 0.0f);
}

void Canvas::Backdrop(const Picture& picture)
{
    ForEachSample([&](std::size_t at, float u, float v) {
        colour_[at] = Sample(picture, {u, v});
        coverage_[at] = 1.0f;
    });
}

void Canvas::Keep(const std::function<bool(float, float)>& inside)
{
    ForEachSample([&](std::size_t at, float u, float v) {
        if (!inside(u, v)) {
            colour_[at] = Colour{0.0f, 0.0f, 0.0f};
            coverage_[at] = 0.0f;
            nearness_[at] = 0.0f;
        }
    });
}

void Canvas::ForEachSample(const std::function<void(std::size_t, float, float)>& visit)
{
    for (int y = 0; y < sampleHeight_; ++y) {
        for (int x = 0; x < sampleWidth_; ++x)
            visit(SampleAt(x, y), (static_cast<float>(x) + 0.5f) / static_cast<float>(sampleWidth_),
                  (static_cast<float>(y) + 0.5f) / static_cast<float>(sampleHeight_));
    }
}

std::size_t Canvas::SampleAt(int x, int y) const
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(sampleWidth_) + static_cast<std::size_t>(x);
}

void Canvas::DrawSolid(const Mesh& mesh, const CanvasMaps& maps) { DrawMesh(mesh, maps, false); }

void Canvas::DrawSeeThrough(const Mesh& mesh, const CanvasMaps& maps) { DrawMesh(mesh, maps, true); }

void Canvas::DrawMesh(const Mesh& mesh, const CanvasMaps& maps, bool seeThrough)
{
    const std::vector<Vec3> normals = VertexNormals(mesh);
    for (const Triangle& triangle : mesh.Triangles()) {
        const VECTOR_FILE_Material& material = mesh.Materials()[triangle.material];
        if (SeeThrough(material) != seeThrough)
            continue;
        const auto map = maps.find(material.colourMapName);
        Cell cell{&material, (material.flags & Material::COLOUR_MAP) != 0 && map != maps.end() ? &map->second : nullptr,
                  {}, (material.flags & Material::SMOOTH) != 0};
        const Vec3 a = mesh.Positions()[triangle.corners[0]];
        cell.normal = Normalised(Cross(mesh.Positions()[triangle.corners[1]] - a, mesh.Positions()[triangle.corners[2]] - a));
        const float facing = Dot(cell.normal, eye_ - a) < 0.0f ? -1.0f : 1.0f;
        cell.normal = cell.normal * facing;
        Corner corners[3];
        for (int i = 0; i < 3; ++i) {
            const Vec3 relative = mesh.Positions()[triangle.corners[i]] - eye_;
            corners[i] = {{Dot(relative, right_), Dot(relative, up_), Dot(relative, forward_)}, triangle.uv[i],
                          normals[triangle.corners[i]] * facing};
        }
        DrawCell(cell, corners);
    }
}

// Cuts the cell at the near plane and fills what is left as a fan.
void Canvas::DrawCell(const Cell& cell, const Corner* corners)
{
    Corner kept[MAX_CLIPPED];
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const Corner& p = corners[i];
        const Corner& q = corners[(i + 1) % 3];
        if (p.view.z >= NEAR)
            kept[count++] = p;
        if ((p.view.z >= NEAR) != (q.view.z >= NEAR)) {
            const float t = (NEAR - p.view.z) / (q.view.z - p.view.z);
            kept[count++] = {Lerp(p.view, q.view, t), {p.uv.u + (q.uv.u - p.uv.u) * t, p.uv.v + (q.uv.v - p.uv.v) * t},
                             Lerp(p.normal, q.normal, t)};
        }
    }
    for (int i = 1; i + 1 < count; ++i)
        FillTriangle(cell, kept[0], kept[i], kept[i + 1]);
}

void Canvas::FillTriangle(const Cell& cell, const Corner& a, const Corner& b, const Corner& c)
{
    const Corner* corners[3] = {&a, &b, &c};
    float x[3], y[3], w[3];
    for (int i = 0; i < 3; ++i) {
        w[i] = 1.0f / corners[i]->view.z;
        x[i] = 0.5f * static_cast<float>(sampleWidth_) + corners[i]->view.x * w[i] * focal_;
        y[i] = 0.5f * static_cast<float>(sampleHeight_) - corners[i]->view.y * w[i] * focal_;
    }
    const float area = Edge(x[0], y[0], x[1], y[1], x[2], y[2]);
    if (std::fabs(area) < 1e-6f)
        return;
    const int left = std::max(0, static_cast<int>(std::floor(std::min({x[0], x[1], x[2]}))));
    const int right = std::min(sampleWidth_ - 1, static_cast<int>(std::ceil(std::max({x[0], x[1], x[2]}))));
    const int top = std::max(0, static_cast<int>(std::floor(std::min({y[0], y[1], y[2]}))));
    const int bottom = std::min(sampleHeight_ - 1, static_cast<int>(std::ceil(std::max({y[0], y[1], y[2]}))));
    for (int sy = top; sy <= bottom; ++sy) {
        for (int sx = left; sx <= right; ++sx) {
            const float px = static_cast<float>(sx) + 0.5f, py = static_cast<float>(sy) + 0.5f;
            const float b0 = Edge(x[1], y[1], x[2], y[2], px, py) / area;
            const float b1 = Edge(x[2], y[2], x[0], y[0], px, py) / area;
            const float b2 = 1.0f - b0 - b1;
            if (b0 < 0.0f || b1 < 0.0f || b2 < 0.0f)
                continue;
            const float nearness = b0 * w[0] + b1 * w[1] + b2 * w[2];
            const float q0 = b0 * w[0] / nearness, q1 = b1 * w[1] / nearness, q2 = b2 * w[2] / nearness;
            const Uv uv{q0 * a.uv.u + q1 * b.uv.u + q2 * c.uv.u, q0 * a.uv.v + q1 * b.uv.v + q2 * c.uv.v};
            const Vec3 normal = cell.smooth ? Normalised(a.normal * q0 + b.normal * q1 + c.normal * q2) : cell.normal;
            Blend(SampleAt(sx, sy), cell, Shade(cell, uv, normal), nearness);
        }
    }
}

// As the demo shades a corner: the light sum scaled by `fourth`, `further0`
// added, clamped at 1, times the map or else the colour.
Colour Canvas::Shade(const Cell& cell, Uv uv, Vec3 normal) const
{
    const VECTOR_FILE_Material& material = *cell.material;
    const float light = std::min(1.0f, material.further0 + material.fourth * std::max(0.0f, Dot(normal, towardLight_)));
    const Colour base = cell.map != nullptr ? Sample(*cell.map, uv)
                                            : Colour{material.colour[0], material.colour[1], material.colour[2]};
    return Scaled(base, light);
}

void Canvas::Blend(std::size_t at, const Cell& cell, Colour colour, float nearness)
{
    if (nearness <= nearness_[at])
        return;
    const VECTOR_FILE_Material& material = *cell.material;
    if ((material.flags & Material::ADDITIVE) != 0) {
        const float strength = 1.0f - material.further1;
        colour_[at] = Added(colour_[at], Scaled(colour, strength));
        coverage_[at] = std::min(1.0f, coverage_[at] + strength * Brightest(colour));
    } else if ((material.flags & Material::TRANSPARENT) != 0) {
        const float through = material.further1;
        colour_[at] = Added(Scaled(colour_[at], through), Scaled(colour, 1.0f - through));
        coverage_[at] = coverage_[at] * through + (1.0f - through);
    } else {
        colour_[at] = colour;
        coverage_[at] = 1.0f;
        nearness_[at] = nearness;
    }
}

bool Canvas::Project(Vec3 world, float& u, float& v) const
{
    const Vec3 relative = world - eye_;
    const float depth = Dot(relative, forward_);
    if (depth < NEAR)
        return false;
    u = 0.5f + Dot(relative, right_) / depth * focal_ / static_cast<float>(sampleWidth_);
    v = 0.5f - Dot(relative, up_) / depth * focal_ / static_cast<float>(sampleHeight_);
    return true;
}

void Canvas::Glow(Vec3 where, float radius, Colour colour)
{
    float u = 0.0f, v = 0.0f;
    if (!Project(where, u, v))
        return;
    const float centreX = u * static_cast<float>(sampleWidth_), centreY = v * static_cast<float>(sampleHeight_);
    const float reach = radius * focal_ / Dot(where - eye_, forward_);
    const int left = std::max(0, static_cast<int>(centreX - reach));
    const int right = std::min(sampleWidth_ - 1, static_cast<int>(centreX + reach));
    const int top = std::max(0, static_cast<int>(centreY - reach));
    const int bottom = std::min(sampleHeight_ - 1, static_cast<int>(centreY + reach));
    for (int sy = top; sy <= bottom; ++sy) {
        for (int sx = left; sx <= right; ++sx) {
            const float dx = (static_cast<float>(sx) + 0.5f - centreX) / reach;
            const float dy = (static_cast<float>(sy) + 0.5f - centreY) / reach;
            const float d2 = dx * dx + dy * dy;
            if (d2 >= 1.0f)
                continue;
            const float strength = (1.0f - d2) * (1.0f - d2);
            const std::size_t at = SampleAt(sx, sy);
            colour_[at] = Added(colour_[at], Scaled(colour, strength));
            coverage_[at] = std::min(1.0f, coverage_[at] + strength * Brightest(colour));
        }
    }
}

std::vector<std::uint8_t> Canvas::Rgba() const
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    const float share = 1.0f / static_cast<float>(supersample_ * supersample_);
    const auto byte = [](float value) { return static_cast<std::uint8_t>(Clamp01(value) * 255.0f + 0.5f); };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Colour sum{0.0f, 0.0f, 0.0f};
            float covered = 0.0f;
            for (int sy = y * supersample_; sy < (y + 1) * supersample_; ++sy) {
                for (int sx = x * supersample_; sx < (x + 1) * supersample_; ++sx) {
                    const std::size_t at = SampleAt(sx, sy);
                    sum = Added(sum, colour_[at]);
                    covered += coverage_[at];
                }
            }
            const float alpha = covered * share;
            const float unmultiply = alpha > 0.0f ? share / alpha : 0.0f;
            bytes.insert(bytes.end(), {byte(sum.r * unmultiply), byte(sum.g * unmultiply), byte(sum.b * unmultiply), byte(alpha)});
        }
    }
    return bytes;
}
