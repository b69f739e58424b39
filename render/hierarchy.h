// The object hierarchy's evaluation (SceneObject::Evaluate) runs on a stack
// of its own, so that no depth of links can exhaust the program's stack.
// Every evaluation is the design's, with its two-slot cache, to the bit: the
// work of a frame is bounded where a scene is loaded (render/evaluationbudget.h),
// never by cutting an evaluation short. Single thread.
#pragma once

#include <cstdint>

// Makes room for the hierarchy of a scene of objectCount objects, however
// its links nest; the room is kept for every later scene. False when
// memory runs out. The loader asks before the scene first plays, so that
// no frame allocates.
bool ReserveHierarchyEvaluation(std::uint32_t objectCount);
