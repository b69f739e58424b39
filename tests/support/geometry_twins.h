// The batched mesh swims beside the scalar reference: from one state of a
// mesh and the ordering table, the scalar swim and each batched path run,
// and every per-frame field of every atom and cell and every entry of the
// ordering table must come out the same to the bit.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "render/geometry_batch.h"
#include "scene/vector.h"

namespace test_support {

struct FieldSpan {
    const char* name;
    std::size_t offset;
    std::size_t size;
};

// Every field, padding left out.
inline const std::vector<FieldSpan>& AtomFields()
{
    static const std::vector<FieldSpan> fields = {
        {"position", offsetof(Atom, position), sizeof(Atom::position)},
        {"reciprocal depth", offsetof(Atom, reciprocalDepth), sizeof(float)},
        {"screen", offsetof(Atom, screen), sizeof(Atom::screen)},
        {"camera", offsetof(Atom, camera), sizeof(Atom::camera)},
        {"work", offsetof(Atom, work), sizeof(Atom::work)},
        {"normal", offsetof(Atom, normal), sizeof(Atom::normal)},
        {"camera normal", offsetof(Atom, cameraNormal), sizeof(Atom::cameraNormal)},
        {"colour", offsetof(Atom, colour), sizeof(Atom::colour)},
        {"behind", offsetof(Atom, behind), sizeof(std::uint32_t)},
        {"stamp", offsetof(Atom, stamp), sizeof(std::uint32_t)},
        {"clip code", offsetof(Atom, clipCode), sizeof(std::int32_t)},
        {"last work", offsetof(Atom, lastWork), sizeof(std::uint32_t)}};
    return fields;
}

inline const std::vector<FieldSpan>& CellFields()
{
    static const std::vector<FieldSpan> fields = {
        {"next", offsetof(Cell, node.next), sizeof(PolygonNode*)},
        {"type", offsetof(Cell, node.type), sizeof(std::int32_t)},
        {"depth key", offsetof(Cell, node.depthKey), sizeof(std::uint32_t)},
        {"priority", offsetof(Cell, node.priority), sizeof(std::uint32_t)},
        {"normal", offsetof(Cell, normal), sizeof(Cell::normal)},
        {"corners", offsetof(Cell, corners), sizeof(Cell::corners)},
        {"material", offsetof(Cell, material), sizeof(Material*)},
        {"colours", offsetof(Cell, colours), sizeof(Cell::colours)},
        {"cached light", offsetof(Cell, cachedLight), sizeof(Cell::cachedLight)},
        {"map coordinates", offsetof(Cell, uv), sizeof(Cell::uv)},
        {"render flags", offsetof(Cell, renderFlags), sizeof(std::uint32_t)}};
    return fields;
}

// What a swim writes: its mesh's atoms and cells, and the ordering table.
struct SwimState {
    std::vector<Atom> atoms;
    std::vector<Cell> cells;
    OrderTable table;
};

inline SwimState Keep(const Vector& vector)
{
    return {std::vector<Atom>(vector.atoms, vector.atoms + vector.atomCount),
            std::vector<Cell>(vector.cells, vector.cells + vector.cellCount), gAquarium.orderTable};
}

inline void Put(Vector& vector, const SwimState& state)
{
    std::copy(state.atoms.begin(), state.atoms.end(), vector.atoms);
    std::copy(state.cells.begin(), state.cells.end(), vector.cells);
    gAquarium.orderTable = state.table;
}

template <class Record>
std::string FirstDifference(const char* what, const std::vector<Record>& a, const std::vector<Record>& b,
                            const std::vector<FieldSpan>& fields)
{
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char* const x = reinterpret_cast<const char*>(&a[i]);
        const char* const y = reinterpret_cast<const char*>(&b[i]);
        for (const FieldSpan& field : fields) {
            if (std::memcmp(x + field.offset, y + field.offset, field.size) != 0)
                return std::string(what) + " " + std::to_string(i) + ", " + field.name;
        }
    }
    return "";
}

inline std::string FirstDifference(const SwimState& a, const SwimState& b)
{
    std::string difference = FirstDifference("atom", a.atoms, b.atoms, AtomFields());
    if (difference.empty())
        difference = FirstDifference("cell", a.cells, b.cells, CellFields());
    if (difference.empty() && std::memcmp(&a.table, &b.table, sizeof(OrderTable)) != 0)
        difference = "the ordering table";
    return difference;
}

// The batched paths this processor has.
inline std::vector<GeometryPath> BatchedPaths()
{
    std::vector<GeometryPath> paths;
    for (const GeometryPath path : {GeometryPath::SSE2, GeometryPath::AVX2}) {
        if (GeometryPathSupported(path))
            paths.push_back(path);
    }
    return paths;
}

inline const char* PathName(GeometryPath path) { return path == GeometryPath::SSE2 ? "SSE2" : "AVX2"; }

// The mesh's own swim (by its type) on the current path.
inline void SwimCurrent(Vector& vector)
{
    gAquarium.currentObject = &vector;
    vector.type == Vector::TYPE ? Vector::SwimRigid() : Vector::SwimDeforming();
}

// One swim of vector on the scalar path and, from the same state, on every
// batched path; the mesh and the table are left as the scalar swim left them.
inline ::testing::AssertionResult SwimsAgree(Vector& vector)
{
    const SwimState start = Keep(vector);
    UseGeometryPath(GeometryPath::SCALAR);
    SwimCurrent(vector);
    const SwimState scalar = Keep(vector);
    std::string differences;
    for (const GeometryPath path : BatchedPaths()) {
        Put(vector, start);
        UseGeometryPath(path);
        SwimCurrent(vector);
        const std::string difference = FirstDifference(scalar, Keep(vector));
        if (!difference.empty())
            differences += std::string(PathName(path)) + " differs first at " + difference + "; ";
    }
    UseGeometryPath(BestGeometryPath());
    Put(vector, scalar);
    if (!differences.empty())
        return ::testing::AssertionFailure() << differences;
    return ::testing::AssertionSuccess();
}

}  // namespace test_support
