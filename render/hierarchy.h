// The object hierarchy's evaluation (SceneObject::Evaluate) runs on a stack
// of its own and within a round: a scene's frame, or one evaluation asked for
// from elsewhere (a trail flare's sprite). Single thread.
#pragma once

#include <cstdint>

// Within one round an object computes at most this many matrices; further
// misses of its cache are answered with the matrix it computed last. Real
// hierarchies need a handful (the default show three at most); nested path
// look-aheads of different lengths would otherwise ask for more frames than
// any number of cache slots holds, their work doubling with every level.
constexpr std::uint32_t MAX_EVALUATIONS_PER_ROUND = 16;

// Makes room for the hierarchy of a scene of objectCount objects, however
// its links nest; the room is kept for every later scene. False when
// memory runs out. The loader asks before the scene first plays, so that
// no frame allocates.
bool ReserveHierarchyEvaluation(std::uint32_t objectCount);

// While one exists, every evaluation belongs to the round it opened; one
// made inside another round joins that round.
class EvaluationRound {
public:
    EvaluationRound();
    ~EvaluationRound();
    EvaluationRound(const EvaluationRound&) = delete;
    EvaluationRound& operator=(const EvaluationRound&) = delete;

private:
    bool opened_;
};
