// The one key-track evaluator behind the object, motion and envelope tracks,
// the end behaviour, and the per-frame envelope update. Tracks come from scene
// files unchecked, so every index and every divisor is guarded here.
#include "scene/keys.h"

#include <algorithm>
#include <cmath>

namespace {

template <class Key>
void CopyValues(const Key& key, float* out)
{
    std::copy(key.value, key.value + Key::CHANNEL_COUNT, out);
}

// Number of keys among 0 .. n-2 at or before t: the index of the end key of
// the segment that holds t. One pass, no early exit, so keys out of order
// still give an index in range.
template <class Key>
std::uint32_t SegmentEnd(float t, std::uint32_t n, const Key* keys)
{
    std::uint32_t end = 0;
    for (std::uint32_t i = 0; i + 1 < n; ++i)
        end += keys[i].frame <= t ? 1 : 0;
    return end;
}

// Hermite weights of the segment at parameter u.
struct HermiteWeights {
    float h1, h2, h3, h4;
};

HermiteWeights WeightsAt(float u)
{
    const float u2 = u * u;
    const float u3 = u2 * u;
    const float h2 = 3.0f * u2 - 2.0f * u3;
    return {1.0f - h2, h2, u3 - 2.0f * u2 + u, u3 - u2};
}

// The segment from key p to key q = p + 1 with span > 0, and the neighbours
// that shape its tangents. A neighbour that does not lie outside the segment
// (only in tracks out of order) is dropped, which also keeps the divisors
// (frame(q) - frame(p-1) and frame(q+1) - frame(p)) at least the span.
template <class Key>
struct Segment {
    const Key& from;
    const Key& to;
    const Key* before;  // key p-1, or null
    const Key* after;   // key q+1, or null
    float span;
};

template <class Key>
void EvaluateLinear(const Segment<Key>& s, float u, float* out)
{
    for (int c = 0; c < Key::CHANNEL_COUNT; ++c)
        out[c] = s.from.value[c] + (s.to.value[c] - s.from.value[c]) * u;
}

template <class Key>
void EvaluateHermite(const Segment<Key>& s, float u, float* out)
{
    const Key& p = s.from;
    const Key& q = s.to;
    const float a = (1.0f - p.tension) * (1.0f + p.continuity) * (1.0f + p.bias);
    const float b = (1.0f - p.tension) * (1.0f - p.continuity) * (1.0f - p.bias);
    const float g = (1.0f - q.tension) * (1.0f - q.continuity) * (1.0f + q.bias);
    const float k = (1.0f - q.tension) * (1.0f + q.continuity) * (1.0f - q.bias);
    // The neighbours' tangents are stretched to this segment's length, as
    // (sum × span) / divisor: data made for the design expects that rounding.
    const float outDivisor = s.before ? q.frame - s.before->frame : 1.0f;
    const float inDivisor = s.after ? s.after->frame - p.frame : 1.0f;
    const HermiteWeights w = WeightsAt(u);

    for (int c = 0; c < Key::CHANNEL_COUNT; ++c) {
        const float d = q.value[c] - p.value[c];
        const float outTangent = s.before
                                     ? (a * (p.value[c] - s.before->value[c]) + b * d) * s.span / outDivisor
                                     : 0.5f * d * (a + b);
        const float inTangent = s.after ? (g * d + k * (s.after->value[c] - q.value[c])) * s.span / inDivisor
                                        : 0.5f * d * (g + k);
        out[c] = w.h1 * p.value[c] + w.h2 * q.value[c] + w.h3 * outTangent + w.h4 * inTangent;
    }
}

template <class Key>
void EvaluateKeys(float t, std::uint32_t n, const Key* keys, float* out)
{
    if (n == 0 || keys == nullptr) {
        CopyValues(Key{}, out);
        return;
    }
    const std::uint32_t q = SegmentEnd(t, n, keys);
    if (q == 0) {  // one key, or t before the first key
        CopyValues(keys[0], out);
        return;
    }
    const std::uint32_t p = q - 1;
    const float span = keys[q].frame - keys[p].frame;
    if (!(span > 0.0f)) {  // two keys on one frame (or out of order): the later key holds
        CopyValues(keys[q], out);
        return;
    }
    const Key* before = p > 0 && keys[p - 1].frame <= keys[p].frame ? &keys[p - 1] : nullptr;
    const Key* after = q + 1 < n && keys[q + 1].frame >= keys[q].frame ? &keys[q + 1] : nullptr;
    const Segment<Key> segment{keys[p], keys[q], before, after, span};
    const float u = (t - keys[p].frame) / span;
    if (keys[q].linear != 0)
        EvaluateLinear(segment, u, out);
    else
        EvaluateHermite(segment, u, out);
}

}  // namespace

float ApplyEndBehaviour(float t, std::uint32_t endBehaviour, float lastKeyFrame)
{
    // Truncated as a float: exact for every frame and free of the overflow an
    // integer conversion would have for huge or broken frames.
    const float last = std::trunc(lastKeyFrame);
    if (!(t > last))
        return t;
    if (endBehaviour == END_HOLD)
        return last;
    if (endBehaviour == END_REPEAT && last != 0.0f)
        return t - last * std::trunc(t / last);
    return t;
}

void EvaluateObjectKeys(float t, std::uint32_t n, const ObjectKey* keys, float* out)
{
    EvaluateKeys(t, n, keys, out);
}

void EvaluateMotionKeys(float t, std::uint32_t n, const MotionKey* keys, float* out)
{
    EvaluateKeys(t, n, keys, out);
}

void EvaluateEnvelopeKeys(float t, std::uint32_t n, const EnvelopeKey* keys, float* out)
{
    EvaluateKeys(t, n, keys, out);
}

SceneEnvelope::~SceneEnvelope()
{
    delete[] keys;
}

void SceneEnvelope::Evaluate(float t) const
{
    if (keyCount == 0 || keys == nullptr || target == nullptr)
        return;
    EvaluateEnvelopeKeys(ApplyEndBehaviour(t, endBehaviour, keyCount, keys), keyCount, keys, target);
}
