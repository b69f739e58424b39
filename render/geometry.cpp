// The mesh geometry stage, one cell at a time: projection, culling, lighting,
// environment-map coordinates and depth keys of the two mesh swims. The
// reference of the batched path. Runs as the current object's operation,
// after the scene update wrote the Vector's model-view matrix and every
// Light's; the ordering table was reset for this frame.
#include <xmmintrin.h>

#include <cmath>

#include "host/aquarium.h"
#include "render/cell_culling.h"
#include "render/lighting.h"
#include "render/matrix.h"
#include "scene/vector.h"

namespace {

constexpr std::uint32_t CLIP_LEFT = 1;
constexpr std::uint32_t CLIP_RIGHT = 2;
constexpr std::uint32_t CLIP_TOP = 4;
constexpr std::uint32_t CLIP_BOTTOM = 8;
constexpr std::uint32_t COMPLEMENT = 0xFFFFFFFF;
constexpr std::uint32_t BUCKET_MASK = 0xFF;
constexpr int LAST_BUCKET = ORDER_TABLE_BUCKETS - 1;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// out = the rotation part of matrix (rows and columns 0 to 2) × v.
inline void Rotate(const Matrix& matrix, const float* v, float* out)
{
    const float* const m = matrix.m;
    out[0] = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
    out[1] = m[4] * v[0] + m[5] * v[1] + m[6] * v[2];
    out[2] = m[8] * v[0] + m[9] * v[1] + m[10] * v[2];
}

void Copy3(const float* from, float* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

std::int32_t ClipCode(float x, float y)
{
    std::uint32_t code = 0;
    if (x < gAquarium.clipLeft)
        code |= CLIP_LEFT;
    if (x > gAquarium.clipRight)
        code |= CLIP_RIGHT;
    if (y < gAquarium.clipTop)
        code |= CLIP_TOP;
    if (y > gAquarium.clipBottom)
        code |= CLIP_BOTTOM;
    return static_cast<std::int32_t>(code);
}

// Projects atom unless this frame did already.
void ProjectOnce(Atom& atom, const Matrix& matrix, std::uint32_t frame)
{
    if (atom.stamp == frame)
        return;
    atom.stamp = frame;
    Atom::Project(atom, matrix);
}

// The depth key from the reciprocal depth of the last corner in front of the
// near plane; complemented for materials drawn back to front.
std::uint32_t DepthKey(const Cell& cell)
{
    const float depth = KeyDepth(cell);
    // Round to nearest, ties to even (the renderer's float mode), as lrintf
    // does without its call.
    const std::int64_t rounded = _mm_cvtss_si64(_mm_set_ss(depth * gAquarium.depthKeyScale));
    const std::uint32_t key = static_cast<std::uint32_t>(rounded);
    return (cell.material->flags & Material::TRANSPARENT) != 0 ? COMPLEMENT - key : key;
}

inline void Append(Cell& cell)
{
    cell.node.depthKey = DepthKey(cell);
    OrderTableAppend(SetA(gAquarium.orderTable), LAST_BUCKET - static_cast<int>(cell.node.depthKey & BUCKET_MASK),
                     &cell.node);
}

// A rigid smooth cell: each corner with its atom's normal turned into camera
// space, which the atom keeps.
void LightRigidSmooth(Cell& cell, const Matrix& matrix, std::uint32_t meshIsStatic)
{
    for (Atom* const corner : cell.corners)
        Rotate(matrix, corner->normal, corner->cameraNormal);
    const float* const normals[3] = {cell.corners[0]->cameraNormal, cell.corners[1]->cameraNormal,
                                     cell.corners[2]->cameraNormal};
    LightCellSmooth(cell, normals, meshIsStatic);
}

void MapRigidEnvironment(Cell& cell, const Matrix& matrix)
{
    const float half = gRenderConstants.half;
    for (int k = 0; k < 3; ++k) {
        float w[3];
        Rotate(matrix, cell.corners[k]->normal, w);
        cell.uv[2 * k] = w[0] * half + half;
        cell.uv[2 * k + 1] = w[1] * half + half;
    }
}

// One cell of a rigid mesh: the back-face test needs corner 0 only, so the
// other corners are projected for cells that face the eye.
void SwimRigidCell(const Vector& vector, Cell& cell, std::uint32_t frame)
{
    StartFlags(cell);
    ProjectOnce(*cell.corners[0], vector.matrix, frame);
    float normal[3];
    Rotate(vector.matrix, cell.normal, normal);
    if (Dot(normal, cell.corners[0]->camera) >= 0.0f)
        return;
    ProjectOnce(*cell.corners[1], vector.matrix, frame);
    ProjectOnce(*cell.corners[2], vector.matrix, frame);
    if (!AcceptFacingCell(cell))
        return;
    if (IsSmooth(cell))
        LightRigidSmooth(cell, vector.matrix, vector.isStatic);
    else
        LightCellFlat(cell, normal, vector.isStatic);
    if (IsEnvironmentMapped(cell))
        MapRigidEnvironment(cell, vector.matrix);
    Append(cell);
}

// The camera-space normal of the projected corners, n × (1 / |n|), with 1 in
// place of a squared length of exactly 0.
void FaceNormal(const Cell& cell, float* n)
{
    const float* const p0 = cell.corners[0]->camera;
    const float* const p1 = cell.corners[1]->camera;
    const float* const p2 = cell.corners[2]->camera;
    const float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    n[0] = e1[1] * e2[2] - e1[2] * e2[1];
    n[1] = e1[2] * e2[0] - e1[0] * e2[2];
    n[2] = e1[0] * e2[1] - e1[1] * e2[0];
    const float squared = Dot(n, n);
    const float inverse = 1.0f / std::sqrt(squared == 0.0f ? 1.0f : squared);
    for (int axis = 0; axis < 3; ++axis)
        n[axis] = n[axis] * inverse;
}

// The first pass over a cell of a deforming mesh: an atom's first projection
// of the frame clears its normal, which then sums the normals of its cells.
void SwimDeformingCell(const Vector& vector, Cell& cell, std::uint32_t frame)
{
    StartFlags(cell);
    for (Atom* const corner : cell.corners) {
        if (corner->stamp != frame) {
            corner->normal[0] = corner->normal[1] = corner->normal[2] = 0.0f;
            corner->stamp = frame;
            Atom::Project(*corner, vector.matrix);
        }
    }
    FaceNormal(cell, cell.normal);
    for (Atom* const corner : cell.corners) {
        for (int axis = 0; axis < 3; ++axis)
            corner->normal[axis] += cell.normal[axis];
    }
    if (Dot(cell.normal, cell.corners[2]->camera) >= 0.0f)
        return;
    if (!AcceptFacingCell(cell))
        return;
    if (!IsSmooth(cell))
        LightCellFlat(cell, cell.normal, vector.isStatic);
    Append(cell);
}

// Makes a deforming atom's summed normal unit length, once per frame. A sum
// of zero (the two sides of a sheet, or only degenerate cells) takes the
// normal of the drawn cell that reaches the atom first, never a NaN.
void FinishAtomNormal(Atom& atom, const float* drawnCellNormal)
{
    if (atom.clipCode == NORMAL_DONE)
        return;
    atom.clipCode = NORMAL_DONE;
    const float squared = Dot(atom.normal, atom.normal);
    if (squared == 0.0f) {
        Copy3(drawnCellNormal, atom.normal);
    } else {
        const float length = std::sqrt(squared);
        for (int axis = 0; axis < 3; ++axis)
            atom.normal[axis] /= length;
    }
    Copy3(atom.normal, atom.cameraNormal);
}

// The second pass over a drawn cell of a deforming mesh, once every cell
// has added its normal: smooth lighting and environment map from the final
// atom normals, whose y gives the first map coordinate and x the second.
void FinishDeformingCell(const Vector& vector, Cell& cell)
{
    for (Atom* const corner : cell.corners)
        FinishAtomNormal(*corner, cell.normal);
    if (IsSmooth(cell)) {
        const float* const normals[3] = {cell.corners[0]->normal, cell.corners[1]->normal, cell.corners[2]->normal};
        LightCellSmooth(cell, normals, vector.isStatic);
    }
    if (!IsEnvironmentMapped(cell))
        return;
    const float half = gRenderConstants.half;
    for (int k = 0; k < 3; ++k) {
        const float* const w = cell.corners[k]->normal;
        cell.uv[2 * k] = w[1] * half + half;
        cell.uv[2 * k + 1] = w[0] * half + half;
    }
}

Vector& CurrentVector() { return *static_cast<Vector*>(gAquarium.currentObject); }

}  // namespace

void Atom::Project(Atom& atom, const Matrix& matrix)
{
    const float* const m = matrix.m;
    const float* const p = atom.position;
    const float x = m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3];
    const float y = m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7];
    const float z = m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11];
    atom.camera[0] = x;
    atom.camera[1] = y;
    atom.camera[2] = z;
    if (z < gAquarium.nearPlane) {
        atom.behind = 1;
        atom.clipCode = 0;
        return;
    }
    atom.behind = 0;
    ProjectToScreen(atom);
    atom.clipCode = ClipCode(atom.screen[0], atom.screen[1]);
}

void Atom::ProjectToScreen(Atom& atom)
{
    const float r = 1.0f / atom.camera[2];
    atom.reciprocalDepth = r;
    atom.screen[0] = atom.camera[0] * gAquarium.xScale * r + gAquarium.centreX;
    atom.screen[1] = atom.camera[1] * gAquarium.yScale * r + gAquarium.centreY;
}

void Vector::SwimRigidScalar()
{
    SetRenderFloatMode();
    Vector& vector = CurrentVector();
    const std::uint32_t frame = gAquarium.frameCounter;
    for (std::uint32_t i = 0; i < vector.cellCount; ++i)
        SwimRigidCell(vector, vector.cells[i], frame);
}

void Vector::SwimDeformingScalar()
{
    SetRenderFloatMode();
    Vector& vector = CurrentVector();
    const std::uint32_t frame = gAquarium.frameCounter;
    for (std::uint32_t i = 0; i < vector.cellCount; ++i)
        SwimDeformingCell(vector, vector.cells[i], frame);
    for (std::uint32_t i = 0; i < vector.cellCount; ++i) {
        Cell& cell = vector.cells[i];
        if ((cell.renderFlags & LOOKED_AT) == 0)
            FinishDeformingCell(vector, cell);
    }
}
