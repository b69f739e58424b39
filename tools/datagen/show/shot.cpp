// The scene-description kit: timing from the scene table, keys sampled from
// motions, and the scene file at its table path.
#include "tools/datagen/show/shot.h"

#include <cmath>

#include "host/timeline.h"
#include "tools/datagen/builders/mesh.h"

namespace {

// Keeps an angle within half a turn of the one before, so that the spline
// between two keys turns the short way.
float Unwrapped(float angle, float previous)
{
    while (angle - previous > PI)
        angle -= TWO_PI;
    while (angle - previous < -PI)
        angle += TWO_PI;
    return angle;
}

float Ease(float t)
{
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

template <class Key>
std::vector<Key> Sampled(const Shot& shot, const Motion& motion, Sampling sampling, bool withScale)
{
    std::vector<Key> keys;
    const double step = sampling.step;
    const double last = sampling.until > 0.0f ? sampling.until : shot.End() + KEY_MARGIN_SECONDS;
    // A motion that has ended before the scene starts rests where it ended.
    const double first = std::fmin(std::floor((shot.Start() - KEY_MARGIN_SECONDS) / step) * step, last);
    const int count = static_cast<int>(std::ceil((last - first) / step - 1e-6));
    float pitch = 0.0f, heading = 0.0f, bank = 0.0f;
    for (int i = 0; i <= count; ++i) {
        const auto seconds = static_cast<float>(i == count ? last : first + step * i);
        const Pose pose = motion(seconds);
        pitch = i == 0 ? pose.pitch : Unwrapped(pose.pitch, pitch);
        heading = i == 0 ? pose.heading : Unwrapped(pose.heading, heading);
        bank = i == 0 ? pose.bank : Unwrapped(pose.bank, bank);
        Key key;
        key.frame = Shot::FrameOf(seconds);
        key.linear = sampling.linear ? 1u : 0u;
        const float values[9] = {pose.position.x, pose.position.y, pose.position.z, pitch, heading, bank,
                                 pose.scale.x, pose.scale.y, pose.scale.z};
        for (int c = 0; c < (withScale ? 9 : 6); ++c)
            key.value[c] = values[c];
        keys.push_back(key);
    }
    return keys;
}

ObjectKey KeyOf(const Pose& pose)
{
    ObjectKey key;
    const float values[9] = {pose.position.x, pose.position.y, pose.position.z, pose.pitch, pose.heading, pose.bank,
                             pose.scale.x, pose.scale.y, pose.scale.z};
    for (int c = 0; c < 9; ++c)
        key.value[c] = values[c];
    return key;
}

}  // namespace

Pose Looking(Vec3 position, Vec3 toward, float bank)
{
    const Angles angles = LookAngles(toward - position);
    Pose pose;
    pose.position = position;
    pose.pitch = angles.pitch;
    pose.heading = angles.heading;
    pose.bank = bank;
    return pose;
}

Motion Still(Pose pose)
{
    return [pose](float) { return pose; };
}

Motion Glide(Pose start, Pose end, float from, float to)
{
    end.heading = Unwrapped(end.heading, start.heading);
    return [=](float seconds) {
        const float t = Ease((seconds - from) / (to - from));
        Pose pose;
        pose.position = Lerp(start.position, end.position, t);
        pose.pitch = start.pitch + (end.pitch - start.pitch) * t;
        pose.heading = start.heading + (end.heading - start.heading) * t;
        pose.bank = start.bank + (end.bank - start.bank) * t;
        pose.scale = Lerp(start.scale, end.scale, t);
        return pose;
    };
}

Motion Watching(const std::function<Vec3(float)>& position, Vec3 toward)
{
    return [position, toward](float seconds) { return Looking(position(seconds), toward); };
}

Shot::Shot(int scene)
    : scene_(scene),
      start_(scene == 0 ? 0.0f : static_cast<float>(SCENE_END_TIMES[scene - 1]) / 1000.0f),
      end_(static_cast<float>(SCENE_END_TIMES[scene]) / 1000.0f)
{
    writer_.header.framesPerSecond = static_cast<std::uint32_t>(FRAMES_PER_SECOND);
    writer_.header.firstFrame = static_cast<std::uint32_t>(std::lround(FrameOf(start_)));
    writer_.header.lastFrame = static_cast<std::uint32_t>(std::lround(FrameOf(end_)));
    writer_.header.freeText = std::string("Aquarium: ") + SCENE_TABLE[scene];
}

std::vector<ObjectKey> Shot::ObjectKeys(const Motion& motion, Sampling sampling) const
{
    return Sampled<ObjectKey>(*this, motion, sampling, true);
}

std::vector<MotionKey> Shot::MotionKeys(const Motion& motion, Sampling sampling) const
{
    return Sampled<MotionKey>(*this, motion, sampling, false);
}

SceneObjectChunk Shot::Placed(const std::string& name, const Pose& pose) const
{
    SceneObjectChunk object;
    object.name = name;
    object.keys = {KeyOf(pose)};
    return object;
}

SceneObjectChunk Shot::Moving(const std::string& name, const Motion& motion, Sampling sampling) const
{
    SceneObjectChunk object;
    object.name = name;
    object.keys = ObjectKeys(motion, sampling);
    return object;
}

SceneObjectChunk Shot::Spinning(const std::string& name, const Pose& pose, float period, bool bank)
{
    SceneObjectChunk object;
    object.name = name;
    object.endBehaviour = END_REPEAT;
    ObjectKey first = KeyOf(pose), last = KeyOf(pose);
    last.frame = FrameOf(period);
    last.value[bank ? KeyChannel::BANK : KeyChannel::HEADING] += TWO_PI;
    first.linear = last.linear = 1;
    object.keys = {first, last};
    return object;
}

SceneCameraChunk Shot::Camera(const Motion& motion, float zoom, Sampling sampling) const
{
    SceneCameraChunk camera;
    camera.zoom = zoom;
    camera.keys = MotionKeys(motion, sampling);
    return camera;
}

SceneLightChunk Shot::Lamp(std::uint32_t kind, Colour colour, float intensity, float range)
{
    SceneLightChunk light;
    light.kind = kind;
    light.red = colour.r;
    light.green = colour.g;
    light.blue = colour.b;
    light.intensity = intensity;
    light.range = range;
    return light;
}

MotionKey Shot::KeyAt(const Pose& pose)
{
    MotionKey key;
    const ObjectKey full = KeyOf(pose);
    for (int c = 0; c < 6; ++c)
        key.value[c] = full.value[c];
    return key;
}

SceneLightChunk Shot::Sun(Colour colour, float intensity, Vec3 toward)
{
    SceneLightChunk light = Lamp(1, colour, intensity, 1.0f);
    // A distant light shines along its z axis.
    light.keys = {KeyAt(Looking({}, -toward))};
    return light;
}

SceneLightChunk Shot::Bulb(Colour colour, float intensity, float range, Vec3 position)
{
    SceneLightChunk light = Lamp(2, colour, intensity, range);
    Pose pose;
    pose.position = position;
    light.keys = {KeyAt(pose)};
    return light;
}

int Shot::Add(const SceneObjectChunk& object)
{
    writer_.AddObject(object);
    return objects_++;
}

int Shot::AddNull(const SceneObjectChunk& object)
{
    writer_.AddNull(object);
    return objects_++;
}

SceneEnvelopeChunk Shot::Envelope(const std::vector<std::pair<float, float>>& points, bool linear,
                                  std::uint32_t endBehaviour)
{
    SceneEnvelopeChunk envelope;
    envelope.endBehaviour = endBehaviour;
    for (const auto& [seconds, value] : points) {
        EnvelopeKey key;
        key.frame = FrameOf(seconds);
        key.value[0] = value;
        key.linear = linear ? 1u : 0u;
        envelope.keys.push_back(key);
    }
    return envelope;
}

namespace {
int scenesWritten = 0;
}  // namespace

bool Shot::Write(const std::string& root)
{
    const std::string path = TreePath(root, SCENE_TABLE[scene_]);
    if (!MakeParentFolders(path) || !writer_.Write(path))
        return false;
    ++scenesWritten;
    return true;
}

int Shot::Written() { return scenesWritten; }
