// The records of the scene file as the text names them.
#include "tools/aqtool/scene_text_layout.h"

#include <iterator>

#include "scene/keys.h"
#include "scene/scenefile.h"
#include "tools/writers/scenewriter.h"

namespace aqtool {

namespace {

template <std::size_t COUNT>
constexpr RecordLayout Record(const FieldPlace (&fields)[COUNT], std::size_t size)
{
    return {fields, COUNT, size};
}

// Every key kind lays out its head as an object key does.
constexpr FieldPlace KEY_HEAD[] = {
    {"frame", FieldKind::FLOAT, offsetof(ObjectKey, frame)},
    {"tension", FieldKind::FLOAT, offsetof(ObjectKey, tension)},
    {"continuity", FieldKind::FLOAT, offsetof(ObjectKey, continuity)},
    {"bias", FieldKind::FLOAT, offsetof(ObjectKey, bias)},
    {"linear", FieldKind::WORD, offsetof(ObjectKey, linear)},
};

constexpr std::size_t ChannelOffset(int channel) { return offsetof(ObjectKey, value) + sizeof(float) * channel; }

constexpr FieldPlace OBJECT_CHANNELS[] = {
    {"position", FieldKind::FLOATS, ChannelOffset(KeyChannel::POSITION_X)},
    {"rotation", FieldKind::FLOATS, ChannelOffset(KeyChannel::PITCH)},
    {"scale", FieldKind::FLOATS, ChannelOffset(KeyChannel::SCALE_X)},
};
constexpr FieldPlace MOTION_CHANNELS[] = {
    {"position", FieldKind::FLOATS, ChannelOffset(KeyChannel::POSITION_X)},
    {"rotation", FieldKind::FLOATS, ChannelOffset(KeyChannel::PITCH)},
};
constexpr FieldPlace ENVELOPE_CHANNELS[] = {
    {"value", FieldKind::FLOAT, ChannelOffset(0)},
};

constexpr RecordLayout KEY_HEAD_RECORD = Record(KEY_HEAD, offsetof(ObjectKey, value));
constexpr RecordLayout OBJECT_KEYS = Record(OBJECT_CHANNELS, sizeof(ObjectKey));
constexpr RecordLayout MOTION_KEYS = Record(MOTION_CHANNELS, sizeof(MotionKey));
constexpr RecordLayout ENVELOPE_KEYS = Record(ENVELOPE_CHANNELS, sizeof(EnvelopeKey));

using Object = SCENE_FILE_Object;
constexpr FieldPlace OBJECT[] = {
    {"name", FieldKind::NAME, offsetof(Object, name)},
    {"pivot", FieldKind::FLOATS, offsetof(Object, pivot)},
    {"end_behaviour", FieldKind::WORD, offsetof(Object, endBehaviour)},
    {"path_look_ahead", FieldKind::WORD, offsetof(Object, pathLookAhead)},
    {"parent", FieldKind::INDEX, offsetof(Object, parent)},
    {"target", FieldKind::INDEX, offsetof(Object, target)},
    {"morph_target", FieldKind::INDEX, offsetof(Object, morphTarget)},
    {"morph_amount", FieldKind::FLOAT, offsetof(Object, morphAmount)},
};

using Light = SCENE_FILE_Light;
constexpr FieldPlace LIGHT[] = {
    {"kind", FieldKind::WORD, offsetof(Light, kind)},
    {"red", FieldKind::FLOAT, offsetof(Light, red)},
    {"green", FieldKind::FLOAT, offsetof(Light, green)},
    {"blue", FieldKind::FLOAT, offsetof(Light, blue)},
    {"range", FieldKind::FLOAT, offsetof(Light, range)},
    {"intensity", FieldKind::FLOAT, offsetof(Light, intensity)},
    {"cone_angle", FieldKind::FLOAT, offsetof(Light, coneAngle)},
    {"edge_angle", FieldKind::FLOAT, offsetof(Light, edgeAngle)},
    {"end_behaviour", FieldKind::WORD, offsetof(Light, endBehaviour)},
    {"path_look_ahead", FieldKind::WORD, offsetof(Light, pathLookAhead)},
    {"parent", FieldKind::INDEX, offsetof(Light, parent)},
    {"target", FieldKind::INDEX, offsetof(Light, target)},
};

using Camera = SCENE_FILE_Camera;
constexpr FieldPlace CAMERA[] = {
    {"end_behaviour", FieldKind::WORD, offsetof(Camera, endBehaviour)},
    {"path_look_ahead", FieldKind::WORD, offsetof(Camera, pathLookAhead)},
    {"parent", FieldKind::INDEX, offsetof(Camera, parent)},
    {"target", FieldKind::INDEX, offsetof(Camera, target)},
    {"zoom", FieldKind::FLOAT, offsetof(Camera, zoom)},
};

constexpr FieldPlace ENVELOPE[] = {
    {"end_behaviour", FieldKind::WORD, offsetof(SCENE_FILE_Envelope, endBehaviour)},
};

using Flare = SCENE_FILE_Flare;
constexpr FieldPlace FLARE[] = {
    {"kind", FieldKind::WORD, offsetof(Flare, kind)},
    {"flags", FieldKind::WORD, offsetof(Flare, flags)},
    {"size", FieldKind::FLOAT, offsetof(Flare, size)},
    {"trail_length", FieldKind::FLOAT, offsetof(Flare, trailLength)},
    {"sprites_per_frame", FieldKind::FLOAT, offsetof(Flare, spritesPerFrame)},
    {"texture", FieldKind::NAME, sizeof(Flare)},
};

// The key count closes the fixed fields of every chunk with keys.
static_assert(offsetof(Object, keyCount) + KEY_COUNT_SIZE == sizeof(Object) &&
              offsetof(Light, keyCount) + KEY_COUNT_SIZE == sizeof(Light) &&
              offsetof(Camera, keyCount) + KEY_COUNT_SIZE == sizeof(Camera) &&
              offsetof(SCENE_FILE_Envelope, keyCount) + KEY_COUNT_SIZE == sizeof(SCENE_FILE_Envelope));

constexpr ChunkLayout OBJECT_CHUNK = {Record(OBJECT, sizeof(Object)), &OBJECT_KEYS};
constexpr ChunkLayout LIGHT_CHUNK = {Record(LIGHT, sizeof(Light)), &MOTION_KEYS};
constexpr ChunkLayout CAMERA_CHUNK = {Record(CAMERA, sizeof(Camera)), &MOTION_KEYS};
constexpr ChunkLayout ENVELOPE_CHUNK = {Record(ENVELOPE, sizeof(SCENE_FILE_Envelope)), &ENVELOPE_KEYS};
constexpr ChunkLayout FLARE_CHUNK = {Record(FLARE, sizeof(Flare) + SCENE_NAME_SIZE), nullptr};

}  // namespace

const RecordLayout& KeyHead() { return KEY_HEAD_RECORD; }

const ChunkLayout* LayoutOfTag(const std::uint32_t tag)
{
    if (tag == SceneTag::VOBJ || tag == SceneTag::NULL_OBJECT)
        return &OBJECT_CHUNK;
    if (tag == SceneTag::LGHT)
        return &LIGHT_CHUNK;
    if (tag == SceneTag::CAMR)
        return &CAMERA_CHUNK;
    if (SceneFormat::IsEnvelopeTag(tag))
        return &ENVELOPE_CHUNK;
    if (tag == SceneTag::LFLR || tag == SceneTag::OFLR)
        return &FLARE_CHUNK;
    return nullptr;
}

}  // namespace aqtool
