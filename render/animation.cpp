// The hierarchy evaluation shared by objects, lights and the camera, and the
// scene's frame. The loader refuses parent and target cycles and bounds the
// depth of the links, so the recursion here always ends; target and path
// look-ahead are cleared only while a record evaluates itself for its
// alignment, and always restored.
#include "render/animation.h"

#include "host/aquarium.h"
#include "render/matrix.h"
#include "scene/keys.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

constexpr float PIXELS_PER_WIDTH = 0.003125f;  // 1 / 320
constexpr float ZOOM_TO_SCALE = 120.0f;

// The channels after the alignment and the factors of the product they make.
struct Pose {
    float c[ObjectKey::CHANNEL_COUNT];  // lights and the camera use the first six
    Matrix parent;                      // P
    Matrix translation;                 // T
    Matrix rotation;                    // R
};

void EvaluateTrack(float t, std::uint32_t n, const ObjectKey* keys, float* out) { EvaluateObjectKeys(t, n, keys, out); }
void EvaluateTrack(float t, std::uint32_t n, const MotionKey* keys, float* out) { EvaluateMotionKeys(t, n, keys, out); }

// Turns the record toward b as seen from a (both world matrices): heading
// first, then the pitch of the direction turned back by that heading. With a
// parent the record is placed at a, already in world space.
void Align(const Matrix& a, const Matrix& b, const bool hasParent, float* c)
{
    const float dx = b.m[3] - a.m[3];
    const float dy = b.m[7] - a.m[7];
    const float dz = b.m[11] - a.m[11];
    const float heading = HeadingOf(dx, dz);
    float x, y, z;
    RotateVector(dx, dy, dz, 0.0f, -heading, 0.0f, x, y, z);
    c[KeyChannel::HEADING] = heading;
    c[KeyChannel::PITCH] = -HeadingOf(y, z);
    if (hasParent) {
        c[KeyChannel::POSITION_X] = a.m[3];
        c[KeyChannel::POSITION_Y] = a.m[7];
        c[KeyChannel::POSITION_Z] = a.m[11];
    }
}

// The alignment: against the target, else along the path look-ahead frames
// ahead. evaluateSelf gives the record's own world matrix with both fields
// cleared. Returns whether the record was aligned.
template <class Record, class EvaluateSelf>
bool AlignRecord(Record& record, const float t, EvaluateSelf evaluateSelf, float* c)
{
    const std::uint32_t lookAhead = record.pathLookAhead;
    Matrix a;
    Matrix b;
    if (record.target != nullptr) {
        SceneObject* const target = record.target;
        record.target = nullptr;
        record.pathLookAhead = 0;
        evaluateSelf(t, a);
        record.target = target;
        record.pathLookAhead = lookAhead;
        target->Evaluate(t, b);
    } else if (lookAhead != 0) {
        record.pathLookAhead = 0;
        evaluateSelf(t, a);
        evaluateSelf(t + static_cast<float>(lookAhead), b);
        record.pathLookAhead = lookAhead;
    } else {
        return false;
    }
    Align(a, b, record.parent != nullptr, c);
    return true;
}

// The common part of every evaluation: end behaviour, keys, alignment, and
// P, T and R. An aligned record already has a world orientation (and, with
// a parent, a world position), so its parent is not applied again.
template <class Record, class EvaluateSelf>
void EvaluatePose(Record& record, const float t, EvaluateSelf evaluateSelf, Pose& pose)
{
    const float mapped = ApplyEndBehaviour(t, record.endBehaviour, record.keyCount, record.keys);
    EvaluateTrack(mapped, record.keyCount, record.keys, pose.c);
    const bool aligned = AlignRecord(record, t, evaluateSelf, pose.c);
    if (!aligned && record.parent != nullptr)
        record.parent->Evaluate(t, pose.parent);
    Matrix pitch;
    Matrix bank;
    pose.rotation.SetRotation(0.0f, -pose.c[KeyChannel::HEADING], 0.0f);
    pitch.SetRotation(pose.c[KeyChannel::PITCH], 0.0f, 0.0f);
    bank.SetRotation(0.0f, 0.0f, pose.c[KeyChannel::BANK]);
    pose.rotation.Multiply(pose.rotation, pitch);
    pose.rotation.Multiply(pose.rotation, bank);
    pose.translation.m[3] = pose.c[KeyChannel::POSITION_X];
    pose.translation.m[7] = pose.c[KeyChannel::POSITION_Y];
    pose.translation.m[11] = pose.c[KeyChannel::POSITION_Z];
}

// out = P × T × R, formed right to left.
void Compose(const Pose& pose, Matrix& out)
{
    out = pose.rotation;
    pose.translation.Multiply(out, out);
    pose.parent.Multiply(out, out);
}

}  // namespace

void SceneObject::Evaluate(const float frame, Matrix& out)
{
    if (frame == cacheFrameA) {
        out = cacheMatrixA;
        return;
    }
    if (frame == cacheFrameB) {
        out = cacheMatrixB;
        return;
    }
    Pose pose;
    EvaluatePose(*this, frame, [this](float t, Matrix& self) { Evaluate(t, self); }, pose);
    Matrix result;  // V: the pivot to the origin
    result.m[3] = -pivot[0];
    result.m[7] = -pivot[1];
    result.m[11] = -pivot[2];
    Matrix scale;
    scale.m[0] = pose.c[KeyChannel::SCALE_X];
    scale.m[5] = pose.c[KeyChannel::SCALE_Y];
    scale.m[10] = pose.c[KeyChannel::SCALE_Z];
    scale.Multiply(result, result);
    pose.rotation.Multiply(result, result);
    pose.translation.Multiply(result, result);
    pose.parent.Multiply(result, result);
    // The older slot makes room; lookups try A first.
    if (cacheFrameA < cacheFrameB) {
        cacheFrameA = frame;
        cacheMatrixA = result;
    } else {
        cacheFrameB = frame;
        cacheMatrixB = result;
    }
    out = result;
}

void SceneLight::Evaluate(const float frame, Matrix& out)
{
    Pose pose;
    EvaluatePose(*this, frame, [this](float t, Matrix& self) { Evaluate(t, self); }, pose);
    Compose(pose, out);
}

void SceneCamera::Evaluate(const float frame, Matrix& out)
{
    // The camera's own world matrix is a light's with the camera's keys,
    // end behaviour and parent; the temporary record only borrows the keys.
    const auto world = [this](float t, Matrix& self) {
        SceneLight temporary;
        temporary.keys = keys;
        temporary.keyCount = keyCount;
        temporary.endBehaviour = endBehaviour;
        temporary.parent = parent;
        temporary.Evaluate(t, self);
        temporary.keys = nullptr;
        temporary.keyCount = 0;
    };
    Pose pose;
    EvaluatePose(*this, frame, world, pose);
    Compose(pose, out);
    out.Invert();
}

void AnimateScene(Scene& scene, const float frame)
{
    scene.currentFrame = frame;
    SceneCamera* const camera = scene.camera;
    if (camera == nullptr)
        return;
    // Objects first: the camera and the lights find them in the caches.
    for (std::uint32_t i = 0; i < scene.objectCount; ++i)
        scene.objects[i].Evaluate(frame, scene.objects[i].worldMatrix);
    camera->Evaluate(frame, camera->matrix);
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        SceneLight& light = scene.lights[i];
        light.Evaluate(frame, light.matrix);
        if (light.light != nullptr)
            camera->matrix.Multiply(light.light->matrix, light.matrix);
    }
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        SceneObject& object = scene.objects[i];
        if (object.vector != nullptr)
            camera->matrix.Multiply(object.vector->matrix, object.worldMatrix);
    }
    for (std::uint32_t i = 0; i < scene.envelopeCount; ++i)
        scene.envelopes[i].Evaluate(frame);
    gAquarium.xScale = static_cast<float>(gAquarium.width) * PIXELS_PER_WIDTH * camera->zoom * ZOOM_TO_SCALE;
    gAquarium.yScale = -gAquarium.xScale;
}

void Scene::Swim()
{
    Scene& scene = *static_cast<Scene*>(gAquarium.currentObject);
    // Unsigned: the millisecond clock may wrap while the scene plays.
    const std::uint32_t elapsed = gAquarium.currentTime - scene.startTime;
    const float frame = static_cast<float>(elapsed) / static_cast<float>(gAquarium.clockRate) * scene.framesPerSecond +
                        static_cast<float>(scene.firstFrame);
    AnimateScene(scene, frame);
}
