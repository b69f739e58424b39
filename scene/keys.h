// Key tracks and envelopes: the key records exactly as scene files store them,
// the Kochanek-Bartels evaluators shared by objects, lights, the camera and
// envelopes, and the end behaviour that maps a frame onto a track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Fields every key shares, then its channels: channel c is the c-th float after
// the head. Little-endian IEEE floats, no padding, so a file's key array is
// copied into memory as it is.
template <int CHANNELS>
struct KeyRecord {
    static constexpr int CHANNEL_COUNT = CHANNELS;

    float frame = 0.0f;        // keys of a track ascend by frame
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    std::uint32_t linear = 0;  // non-zero: the segment that ends at this key is a straight line
    float value[CHANNELS] = {};
};

// Channels of object and motion keys, and of the values their evaluators write.
namespace KeyChannel {
constexpr int POSITION_X = 0;
constexpr int POSITION_Y = 1;
constexpr int POSITION_Z = 2;
constexpr int PITCH = 3;    // about x, radians
constexpr int HEADING = 4;  // about y, radians
constexpr int BANK = 5;     // about z, radians
constexpr int SCALE_X = 6;  // object keys only
constexpr int SCALE_Y = 7;
constexpr int SCALE_Z = 8;
}  // namespace KeyChannel

// Position, rotation and scale of a mesh or null object.
struct ObjectKey : KeyRecord<9> {
    ObjectKey()
    {
        value[KeyChannel::SCALE_X] = value[KeyChannel::SCALE_Y] = value[KeyChannel::SCALE_Z] = 1.0f;
    }
};

// Position and rotation of a light or the camera.
struct MotionKey : KeyRecord<6> {};

// One value: light intensity, range and cones, camera zoom, morph and dissolve amounts.
struct EnvelopeKey : KeyRecord<1> {};

static_assert(sizeof(ObjectKey) == 56 && sizeof(MotionKey) == 44 && sizeof(EnvelopeKey) == 24);
static_assert(std::is_standard_layout_v<ObjectKey> && std::is_trivially_copyable_v<ObjectKey>);
static_assert(std::is_standard_layout_v<MotionKey> && std::is_trivially_copyable_v<MotionKey>);
static_assert(std::is_standard_layout_v<EnvelopeKey> && std::is_trivially_copyable_v<EnvelopeKey>);
static_assert(offsetof(ObjectKey, frame) == 0 && offsetof(ObjectKey, tension) == 4 &&
              offsetof(ObjectKey, continuity) == 8 && offsetof(ObjectKey, bias) == 12 &&
              offsetof(ObjectKey, linear) == 16 && offsetof(ObjectKey, value) == 20);
static_assert(offsetof(MotionKey, linear) == 16 && offsetof(MotionKey, value) == 20);
static_assert(offsetof(EnvelopeKey, linear) == 16 && offsetof(EnvelopeKey, value) == 20);

// End behaviour stored with every track; any other value means none.
constexpr std::uint32_t END_HOLD = 1;
constexpr std::uint32_t END_REPEAT = 2;

// Maps frame t onto a track whose last key lies at lastKeyFrame. With L that
// frame truncated toward zero, only t > L changes: hold gives L, repeat wraps t
// into [0, L) (or leaves it when L is 0), none leaves t to the extrapolation.
float ApplyEndBehaviour(float t, std::uint32_t endBehaviour, float lastKeyFrame);

// The same for a track of n keys; a track without keys leaves t as it is.
template <class Key>
float ApplyEndBehaviour(float t, std::uint32_t endBehaviour, std::uint32_t n, const Key* keys)
{
    return n == 0 || keys == nullptr ? t : ApplyEndBehaviour(t, endBehaviour, keys[n - 1].frame);
}

// Evaluate the track of n keys at frame t into out (9, 6 or 1 floats). Never
// reads outside keys[0 .. n-1] and never divides by a zero span:
// - n = 0 (or keys null) yields the values of a freshly constructed key;
// - t before the first key's frame yields the first key's values;
// - a segment whose end key is not later than its start yields the end key;
// - a neighbour key out of frame order is ignored for the tangent it would shape.
void EvaluateObjectKeys(float t, std::uint32_t n, const ObjectKey* keys, float* out);
void EvaluateMotionKeys(float t, std::uint32_t n, const MotionKey* keys, float* out);
void EvaluateEnvelopeKeys(float t, std::uint32_t n, const EnvelopeKey* keys, float* out);

struct SceneChunk;

// A single-value track of a scene and the float it drives. The envelope owns
// its keys (an array made with new[]); the target belongs to the light, camera
// or plugin the scene loader wired it to and must outlive the envelope's use.
struct SceneEnvelope {
    SceneEnvelope() = default;
    SceneEnvelope(const SceneEnvelope&) = delete;
    SceneEnvelope& operator=(const SceneEnvelope&) = delete;
    ~SceneEnvelope();

    // Takes the end behaviour and keys of a checked envelope chunk; the
    // caller sets the target. False (reported) when memory runs out.
    bool Setup(const SceneChunk& chunk);

    // Applies the end behaviour to t, evaluates the track and stores the value
    // through target. Without keys or target nothing is written, so the
    // target keeps the value it was given when the scene was built.
    void Evaluate(float t) const;

    std::uint32_t endBehaviour = 0;  // END_HOLD, END_REPEAT, else none
    std::uint32_t keyCount = 0;
    EnvelopeKey* keys = nullptr;     // owned, keyCount elements
    float* target = nullptr;         // not owned
};
