// What every evaluation of an object, a light or the camera shares: the
// channels its keys give at a frame, the turn toward its target or along its
// path, and the factors P, T and R they make.
#pragma once

#include "render/matrix.h"
#include "scene/keys.h"

// The channels after the alignment and the factors of the product they make.
struct Pose {
    float c[ObjectKey::CHANNEL_COUNT] = {};  // lights and the camera use the first six
    Matrix parent;                           // P
    Matrix translation;                      // T
    Matrix rotation;                         // R
};

inline void EvaluateTrack(float t, std::uint32_t n, const ObjectKey* keys, float* out)
{
    EvaluateObjectKeys(t, n, keys, out);
}

inline void EvaluateTrack(float t, std::uint32_t n, const MotionKey* keys, float* out)
{
    EvaluateMotionKeys(t, n, keys, out);
}

// The record's keys at frame t after its end behaviour, into pose.c.
template <class Record>
void EvaluateKeys(const Record& record, float t, Pose& pose)
{
    const float mapped = ApplyEndBehaviour(t, record.endBehaviour, record.keyCount, record.keys);
    EvaluateTrack(mapped, record.keyCount, record.keys, pose.c);
}

// Turns the record toward b as seen from a (both world matrices): heading
// first, then the pitch of the direction turned back by that heading. With a
// parent the record is placed at a, already in world space.
void Align(const Matrix& a, const Matrix& b, bool hasParent, float* c);

// T and R of pose from its channels: R = Y(heading) × X(pitch) × Z(bank).
void SetTranslationAndRotation(Pose& pose);
