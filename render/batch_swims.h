// The two mesh swims in batches: the cells go by chunks in their order, and
// each step of a chunk runs on lanes before the next step starts. Steps are
// ordered so that every field ends as the scalar swims leave it: an atom is
// projected by the first step that needs it (stamps as there), deforming
// normals are summed in cell order, and the visible cells are appended in
// cell order. Work space is fixed-size, on the stack. V is F4 or F8.
#pragma once

#include <cstdint>

#include "render/batch_kernels.h"

namespace {

constexpr int CHUNK = 128;  // cells per chunk

inline int Fewer(int a, int b) { return a < b ? a : b; }

// Pointers of a step's work, in order, with room for a lane's worth past the end.
template <class Item, int CAPACITY>
struct WorkList {
    Item* items[CAPACITY + 8];
    int count = 0;

    // Adds the lanes of group that are set in keep.
    template <int W>
    void AddLanes(Cell* const (&group)[W], unsigned keep)
    {
        if (keep == LanesUpTo(W)) {
            EachLane<W>([&](int i) { items[count + i] = group[i]; });
            count += W;
            return;
        }
        EachLane<W>([&](int i) {
            items[count] = group[i];
            count += static_cast<int>(keep >> i & 1);
        });
    }
    // Repeats the last item up to a whole number of lanes.
    void Pad(int width)
    {
        for (int i = count; i % width != 0; ++i)
            items[i] = items[count - 1];
    }
};

// Atoms to project, each once a frame.
struct AtomQueue : WorkList<Atom, 3 * CHUNK> {
    // Queues the atoms at(0) … at(n - 1) that this frame has not projected
    // yet, in that order; an atom of a deforming mesh restarts its normal
    // sum then. The count is kept in a register meanwhile: a stamp store
    // could otherwise write it, as far as the compiler knows.
    template <class At>
    void AddUnprojected(int n, At at, std::uint32_t frame, bool clearsNormal)
    {
        int queued = count;
        for (int i = 0; i < n; ++i) {
            Atom* const atom = at(i);
            if (atom->stamp == frame)
                continue;
            if (clearsNormal)
                atom->normal[0] = atom->normal[1] = atom->normal[2] = 0.0f;
            atom->stamp = frame;
            items[queued++] = atom;
        }
        count = queued;
    }
};

template <class V>
void ProjectQueued(const BatchFrame& frame, const MatrixLanes<V>& matrix, AtomQueue& queue)
{
    queue.Pad(V::WIDTH);
    for (int i = 0; i < queue.count; i += V::WIDTH)
        ProjectLanes(frame, matrix, queue.items + i, Fewer(V::WIDTH, queue.count - i));
    queue.count = 0;
}

using CellList = WorkList<Cell, CHUNK>;

// The facing lanes of a group; the others end their frame here with their
// flags started (the facing ones start theirs when their corners are tested).
template <int W>
unsigned KeepFacing(const CellGroup<W>& group, unsigned away)
{
    away &= group.all;
    for (int i = 0; away >> i != 0; ++i) {
        if ((away >> i & 1) != 0)
            StartFlags(*group.cells[i]);
    }
    return group.all & ~away;
}

template <class V>
void ScatterMapCoordinates(const CellGroup<V::WIDTH>& group, unsigned which, const V (&uv)[6])
{
    V::template Scatter<4>(group.Field(CELL_UV), which, uv[0], uv[1], uv[2], uv[3]);
    V::template Scatter<2>(group.Field(CELL_UV + 16), which, uv[4], uv[5], uv[5], uv[5]);
}

// Rigid lighting of the accepted lanes: flat cells with their turned
// normal, smooth ones with their atoms' turned normals, which the atoms keep;
// environment maps from the atoms' turned normals.
template <class V>
void LightRigidLanes(const BatchFrame& frame, const MatrixLanes<V>& matrix, const CellGroup<V::WIDTH>& group,
                     const MaterialLanes<V>& materials, Accepted lit)
{
    const V3<V> flat = matrix.Rotate(Gather3<V>(group.Field(CELL_NORMAL)));
    V3<V> normals[3] = {flat, flat, flat};
    const unsigned smooth = materials.smooth & lit.lanes, mapped = materials.mapped & lit.lanes;
    if ((smooth | mapped) != 0) {
        const V half = V::Splat(frame.half);
        const V smoothLanes = V::Mask(smooth);
        V uv[6];
        for (int k = 0; k < 3; ++k) {
            const V3<V> w = matrix.Rotate(Gather3<V>(group.Corner(k, ATOM_NORMAL)));
            Scatter3(group.Corner(k, ATOM_CAMERA_NORMAL), smooth, w);
            normals[k] = Select3(smoothLanes, w, flat);
            uv[2 * k] = w.x * half + half;
            uv[2 * k + 1] = w.y * half + half;
        }
        if (mapped != 0)
            ScatterMapCoordinates(group, mapped, uv);
    }
    LightLanes(frame, group, materials, lit, normals);
}

// Accepts the facing cells of a rigid chunk, lights the accepted ones and
// appends them.
template <class V>
void FinishRigidChunk(const BatchFrame& frame, const MatrixLanes<V>& matrix, CellList& facing)
{
    constexpr int W = V::WIDTH;
    CellList visible;
    for (int i = 0; i < facing.count; i += W) {
        const CellGroup<W> group(facing.items + i, Fewer(W, facing.count - i));
        const MaterialLanes<V> materials(group);
        const Accepted accepted = AcceptLanes<V>(frame, group, materials.transparent);
        if (accepted.lanes != 0)
            LightRigidLanes(frame, matrix, group, materials, accepted);
        visible.AddLanes(group.cells, accepted.lanes);
    }
    AppendBatch(visible.items, visible.count);
}

// Corner 0 of every cell is projected first; corners 1 and 2 only for the
// cells that face the eye.
template <class V>
void SwimRigidChunk(const BatchFrame& frame, const MatrixLanes<V>& matrix, Cell* cells, int count)
{
    constexpr int W = V::WIDTH;
    AtomQueue queue;
    queue.AddUnprojected(count, [cells](int i) { return cells[i].corners[0]; }, frame.frame, false);
    ProjectQueued(frame, matrix, queue);
    CellList facing;
    for (int i = 0; i < count; i += W) {
        const CellGroup<W> group(cells + i, Fewer(W, count - i));
        const V3<V> normal = matrix.Rotate(Gather3<V>(group.Field(CELL_NORMAL)));
        const V3<V> p = Gather3<V>(group.Corner(0, ATOM_CAMERA));
        facing.AddLanes(group.cells, KeepFacing(group, Bits(GreaterEqual(Dot(normal, p), V::Splat(0.0f)))));
    }
    queue.AddUnprojected(
        2 * facing.count, [&facing](int i) { return facing.items[i / 2]->corners[1 + i % 2]; }, frame.frame, false);
    ProjectQueued(frame, matrix, queue);
    FinishRigidChunk(frame, matrix, facing);
}

// step(first cell, count) for the chunks of vector's cells, in their order.
template <class Step>
void EachChunk(Vector& vector, Step step)
{
    const int cellCount = static_cast<int>(vector.cellCount);
    for (int first = 0; first < cellCount; first += CHUNK)
        step(vector.cells + first, Fewer(CHUNK, cellCount - first));
}

template <class V>
void SwimRigidBatched(const BatchFrame& frame)
{
    const MatrixLanes<V> matrix(frame.vector->matrix);
    EachChunk(*frame.vector, [&](Cell* cells, int count) { SwimRigidChunk(frame, matrix, cells, count); });
}

// The unit normal of the projected corners, n × (1 / |n|) with 1 in place
// of a squared length of exactly 0, which the cells keep; the result has
// the lanes set whose cell faces away.
template <class V>
unsigned FaceNormalLanes(const CellGroup<V::WIDTH>& group)
{
    const V3<V> p0 = Gather3<V>(group.Corner(0, ATOM_CAMERA));
    const V3<V> p1 = Gather3<V>(group.Corner(1, ATOM_CAMERA));
    const V3<V> p2 = Gather3<V>(group.Corner(2, ATOM_CAMERA));
    const V3<V> e1 = p1 - p0, e2 = p2 - p0;
    V3<V> n = {e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const V squared = Dot(n, n), one = V::Splat(1.0f);
    const V inverse = one / Sqrt(Select(Equal(squared, V::Splat(0.0f)), one, squared));
    n = {n.x * inverse, n.y * inverse, n.z * inverse};
    // Four floats, the fourth into padding, as the lighting reads them back.
    V::template Scatter<4>(group.Field(CELL_NORMAL), group.all, n.x, n.y, n.z, n.z);
    return Bits(GreaterEqual(Dot(n, p2), V::Splat(0.0f)));
}

// Every cell adds its normal to its corners' sums, in cell order.
inline void AddCellNormals(Cell* cells, int count)
{
    for (int i = 0; i < count; ++i) {
        const float x = cells[i].normal[0], y = cells[i].normal[1], z = cells[i].normal[2];
        for (Atom* const corner : cells[i].corners) {
            corner->normal[0] += x;
            corner->normal[1] += y;
            corner->normal[2] += z;
        }
    }
}

// The first pass of a deforming chunk: flat cells are lit with their face
// normal; smooth ones wait for complete atom normals.
template <class V>
void SwimDeformingChunk(const BatchFrame& frame, const MatrixLanes<V>& matrix, Cell* cells, int count)
{
    constexpr int W = V::WIDTH;
    AtomQueue queue;
    queue.AddUnprojected(3 * count, [cells](int i) { return cells[i / 3].corners[i % 3]; }, frame.frame, true);
    ProjectQueued(frame, matrix, queue);
    CellList facing, visible;
    for (int i = 0; i < count; i += W) {
        const CellGroup<W> group(cells + i, Fewer(W, count - i));
        facing.AddLanes(group.cells, KeepFacing(group, FaceNormalLanes<V>(group)));
    }
    AddCellNormals(cells, count);
    for (int i = 0; i < facing.count; i += W) {
        const CellGroup<W> group(facing.items + i, Fewer(W, facing.count - i));
        const MaterialLanes<V> materials(group);
        const Accepted accepted = AcceptLanes<V>(frame, group, materials.transparent);
        const Accepted flat = {accepted.lanes & ~materials.smooth, accepted.cached};
        if (flat.lanes != 0) {
            const V3<V> normal = Gather3<V>(group.Field(CELL_NORMAL));
            LightLanes(frame, group, materials, flat, {normal, normal, normal});
        }
        visible.AddLanes(group.cells, accepted.lanes);
    }
    AppendBatch(visible.items, visible.count);
}

// Unit atom normals from their sums; a sum of zero takes the normal of the
// drawn cell that reached the atom first.
template <class V>
void FinishNormalLanes(Atom* const* atoms, const float* const* drawn, int count)
{
    const V3<V> sum = Gather3<V>(AtomField(atoms, ATOM_NORMAL));
    const V3<V> cell = Gather3<V>([drawn](int i) { return drawn[i]; });
    const V squared = Dot(sum, sum);
    const V length = Sqrt(squared);
    const V3<V> unit = {sum.x / length, sum.y / length, sum.z / length};
    const V3<V> n = Select3(Equal(squared, V::Splat(0.0f)), cell, unit);
    V::template Scatter<4>(AtomField(atoms, ATOM_NORMAL), LanesUpTo(count), n.x, n.y, n.z, n.x);
    V::template Scatter<2>(AtomField(atoms, ATOM_CAMERA_NORMAL + 4), LanesUpTo(count), n.y, n.z, n.z, n.z);
}

// The atoms of a deforming chunk's drawn cells whose normals are not final
// yet (the clip code marks the final ones), each with the normal of the
// first drawn cell that reaches it.
struct NormalQueue : AtomQueue {
    const float* drawn[3 * CHUNK + 8];

    // Queues the corners of cell that no earlier cell queued.
    void AddUnfinished(Cell& cell)
    {
        int queued = count;
        for (Atom* const corner : cell.corners) {
            if (corner->clipCode == NORMAL_DONE)
                continue;
            corner->clipCode = NORMAL_DONE;
            drawn[queued] = cell.normal;
            items[queued++] = corner;
        }
        count = queued;
    }
    template <class V>
    void Finish()
    {
        for (int i = count; i % V::WIDTH != 0; ++i)
            drawn[i] = drawn[count - 1];
        Pad(V::WIDTH);
        for (int i = 0; i < count; i += V::WIDTH)
            FinishNormalLanes<V>(items + i, drawn + i, Fewer(V::WIDTH, count - i));
        count = 0;
    }
};

// Smooth lighting and environment maps (y gives the first map coordinate,
// x the second) from the final atom normals.
template <class V>
void FinishDeformingLanes(const BatchFrame& frame, Cell* const* cells, int count)
{
    using I = typename V::Int;
    const CellGroup<V::WIDTH> group(cells, count);
    const MaterialLanes<V> materials(group);
    if ((materials.smooth | materials.mapped) == 0)
        return;
    const V3<V> normals[3] = {Gather3<V>(group.Corner(0, ATOM_NORMAL)), Gather3<V>(group.Corner(1, ATOM_NORMAL)),
                              Gather3<V>(group.Corner(2, ATOM_NORMAL))};
    if (materials.smooth != 0) {
        const I flags = I::Gather([&](int i) { return IntFieldOf(group.cells[i], CELL_FLAGS); });
        LightLanes(frame, group, materials, {materials.smooth, BitsWhere(flags, RenderFlag::STATIC_CACHED) & group.all},
                   normals);
    }
    if (materials.mapped == 0)
        return;
    const V half = V::Splat(frame.half);
    V uv[6];
    for (int k = 0; k < 3; ++k) {
        uv[2 * k] = normals[k].y * half + half;
        uv[2 * k + 1] = normals[k].x * half + half;
    }
    ScatterMapCoordinates(group, materials.mapped, uv);
}

// The second pass of a deforming chunk, once every cell has added its normal.
template <class V>
void FinishDeformingChunk(const BatchFrame& frame, Cell* cells, int count)
{
    CellList drawn;
    NormalQueue queue;
    int drawnCount = 0;  // in a register, as in AtomQueue::AddUnprojected
    for (int i = 0; i < count; ++i) {
        if ((cells[i].renderFlags & LOOKED_AT) != 0)
            continue;
        drawn.items[drawnCount++] = &cells[i];
        queue.AddUnfinished(cells[i]);
    }
    drawn.count = drawnCount;
    queue.Finish<V>();
    for (int i = 0; i < drawn.count; i += V::WIDTH)
        FinishDeformingLanes<V>(frame, drawn.items + i, Fewer(V::WIDTH, drawn.count - i));
}

template <class V>
void SwimDeformingBatched(const BatchFrame& frame)
{
    const MatrixLanes<V> matrix(frame.vector->matrix);
    EachChunk(*frame.vector, [&](Cell* cells, int count) { SwimDeformingChunk(frame, matrix, cells, count); });
    EachChunk(*frame.vector, [&](Cell* cells, int count) { FinishDeformingChunk<V>(frame, cells, count); });
}

}  // namespace
