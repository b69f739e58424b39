// The steps of the mesh swims on lanes of atoms or cells: projection, the
// test of a facing cell's corners with its depth key, the corner lighting of
// every light kind and the material's shading. Every lane does the scalar
// swims' operations in their order, so each lane's result is theirs to the
// bit. A light that adds nothing to a lane adds +0.0 there, which leaves a
// sum as it is: a sum starts at +0.0 and so is never -0.0. Internal linkage
// throughout (see render/batch_lanes.h); V is F4 or F8.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/batch_lanes.h"
#include "render/batch_swim.h"
#include "render/cell_culling.h"
#include "scene/vector.h"

namespace {

constexpr std::size_t ATOM_POSITION = offsetof(Atom, position);
constexpr std::size_t ATOM_DEPTH = offsetof(Atom, reciprocalDepth);  // then screen x, y
constexpr std::size_t ATOM_CAMERA = offsetof(Atom, camera);
constexpr std::size_t ATOM_NORMAL = offsetof(Atom, normal);
constexpr std::size_t ATOM_CAMERA_NORMAL = offsetof(Atom, cameraNormal);
constexpr std::size_t ATOM_BEHIND = offsetof(Atom, behind);  // then stamp, clip code
constexpr std::size_t CELL_NORMAL = offsetof(Cell, normal);
constexpr std::size_t CELL_COLOURS = offsetof(Cell, colours);
constexpr std::size_t CELL_CACHE = offsetof(Cell, cachedLight);
constexpr std::size_t CELL_UV = offsetof(Cell, uv);
constexpr std::size_t CELL_FLAGS = offsetof(Cell, renderFlags);
static_assert(offsetof(Atom, screen) == ATOM_DEPTH + 4 && offsetof(Atom, work) == ATOM_CAMERA + 12 &&
                  offsetof(Atom, stamp) == ATOM_BEHIND + 4 && offsetof(Atom, clipCode) == ATOM_BEHIND + 8 &&
                  offsetof(Atom, lastWork) == ATOM_BEHIND + 12 &&
                  offsetof(Atom, cameraNormal) == ATOM_NORMAL + 12 && offsetof(Cell, corners) >= CELL_NORMAL + 16 &&
                  offsetof(Material, fourth) == offsetof(Material, colour) + 12,
              "fields read and written four at a time");

template <class V>
struct V3 {
    V x, y, z;
};

template <class V>
inline V Dot(const V3<V>& a, const V3<V>& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <class V>
inline V3<V> operator-(const V3<V>& a, const V3<V>& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

template <class V>
inline V3<V> Select3(V mask, const V3<V>& a, const V3<V>& b)
{
    return {Select(mask, a.x, b.x), Select(mask, a.y, b.y), Select(mask, a.z, b.z)};
}

template <class V, class At>
inline V3<V> Gather3(At at)
{
    V x, y, z, unused;
    V::Gather(at, x, y, z, unused);
    return {x, y, z};
}

template <class V, class At>
inline void Scatter3(At at, unsigned lanes, const V3<V>& v)
{
    V::template Scatter<3>(at, lanes, v.x, v.y, v.z, v.z);
}

constexpr unsigned LanesUpTo(int count) { return (1u << count) - 1; }

// The address functions of a field of each lane's atom.
inline auto AtomField(Atom* const* atoms, std::size_t offset)
{
    return [atoms, offset](int i) { return FieldOf(atoms[i], offset); };
}

// A group of cells in lanes; lanes past the last cell repeat it, so that
// every load reads a real cell.
template <int W>
struct CellGroup {
    Cell* cells[W];
    int count;
    unsigned all;

    CellGroup(Cell* const* list, int n) : count(n), all(LanesUpTo(n))
    {
        EachLane<W>([&](int i) { cells[i] = list[i < n ? i : n - 1]; });
    }
    CellGroup(Cell* first, int n) : count(n), all(LanesUpTo(n))
    {
        EachLane<W>([&](int i) { cells[i] = first + (i < n ? i : n - 1); });
    }
    auto Field(std::size_t offset) const
    {
        return [this, offset](int i) { return FieldOf(cells[i], offset); };
    }
    auto Corner(int k, std::size_t offset) const
    {
        return [this, k, offset](int i) { return FieldOf(cells[i]->corners[k], offset); };
    }
};

// The Vector's matrix in lanes: the rotation part turns normals, the whole
// transforms positions.
template <class V>
struct MatrixLanes {
    V m[12];

    explicit MatrixLanes(const Matrix& matrix)
    {
        for (int i = 0; i < 12; ++i)
            m[i] = V::Splat(matrix.m[i]);
    }
    V3<V> Rotate(const V3<V>& v) const
    {
        return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
                m[8] * v.x + m[9] * v.y + m[10] * v.z};
    }
    V3<V> Transform(const V3<V>& p) const
    {
        return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
                m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
    }
};

template <class V>
inline typename V::Int Flag(V mask, std::int32_t value)
{
    return mask.Bits() & V::Int::Splat(value);
}

template <class I>
inline unsigned BitsWhere(I flags, std::int32_t flag)
{
    return Bits(Equal(flags & I::Splat(flag), I::Splat(flag)));
}

// Atom::Project on count atoms (1 to W, a whole lane's worth of pointers):
// camera position always; behind the near plane its flag and clip code 0,
// else reciprocal depth, screen position and clip code. The camera position
// and the flag, stamp and clip code are written as the four-float rows the
// later steps read (the fourth float written back as it was), so that those
// reads are served by the stores.
template <class V>
void ProjectLanes(const BatchFrame& frame, const MatrixLanes<V>& matrix, Atom* const* atoms, int count)
{
    using I = typename V::Int;
    V x, y, z, unused, work;
    V::Gather(AtomField(atoms, ATOM_POSITION), x, y, z, unused);
    V::Gather(AtomField(atoms, ATOM_CAMERA), unused, unused, unused, work);
    const V last = V::Of(I::Gather([atoms](int i) { return IntFieldOf(atoms[i], offsetof(Atom, lastWork)); }));
    const V3<V> c = matrix.Transform({x, y, z});
    const V behind = Less(c.z, V::Splat(frame.nearPlane));
    const V r = V::Splat(1.0f) / c.z;
    const V sx = c.x * V::Splat(frame.xScale) * r + V::Splat(frame.centreX);
    const V sy = c.y * V::Splat(frame.yScale) * r + V::Splat(frame.centreY);
    const unsigned all = LanesUpTo(count);
    V::template Scatter<4>(AtomField(atoms, ATOM_CAMERA), all, c.x, c.y, c.z, work);
    V::template Scatter<3>(AtomField(atoms, ATOM_DEPTH), all & ~Bits(behind), r, sx, sy, sy);
    const I code = Flag(Less(sx, V::Splat(frame.clipLeft)), 1) | Flag(Greater(sx, V::Splat(frame.clipRight)), 2) |
                   Flag(Less(sy, V::Splat(frame.clipTop)), 4) | Flag(Greater(sy, V::Splat(frame.clipBottom)), 8);
    const V stamp = V::Of(I::Splat(static_cast<std::int32_t>(frame.frame)));
    V::template Scatter<4>(AtomField(atoms, ATOM_BEHIND), all, V::Of(Flag(behind, 1)), stamp,
                           V::Of(Select(behind.Bits(), I::Splat(0), code)), last);
}

// What the lanes read of their materials: flags as lane bits, and the values
// of Material::Shade.
template <class V>
struct MaterialLanes {
    unsigned smooth, mapped, transparent;
    V fourth, further, colour[3], tinted;

    explicit MaterialLanes(const CellGroup<V::WIDTH>& group)
    {
        constexpr int W = V::WIDTH;
        using I = typename V::Int;
        const Material* materials[W];
        bool shared = true;
        EachLane<W>([&](int i) {
            materials[i] = group.cells[i]->material;
            shared = shared && materials[i] == materials[0];
        });
        if (shared) {
            const Material& material = *materials[0];
            const auto lanesWith = [&](std::uint32_t flag) { return (material.flags & flag) != 0 ? group.all : 0u; };
            smooth = lanesWith(Material::SMOOTH), mapped = lanesWith(Material::ENVIRONMENT);
            transparent = lanesWith(Material::TRANSPARENT);
            tinted = V::Mask((material.flags & (Material::ENVIRONMENT | Material::COLOUR_MAP)) == 0 ? ~0u : 0u);
            fourth = V::Splat(material.fourth), further = V::Splat(material.further[0]);
            for (int c = 0; c < 3; ++c)
                colour[c] = V::Splat(material.colour[c]);
            return;
        }
        const I laneFlags = I::Gather([&](int i) { return IntFieldOf(materials[i], offsetof(Material, flags)); });
        smooth = BitsWhere(laneFlags, Material::SMOOTH) & group.all;
        mapped = BitsWhere(laneFlags, Material::ENVIRONMENT) & group.all;
        transparent = BitsWhere(laneFlags, Material::TRANSPARENT) & group.all;
        tinted = V::Of(Equal(laneFlags & I::Splat(Material::ENVIRONMENT | Material::COLOUR_MAP), I::Splat(0)));
        V::Gather([&](int i) { return materials[i]->colour; }, colour[0], colour[1], colour[2], fourth);
        further = V::Gather([&](int i) { return materials[i]->further; });
    }
    // Material::Shade of one channel's light sum.
    V Shade(int c, V sum) const
    {
        const V one = V::Splat(1.0f);
        V v = sum * fourth + further;
        v = Select(GreaterEqual(v, one), one, v);
        return Select(tinted, v * colour[c], v);
    }
};

// The depth keys of the lanes in again, whose rounding left the 32-bit range.
template <class V>
void RoundAgain(Cell* const* cells, V product, unsigned again, unsigned transparent)
{
    float products[V::WIDTH];
    product.Store(products);
    for (int i = 0; i < V::WIDTH; ++i) {
        if ((again >> i & 1) == 0)
            continue;
        const std::uint32_t key = ScalarKey(products[i]);
        cells[i]->node.depthKey = (transparent >> i & 1) != 0 ? ~key : key;
    }
}

// The lanes of a group that AcceptFacingCell accepts, and those whose
// static-light cache is valid.
struct Accepted {
    unsigned lanes;
    unsigned cached;
};

// StartFlags and AcceptFacingCell on the facing cells of a group, and the
// depth key of each accepted one: the last corner in front of the near
// plane gives it. A key out of the 32-bit range is rounded again as the
// scalar swim rounds it.
template <class V>
Accepted AcceptLanes(const BatchFrame& frame, const CellGroup<V::WIDTH>& group, unsigned transparent)
{
    using I = typename V::Int;
    constexpr int W = V::WIDTH;
    const I old = I::Gather([&](int i) { return IntFieldOf(group.cells[i], CELL_FLAGS); });
    I behind[3], codes[3];
    for (int k = 0; k < 3; ++k) {
        V b, stamp, code, last;
        V::Gather(group.Corner(k, ATOM_BEHIND), b, stamp, code, last);
        behind[k] = b.Bits();
        codes[k] = code.Bits() & I::Splat(CLIP_CODE_MASK);
    }
    const auto bits = [](std::uint32_t flags) { return I::Splat(static_cast<std::int32_t>(flags)); };
    I flags = (old | bits(LOOKED_AT)) & bits(~(RenderFlag::PER_CORNER | RenderFlag::BACK_FACING));
    flags = flags | ShiftLeft<2>(behind[0]) | ShiftLeft<3>(behind[1]) | ShiftLeft<4>(behind[2]) |
            ShiftLeft<5>(codes[0]) | ShiftLeft<9>(codes[1]) | ShiftLeft<13>(codes[2]);
    const I zero = I::Splat(0);
    const I allBehind = Equal(flags & bits(RenderFlag::BEHIND_ANY), bits(RenderFlag::BEHIND_ANY));
    flags = Select(allBehind, flags, flags & bits(~RenderFlag::ALL_BEHIND));
    const I accepted = Select(allBehind, zero, Equal(codes[0] & codes[1] & codes[2], zero));
    flags = Select(accepted, flags & bits(~RenderFlag::REJECTED), flags);
    V depth = V::Splat(0.0f);
    for (int k = 0; k < 3; ++k)
        depth = Select(V::Of(Equal(behind[k], zero)), V::Gather(group.Corner(k, ATOM_DEPTH)), depth);
    const V product = depth * V::Splat(frame.depthKeyScale);
    const I rounded = product.Round();
    std::int32_t newFlags[W], keys[W];
    flags.Store(newFlags);
    Select(V::Mask(transparent).Bits(), rounded ^ I::Splat(-1), rounded).Store(keys);
    const unsigned lanes = Bits(accepted) & group.all;
    EachLane<W>([&](int i) {
        if (i < group.count)
            group.cells[i]->renderFlags = static_cast<std::uint32_t>(newFlags[i]);
        if ((lanes >> i & 1) != 0)
            group.cells[i]->node.depthKey = static_cast<std::uint32_t>(keys[i]);
    });
    if (const unsigned again = Bits(Equal(rounded, I::Splat(INT32_MIN))) & lanes)
        RoundAgain(group.cells, product, again, transparent);
    return {lanes, BitsWhere(old, RenderFlag::STATIC_CACHED) & group.all};
}

template <class V>
inline void AddDistant(const BatchLight& light, const V3<V>& n, V use, V* sum)
{
    const V d = V::Splat(light.direction[0]) * n.x + V::Splat(light.direction[1]) * n.y +
                V::Splat(light.direction[2]) * n.z;
    const V pass = And(use, Greater(d, V::Splat(0.0f)));
    const V intensity = V::Splat(light.intensity);
    for (int c = 0; c < 3; ++c)
        sum[c] = sum[c] + And(pass, V::Splat(light.colour[c]) * d * intensity);
}

// (d / D) × (intensity - D × falloff), negative once the falloff wins.
template <class V>
inline V Attenuated(const BatchLight& light, V d, V distance)
{
    return d / distance * (V::Splat(light.intensity) - distance * V::Splat(light.falloff));
}

template <class V>
inline void AddAttenuated(const BatchLight& light, V pass, V f, V* sum)
{
    for (int c = 0; c < 3; ++c)
        sum[c] = sum[c] + And(pass, V::Splat(light.colour[c]) * f);
}

template <class V>
inline V3<V> SplatAll(const float* v)
{
    return {V::Splat(v[0]), V::Splat(v[1]), V::Splat(v[2])};
}

template <class V>
inline void AddPoint(const BatchLight& light, const V3<V>& p, const V3<V>& n, V use, V* sum)
{
    const V3<V> toLight = SplatAll<V>(light.position) - p;
    const V d = Dot(toLight, n);
    const V distance = Sqrt(Dot(toLight, toLight));
    const V pass = And(use, And(Greater(d, V::Splat(0.0f)), LessEqual(distance, V::Splat(light.range))));
    AddAttenuated(light, pass, Attenuated(light, d, distance), sum);
}

template <class V>
inline void AddSpot(const BatchLight& light, const V3<V>& p, const V3<V>& n, V use, V* sum)
{
    const V3<V> fromLight = p - SplatAll<V>(light.position);
    const V d = -Dot(fromLight, n);
    const V distance = Sqrt(Dot(fromLight, fromLight));
    const V s = Dot(SplatAll<V>(light.direction), fromLight) / distance;
    const V cone = V::Splat(light.outerCone), edge = V::Splat(light.innerCone);
    const V pass = And(And(use, Greater(d, V::Splat(0.0f))),
                       And(LessEqual(distance, V::Splat(light.range)), Greater(s, cone)));
    const V f = Attenuated(light, d, distance);
    AddAttenuated(light, pass, Select(Less(s, edge), f * (s - cone) / (edge - cone), f), sum);
}

// Light::Accumulate for the lanes' points p with normals n: both sums from
// +0.0, light by light in list order. masked: the lanes whose static lights
// are cached, and skipped.
template <class V>
inline void AccumulateLanes(const BatchFrame& frame, const V3<V>& p, const V3<V>& n, unsigned masked,
                            unsigned lanes, V* dynamic, V* fixed)
{
    const V all = V::Mask(~0u), unmasked = V::Mask(~masked);
    for (int c = 0; c < 3; ++c)
        dynamic[c] = fixed[c] = V::Splat(0.0f);
    for (int i = 0; i < frame.lightCount; ++i) {
        const BatchLight& light = frame.lights[i];
        if (light.skippedByMask && (lanes & ~masked) == 0)
            continue;
        const V use = light.skippedByMask ? unmasked : all;
        V* const sum = light.addsToStatic ? fixed : dynamic;
        if (light.kind == BatchLight::DISTANT)
            AddDistant(light, n, use, sum);
        else if (light.kind == BatchLight::POINT)
            AddPoint(light, p, n, use, sum);
        else
            AddSpot(light, p, n, use, sum);
    }
}

// Nine floats of each lane's cell from offset on: three corners' red, green, blue.
template <class V>
inline void GatherNine(const CellGroup<V::WIDTH>& group, std::size_t offset, V (&v)[9])
{
    V::Gather(group.Field(offset), v[0], v[1], v[2], v[3]);
    V::Gather(group.Field(offset + 16), v[4], v[5], v[6], v[7]);
    v[8] = V::Gather(group.Field(offset + 32));
}

template <class V>
inline void ScatterNine(const CellGroup<V::WIDTH>& group, std::size_t offset, unsigned lanes, const V (&v)[9])
{
    V::template Scatter<4>(group.Field(offset), lanes, v[0], v[1], v[2], v[3]);
    V::template Scatter<4>(group.Field(offset + 16), lanes, v[4], v[5], v[6], v[7]);
    V::template Scatter<1>(group.Field(offset + 32), lanes, v[8], v[8], v[8], v[8]);
}

// The corner lighting of the lit lanes of a group, corner k with normals[k]:
// colours from the sums and the static-light cache, which takes the static
// share while it is not valid on a static mesh.
template <class V>
void LightLanes(const BatchFrame& frame, const CellGroup<V::WIDTH>& group, const MaterialLanes<V>& materials,
                Accepted lit, const V3<V> (&normals)[3])
{
    const bool meshIsStatic = frame.vector->isStatic != 0;
    const unsigned masked = meshIsStatic ? lit.cached : 0;
    V cache[9], colours[9], fixedSums[9];
    GatherNine(group, CELL_CACHE, cache);
    for (int k = 0; k < 3; ++k) {
        const V3<V> p = frame.lightsNeedPosition ? Gather3<V>(group.Corner(k, ATOM_CAMERA)) : normals[k];
        V dynamic[3], fixed[3];
        AccumulateLanes(frame, p, normals[k], masked, lit.lanes, dynamic, fixed);
        for (int c = 0; c < 3; ++c) {
            colours[3 * k + c] = materials.Shade(c, dynamic[c] + fixed[c] + cache[3 * k + c]);
            fixedSums[3 * k + c] = fixed[c];
        }
    }
    ScatterNine(group, CELL_COLOURS, lit.lanes, colours);
    if (!meshIsStatic)
        return;
    ScatterNine(group, CELL_CACHE, lit.lanes & ~lit.cached, fixedSums);
    for (int i = 0; i < group.count; ++i) {
        if ((lit.lanes >> i & 1) != 0)
            group.cells[i]->renderFlags |= RenderFlag::STATIC_CACHED;
    }
}

}  // namespace
