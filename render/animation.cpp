// The lights' and the camera's evaluations, and the scene's frame. The
// objects' hierarchy is render/hierarchy's; the loader refuses parent and
// target cycles. Target and path look-ahead are cleared only while a record
// evaluates itself for its alignment, and always restored.
#include "render/animation.h"

#include "host/aquarium.h"
#include "render/pose.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

constexpr float PIXELS_PER_WIDTH = 0.003125f;  // 1 / 320
constexpr float ZOOM_TO_SCALE = 120.0f;

// The alignment of a light or the camera: against the target, else along the
// path look-ahead frames ahead. evaluateSelf gives the record's own world
// matrix with both fields cleared. Returns whether the record was aligned.
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

// The pose of a light or the camera, whose own evaluations nest one deep and
// reach the object hierarchy only through parents and targets. An aligned
// record already has a world orientation (and, with a parent, a world
// position), so its parent is not applied again.
template <class Record, class EvaluateSelf>
void EvaluatePose(Record& record, const float t, EvaluateSelf evaluateSelf, Pose& pose)
{
    EvaluateKeys(record, t, pose);
    const bool aligned = AlignRecord(record, t, evaluateSelf, pose.c);
    if (!aligned && record.parent != nullptr)
        record.parent->Evaluate(t, pose.parent);
    SetTranslationAndRotation(pose);
}

// out = P × T × R, formed right to left.
void Compose(const Pose& pose, Matrix& out)
{
    out = pose.rotation;
    pose.translation.Multiply(out, out);
    pose.parent.Multiply(out, out);
}

}  // namespace

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
