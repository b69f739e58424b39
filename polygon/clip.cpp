// Near-plane clipping of one cell into the caller's work space: one pass over
// the three edges against the plane z = near plane, then a fan. Called by the
// drawers for cells with one or two corners behind the plane, this frame's
// camera positions and behind flags set.
#include <cstring>

#include "host/aquarium.h"
#include "scene/vector.h"

namespace {

constexpr int CORNERS = 3;
constexpr int CHANNELS = 3;

// Only 1 means behind; the renderer writes 0 or 1.
bool IsBehind(const Atom& atom) { return atom.behind == 1; }

// A corner of the input as the clipper carries it.
struct Corner {
    const Atom* atom;
    const float* colour;  // red, green, blue
    const float* uv;      // u, v
};

Corner CornerOf(const Cell& cell, int k) { return {cell.corners[k], &cell.colours[CHANNELS * k], &cell.uv[2 * k]}; }

// The colour goes to the atom's colour slots, u and v to its work words.
void CarryValues(Atom& slot, const float* colour, const float* uv, bool mapped)
{
    std::memcpy(slot.colour, colour, sizeof slot.colour);
    if (mapped)
        std::memcpy(slot.work, uv, sizeof slot.work);
}

// The point of edge (p, q) on the near plane; it carries only its camera
// position and values.
void Cut(const Corner& p, const Corner& q, bool mapped, Atom& slot)
{
    const float nearPlane = gAquarium.nearPlane;
    const float* const a = p.atom->camera;
    const float* const b = q.atom->camera;
    const float t = (nearPlane - a[2]) / (b[2] - a[2]);
    slot.camera[0] = a[0] + t * (b[0] - a[0]);
    slot.camera[1] = a[1] + t * (b[1] - a[1]);
    slot.camera[2] = nearPlane;
    float colour[CHANNELS];
    for (int c = 0; c < CHANNELS; ++c)
        colour[c] = p.colour[c] + t * (q.colour[c] - p.colour[c]);
    const float uv[2] = {p.uv[0] + t * (q.uv[0] - p.uv[0]), p.uv[1] + t * (q.uv[1] - p.uv[1])};
    CarryValues(slot, colour, uv, mapped);
}

void MakeTriangle(const Cell& cell, Atom* a, Atom* b, Atom* c, Cell& result)
{
    Atom* const slots[CORNERS] = {a, b, c};
    for (int k = 0; k < CORNERS; ++k) {
        result.corners[k] = slots[k];
        std::memcpy(&result.colours[CHANNELS * k], slots[k]->colour, sizeof slots[k]->colour);
        std::memcpy(&result.uv[2 * k], slots[k]->work, sizeof slots[k]->work);
    }
    result.material = cell.material;
}

// The polygon in front of the plane: every corner in front copied whole,
// and a cut point after each edge that crosses the plane. Returns its count.
int ClipPolygon(const Cell& cell, Cell::ClipAtoms& atoms, bool mapped)
{
    int n = 0;
    for (int k = 0; k < CORNERS; ++k) {
        const Corner p = CornerOf(cell, k);
        const Corner q = CornerOf(cell, (k + 1) % CORNERS);
        if (!IsBehind(*p.atom)) {
            atoms[n] = *p.atom;
            CarryValues(atoms[n], p.colour, p.uv, mapped);
            ++n;
        }
        if (IsBehind(*p.atom) != IsBehind(*q.atom))
            Cut(p, q, mapped, atoms[n++]);
    }
    return n;
}

// Three slots make one triangle, four a fan of two around slot 0.
int Clip(const Cell& cell, Cell::ClipCells& cells, Cell::ClipAtoms& atoms, bool mapped)
{
    const int n = ClipPolygon(cell, atoms, mapped);
    // The drawers do not need these; other readers of screen positions might.
    for (int i = n - 1; i >= 0; --i)
        Atom::ProjectToScreen(atoms[i]);
    if (n < CORNERS)
        return 0;
    MakeTriangle(cell, &atoms[0], &atoms[1], &atoms[2], cells[0]);
    if (n == CORNERS)
        return 1;
    MakeTriangle(cell, &atoms[0], &atoms[2], &atoms[3], cells[1]);
    return 2;
}

}  // namespace

int Cell::ClipNear(const Cell& cell, ClipCells& cells, ClipAtoms& atoms)
{
    return Clip(cell, cells, atoms, false);
}

int Cell::ClipNearMapped(const Cell& cell, ClipCells& cells, ClipAtoms& atoms)
{
    return Clip(cell, cells, atoms, true);
}
