// The solids. Closed shapes share positions along every seam, so each edge
// of one belongs to exactly two of its triangles.
#include "tools/datagen/builders/shapes.h"

#include <cmath>

#include "tools/datagen/builders/random.h"

namespace {

// The corner of a box face: centre plus the face's axis offsets.
struct BoxFace {
    Vec3 normal, right, up;  // up x right points along normal
};

constexpr BoxFace BOX_FACES[6] = {
    {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},   // front, seen from -z
    {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},   // back
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},    // right
    {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  // left
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},    // top
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},  // bottom
};

Vec3 Scaled(Vec3 a, Vec3 s) { return {a.x * s.x, a.y * s.y, a.z * s.z}; }

// One ring of a lathe (a single vertex for a pole), and its index of segment s.
struct Ring {
    std::uint32_t first = 0;
    bool pole = false;
    std::uint32_t At(int s, int segments) const { return pole ? first : first + static_cast<std::uint32_t>(s % segments); }
};

Ring AddRing(Mesh& mesh, ProfilePoint point, int segments)
{
    Ring ring;
    ring.pole = point.radius == 0.0f;
    ring.first = static_cast<std::uint32_t>(mesh.Positions().size());
    const int count = ring.pole ? 1 : segments;
    for (int s = 0; s < count; ++s) {
        const float angle = TWO_PI * static_cast<float>(s) / static_cast<float>(segments);
        mesh.AddVertex({point.radius * std::sin(angle), point.height, point.radius * std::cos(angle)});
    }
    return ring;
}

// A flat disc closing ring at its height, facing up or down.
void AddCap(Mesh& mesh, const Ring& ring, float height, int segments, bool facingUp, std::uint32_t material)
{
    const std::uint32_t centre = mesh.AddVertex({0.0f, height, 0.0f});
    for (int s = 0; s < segments; ++s) {
        const std::uint32_t a = ring.At(s, segments), b = ring.At(s + 1, segments);
        const Uv mid{0.5f, 0.5f}, ua{0.5f, 0.0f}, ub{1.0f, 0.5f};
        if (facingUp)
            mesh.AddTriangle(centre, a, b, mid, ua, ub, material);
        else
            mesh.AddTriangle(centre, b, a, mid, ub, ua, material);
    }
}

float SignedAreaZ(Vec3 a, Vec3 b, Vec3 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

// The first point other than a and b lying on the segment between them, or -1.
int PointOnEdge(const std::vector<Vec3>& points, std::uint32_t a, std::uint32_t b)
{
    const Vec3 p = points[a], q = points[b];
    const float length = Length(q - p);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == a || i == b)
            continue;
        const Vec3 r = points[i];
        const float along = Dot(r - p, q - p) / (length * length);
        if (along > 1e-4f && along < 1.0f - 1e-4f && std::fabs(SignedAreaZ(p, q, r)) / length < 1e-5f)
            return static_cast<int>(i);
    }
    return -1;
}

// A tessellator may leave a long cap edge where the outline has points along
// it (where a stem meets a bar); the walls meet those points, so the cap's
// triangle is split at each of them and every seam edge has its twin.
void SplitAtOutlinePoints(const std::vector<Vec3>& points, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                          std::vector<std::uint32_t>& out)
{
    const std::uint32_t corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t p = corners[k], q = corners[(k + 1) % 3], r = corners[(k + 2) % 3];
        const int split = PointOnEdge(points, p, q);
        if (split >= 0) {
            SplitAtOutlinePoints(points, p, static_cast<std::uint32_t>(split), r, out);
            SplitAtOutlinePoints(points, static_cast<std::uint32_t>(split), q, r, out);
            return;
        }
    }
    out.insert(out.end(), {a, b, c});
}

}  // namespace

void AddBox(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, Uv repeat, Uv origin)
{
    const Vec3 half = size * 0.5f;
    for (const BoxFace& face : BOX_FACES) {
        const Vec3 middle = centre + Scaled(face.normal, half);
        const Vec3 right = Scaled(face.right, half), up = Scaled(face.up, half);
        // Corners: bottom left, top left, top right, bottom right as seen from outside.
        const std::uint32_t a = mesh.AddVertex(middle - right - up);
        const std::uint32_t b = mesh.AddVertex(middle - right + up);
        const std::uint32_t c = mesh.AddVertex(middle + right + up);
        const std::uint32_t d = mesh.AddVertex(middle + right - up);
        const float u0 = origin.u, v0 = origin.v, u1 = origin.u + repeat.u, v1 = origin.v + repeat.v;
        mesh.AddQuad(a, b, c, d, {u0, v1}, {u0, v0}, {u1, v0}, {u1, v1}, material);
    }
}

void AddLathe(Mesh& mesh, const std::vector<ProfilePoint>& profile, int segments, std::uint32_t material,
              bool capped, Uv repeat)
{
    std::vector<Ring> rings;
    for (const ProfilePoint& point : profile)
        rings.push_back(AddRing(mesh, point, segments));
    const float rows = static_cast<float>(profile.size() - 1);
    for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
        const Ring& low = rings[k];
        const Ring& high = rings[k + 1];
        const float v0 = repeat.v * (1.0f - static_cast<float>(k) / rows);
        const float v1 = repeat.v * (1.0f - static_cast<float>(k + 1) / rows);
        for (int s = 0; s < segments; ++s) {
            const float u0 = repeat.u * static_cast<float>(s) / static_cast<float>(segments);
            const float u1 = repeat.u * static_cast<float>(s + 1) / static_cast<float>(segments);
            const std::uint32_t a = low.At(s, segments), b = low.At(s + 1, segments);
            const std::uint32_t c = high.At(s + 1, segments), d = high.At(s, segments);
            if (!low.pole)
                mesh.AddTriangle(a, b, c, {u0, v0}, {u1, v0}, {u1, v1}, material);
            if (!high.pole)
                mesh.AddTriangle(a, c, d, {u0, v0}, {u1, v1}, {u0, v1}, material);
        }
    }
    if (!capped)
        return;
    if (!rings.front().pole)
        AddCap(mesh, rings.front(), profile.front().height, segments, false, material);
    if (!rings.back().pole)
        AddCap(mesh, rings.back(), profile.back().height, segments, true, material);
}

void AddSphere(Mesh& mesh, Vec3 centre, float radius, int rings, std::uint32_t material)
{
    std::vector<ProfilePoint> profile;
    for (int k = 0; k <= rings; ++k) {
        const float angle = PI * static_cast<float>(k) / static_cast<float>(rings);
        profile.push_back({k == 0 || k == rings ? 0.0f : radius * std::sin(angle), -radius * std::cos(angle)});
    }
    const std::size_t first = mesh.Positions().size();
    AddLathe(mesh, profile, 2 * rings, material);
    for (std::size_t i = first; i < mesh.Positions().size(); ++i)
        mesh.Positions()[i] = mesh.Positions()[i] + centre;
}

void AddTorus(Mesh& mesh, float major, float minor, int segments, int sides, std::uint32_t material)
{
    // u runs around the y axis, v around the tube from the outside upward,
    // so that du x dv points out of the tube.
    AddSheet(mesh, segments, sides, [=](float u, float v) {
        const float a = TWO_PI * u, b = TWO_PI * v;
        const float r = major + minor * std::cos(b);
        return Vec3{r * std::sin(a), minor * std::sin(b), r * std::cos(a)};
    }, material, {4.0f, 1.0f});
}

void AddSheet(Mesh& mesh, int columns, int rows, const std::function<Vec3(float, float)>& surface,
              std::uint32_t material, Uv repeat)
{
    const auto first = static_cast<std::uint32_t>(mesh.Positions().size());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i)
            mesh.AddVertex(surface(static_cast<float>(i) / columns, static_cast<float>(j) / rows));
    }
    const auto at = [&](int i, int j) { return first + static_cast<std::uint32_t>(j * (columns + 1) + i); };
    const auto uv = [&](int i, int j) {
        return Uv{repeat.u * static_cast<float>(i) / columns, repeat.v * static_cast<float>(j) / rows};
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i)
            mesh.AddQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1), uv(i, j), uv(i + 1, j),
                         uv(i + 1, j + 1), uv(i, j + 1), material);
    }
}

void AddExtrusion(Mesh& mesh, const Outline& outline, float z0, float z1, std::uint32_t capMaterial,
                  std::uint32_t sideMaterial)
{
    std::vector<Vec3> points;
    for (const std::vector<Vec3>& contour : outline.contours)
        points.insert(points.end(), contour.begin(), contour.end());
    const auto front = static_cast<std::uint32_t>(mesh.Positions().size());
    for (const Vec3& p : points)
        mesh.AddVertex({p.x, p.y, z0});
    const auto back = static_cast<std::uint32_t>(mesh.Positions().size());
    for (const Vec3& p : points)
        mesh.AddVertex({p.x, p.y, z1});
    std::vector<std::uint32_t> caps;
    for (std::size_t t = 0; t + 2 < outline.capTriangles.size(); t += 3) {
        const std::uint32_t a = outline.capTriangles[t], b = outline.capTriangles[t + 1], c = outline.capTriangles[t + 2];
        // Slivers of no area along straight runs of the outline cover nothing.
        if (std::fabs(SignedAreaZ(points[a], points[b], points[c])) >= 1e-7f)
            SplitAtOutlinePoints(points, a, b, c, caps);
    }
    for (std::size_t t = 0; t + 2 < caps.size(); t += 3) {
        std::uint32_t a = caps[t], b = caps[t + 1], c = caps[t + 2];
        if (SignedAreaZ(points[a], points[b], points[c]) > 0.0f)
            std::swap(b, c);  // now clockwise, which faces -z
        const Uv none{};
        mesh.AddTriangle(front + a, front + b, front + c, none, none, none, capMaterial);
        mesh.AddTriangle(back + a, back + c, back + b, none, none, none, capMaterial);
    }
    for (const std::vector<Vec3>& contour : outline.contours) {
        const auto n = static_cast<std::uint32_t>(contour.size());
        for (std::uint32_t i = 0; i < n; ++i) {
            const Vec3 p = contour[i], q = contour[(i + 1) % n];
            const std::uint32_t a = mesh.AddVertex({p.x, p.y, z0}), b = mesh.AddVertex({q.x, q.y, z0});
            const std::uint32_t c = mesh.AddVertex({q.x, q.y, z1}), d = mesh.AddVertex({p.x, p.y, z1});
            mesh.AddQuad(a, b, c, d, sideMaterial);
        }
    }
}

Outline ConvexOutline(const std::vector<Vec3>& points)
{
    Outline outline;
    outline.contours.push_back(points);
    for (std::uint32_t i = 1; i + 1 < points.size(); ++i)
        outline.capTriangles.insert(outline.capTriangles.end(), {0u, i, i + 1});
    return outline;
}

Mesh Reshaped(const Mesh& mesh, const std::function<Vec3(Vec3)>& shift)
{
    Mesh copy = mesh;
    for (Vec3& p : copy.Positions())
        p = shift(p);
    return copy;
}

void AddStarfield(Mesh& mesh, int count, float radius, float size, std::uint32_t material, std::uint32_t seed)
{
    Random random(seed);
    for (int i = 0; i < count; ++i) {
        const float z = random.Range(-1.0f, 1.0f), a = random.Range(0.0f, TWO_PI);
        const float r = std::sqrt(1.0f - z * z);
        const Vec3 centre = Vec3{r * std::cos(a), z, r * std::sin(a)} * radius;
        const Vec3 in = Normalised(-centre);
        const Vec3 u = Normalised(Cross(in, std::fabs(in.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0}));
        const Vec3 v = Cross(in, u);
        const float s = size * random.Range(0.5f, 1.5f);
        const std::uint32_t p = mesh.AddVertex(centre + u * s), q = mesh.AddVertex(centre + v * s),
                            w = mesh.AddVertex(centre - (u + v) * (0.7f * s));
        // Wound to face the centre: (q - p) x (w - p) must point along in.
        if (Dot(Cross(mesh.Positions()[q] - mesh.Positions()[p], mesh.Positions()[w] - mesh.Positions()[p]), in) > 0.0f)
            mesh.AddTriangle(p, q, w, {}, {}, {}, material);
        else
            mesh.AddTriangle(p, w, q, {}, {}, {}, material);
    }
}
