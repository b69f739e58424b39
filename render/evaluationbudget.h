// The work one frame of a scene can make in its hierarchy: the animation's
// evaluations and every trail flare's. The loader refuses a scene past the
// budget, so that no frame of a scene it accepts stalls the program; the
// evaluations themselves are never cut short, and every accepted scene is
// drawn exactly as its links and caches give it.
#pragma once

#include <cstdint>

class Scene;

// Far above any scene made by hand or by a tool (the default show needs 282
// at most), yet a frame of this many evaluations takes only tens of
// milliseconds: a scene at the bound plays slowly, but plays.
constexpr std::uint64_t MAX_EVALUATIONS_PER_FRAME = std::uint64_t{1} << 16;

// An upper bound, into count, of the evaluations (one record's keys made into
// one matrix: an object's as it stands or unaligned, a light's, the
// camera's) that one frame of scene makes, whatever the frame and whatever
// its caches hold. Counting stops just past limit. False when memory for
// the count runs out. The links must hold no cycle.
bool CountFrameEvaluations(const Scene& scene, std::uint64_t limit, std::uint64_t& count);
