// The render flags of a cell through a frame, shared by the scalar and the
// batched mesh swims: both start every cell the same way and accept the same
// cells. Internal linkage, since the batched files are built for other
// instruction sets.
#pragma once

#include <cstdint>

#include "scene/vector.h"

namespace {

constexpr std::uint32_t CLIP_CODE_MASK = 0xF;
constexpr std::uint32_t LOOKED_AT = RenderFlag::BACK_FACING | RenderFlag::REJECTED | RenderFlag::ALL_BEHIND;
constexpr std::int32_t NORMAL_DONE = -1;  // a deforming atom's clip code once its normal is final

// The frame's flags start as "back-facing, rejected, all behind".
inline void StartFlags(Cell& cell)
{
    cell.renderFlags = (cell.renderFlags | LOOKED_AT) & ~RenderFlag::PER_CORNER;
}

// For a cell that faces the eye, its corners projected: records their
// behind flags and clip codes and clears the bits it passes. False when all
// corners are behind or beyond one screen edge: the cell is not drawn.
inline bool AcceptFacingCell(Cell& cell)
{
    std::uint32_t flags = cell.renderFlags & ~RenderFlag::BACK_FACING;
    std::uint32_t commonEdges = CLIP_CODE_MASK;
    for (std::uint32_t k = 0; k < 3; ++k) {
        const Atom& corner = *cell.corners[k];
        const std::uint32_t code = static_cast<std::uint32_t>(corner.clipCode) & CLIP_CODE_MASK;
        flags |= corner.behind << (RenderFlag::BEHIND_SHIFT + k);
        flags |= code << (RenderFlag::CLIP_SHIFT + RenderFlag::CLIP_BITS * k);
        commonEdges &= code;
    }
    cell.renderFlags = flags;
    if ((flags & RenderFlag::BEHIND_ANY) == RenderFlag::BEHIND_ANY)
        return false;
    cell.renderFlags &= ~RenderFlag::ALL_BEHIND;
    if (commonEdges != 0)
        return false;
    cell.renderFlags &= ~RenderFlag::REJECTED;
    return true;
}

// The reciprocal depth of the last corner in front of the near plane.
inline float KeyDepth(const Cell& cell)
{
    float depth = 0.0f;
    for (const Atom* const corner : cell.corners) {
        if (corner->behind == 0)
            depth = corner->reciprocalDepth;
    }
    return depth;
}

inline bool IsSmooth(const Cell& cell) { return (cell.material->flags & Material::SMOOTH) != 0; }
inline bool IsEnvironmentMapped(const Cell& cell) { return (cell.material->flags & Material::ENVIRONMENT) != 0; }

}  // namespace
