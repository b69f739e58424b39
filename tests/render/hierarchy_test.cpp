// The object hierarchy's evaluation on its own stack, frame after frame in
// the animation's order: the same matrices and cache states as the design's
// recursion with its two-slot cache and no bound, on the review's case and
// on random hierarchies of parents, targets, look-aheads, lights, a camera
// and trails; the work of every frame within the bound the loader checks;
// and a chain far deeper than any program stack could recurse.
#include "render/hierarchy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>

#include "render/animation.h"
#include "render/evaluationbudget.h"
#include "render/pose.h"
#include "scene/flare.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"

namespace {

using scene_test::ObjectKeyAt;

void Compose(Pose& pose, Matrix& out)
{
    SetTranslationAndRotation(pose);
    out = pose.rotation;
    pose.translation.Multiply(out, out);
    pose.parent.Multiply(out, out);
}

// The design's evaluation as it reads, recursing for every link, with every
// evaluation counted.
struct Recursion {
    int evaluations = 0;

    void Evaluate(SceneObject& object, float t, Matrix& out)
    {
        if (t == object.cacheFrameA || t == object.cacheFrameB) {
            out = t == object.cacheFrameA ? object.cacheMatrixA : object.cacheMatrixB;
            return;
        }
        ++evaluations;
        Pose pose;
        EvaluateKeys(object, t, pose);
        const std::uint32_t lookAhead = object.pathLookAhead;
        SceneObject* const target = object.target;
        Matrix a, b;
        if (target != nullptr) {
            object.target = nullptr;
            object.pathLookAhead = 0;
            Evaluate(object, t, a);
            object.target = target;
            object.pathLookAhead = lookAhead;
            Evaluate(*target, t, b);
        } else if (lookAhead != 0) {
            object.pathLookAhead = 0;
            Evaluate(object, t, a);
            Evaluate(object, t + static_cast<float>(lookAhead), b);
            object.pathLookAhead = lookAhead;
        }
        if (target != nullptr || lookAhead != 0)
            Align(a, b, object.parent != nullptr, pose.c);
        else if (object.parent != nullptr)
            Evaluate(*object.parent, t, pose.parent);
        SetTranslationAndRotation(pose);
        Matrix scale;  // out = P × T × R × S × V, right to left
        out = Matrix();
        out.m[3] = -object.pivot[0], out.m[7] = -object.pivot[1], out.m[11] = -object.pivot[2];
        scale.m[0] = pose.c[KeyChannel::SCALE_X], scale.m[5] = pose.c[KeyChannel::SCALE_Y];
        scale.m[10] = pose.c[KeyChannel::SCALE_Z];
        for (const Matrix* factor : {&scale, &pose.rotation, &pose.translation, &pose.parent})
            factor->Multiply(out, out);
        if (object.cacheFrameA < object.cacheFrameB)
            object.cacheFrameA = t, object.cacheMatrixA = out;
        else
            object.cacheFrameB = t, object.cacheMatrixB = out;
    }

    // A light's or the camera's world matrix, no cache; its own unaligned
    // matrix is that of its keys under its parent.
    template <class Record>
    void Evaluate(Record& record, float t, Matrix& out, bool aligned = true)
    {
        ++evaluations;
        Pose pose;
        EvaluateKeys(record, t, pose);
        Matrix a, b;
        if (aligned && (record.target != nullptr || record.pathLookAhead != 0)) {
            Evaluate(record, t, a, false);
            if (record.target != nullptr)
                Evaluate(*record.target, t, b);
            else
                Evaluate(record, t + static_cast<float>(record.pathLookAhead), b, false);
            Align(a, b, record.parent != nullptr, pose.c);
        } else if (record.parent != nullptr) {
            Evaluate(*record.parent, t, pose.parent);
        }
        Compose(pose, out);
    }

    // One frame as the main loop makes it: the animation, then each trail
    // flare's camera and sprites.
    void Frame(Scene& scene, float t)
    {
        for (std::uint32_t i = 0; i < scene.objectCount; ++i)
            Evaluate(scene.objects[i], t, scene.objects[i].worldMatrix);
        Evaluate(*scene.camera, t, scene.camera->matrix);
        scene.camera->matrix.Invert();
        for (std::uint32_t i = 0; i < scene.lightCount; ++i)
            Evaluate(scene.lights[i], t, scene.lights[i].matrix);
        ForEachTrail(scene, [&](const Flare& trail) {
            Matrix unused;
            Evaluate(*scene.camera, t, unused);
            for (std::uint32_t i = 0; i < trail.spriteCount; ++i)
                Evaluate(*trail.object, SpriteFrame(trail, t, i), unused);
        });
    }

    template <class Visit>
    static void ForEachTrail(Scene& scene, Visit visit)
    {
        for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
            for (Plugin* p = scene.objects[i].vector ? scene.objects[i].vector->firstPlugin : nullptr; p; p = p->next)
                visit(*Flare::AsTrail(p));
        }
    }

    static float SpriteFrame(const Flare& trail, float t, std::uint32_t i)
    {
        return std::max(0.0f, t - static_cast<float>(i) * (trail.trailLength / static_cast<float>(trail.spriteCount)));
    }
};

// The same frame through the system's own evaluations.
void SystemFrame(Scene& scene, float t)
{
    AnimateScene(scene, t);
    Recursion::ForEachTrail(scene, [&](const Flare& trail) {
        Matrix unused;
        scene.camera->Evaluate(t, unused);
        for (std::uint32_t i = 0; i < trail.spriteCount; ++i)
            trail.object->Evaluate(Recursion::SpriteFrame(trail, t, i), unused);
    });
}

bool SameMatrix(const Matrix& a, const Matrix& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }

// World matrices, cache frames and cache matrices, side by side in the
// record; the links cleared for an alignment restored.
void ExpectSameScene(const Scene& actual, const Scene& expected)
{
    const std::size_t animated = offsetof(SceneObject, pivot) - offsetof(SceneObject, cacheFrameA);
    for (std::uint32_t i = 0; i < actual.objectCount; ++i) {
        const SceneObject &a = actual.objects[i], &b = expected.objects[i];
        EXPECT_EQ(std::memcmp(&a.cacheFrameA, &b.cacheFrameA, animated), 0) << "object " << i;
        EXPECT_TRUE(a.pathLookAhead == b.pathLookAhead && (a.target == nullptr) == (b.target == nullptr));
    }
    EXPECT_TRUE(SameMatrix(actual.camera->matrix, expected.camera->matrix));
    for (std::uint32_t i = 0; i < actual.lightCount; ++i)
        EXPECT_TRUE(SameMatrix(actual.lights[i].matrix, expected.lights[i].matrix)) << "light " << i;
}

// A scene's links by index (-1: none) and its keys' values.
struct Shape {
    std::vector<int> parent, target;
    std::vector<std::uint32_t> lookAhead;
    std::vector<std::uint32_t> trailSprites;  // 0: no trail
    int lights = 0;
    std::vector<float> values;
};

template <class Record, class Key>
void GiveKeys(Record& record, const float*& v)
{
    record.keys = new Key[3];
    record.keyCount = 3;
    for (int k = 0; k < 3; ++k) {
        record.keys[k].frame = static_cast<float>(10 * k);
        for (float& value : record.keys[k].value)
            value = *v++;
    }
}

SceneObject* LinkOf(Scene& scene, int index) { return index < 0 ? nullptr : &scene.objects[index]; }

void Build(const Shape& shape, Scene& scene)
{
    const int count = static_cast<int>(shape.parent.size());
    ASSERT_TRUE(scene.AllocateObjects(static_cast<std::uint32_t>(count)) && scene.AllocateCamera() &&
                scene.AllocateLights(static_cast<std::uint32_t>(shape.lights)));
    const float* v = shape.values.data();
    for (int i = 0; i < count; ++i) {
        SceneObject& object = scene.objects[i];
        object.parent = LinkOf(scene, shape.parent[i]);
        object.target = LinkOf(scene, shape.target[i]);
        object.pathLookAhead = shape.lookAhead[i];
        std::copy(v, v + 3, object.pivot);
        v += 3;
        GiveKeys<SceneObject, ObjectKey>(object, v);
        object.vector = new Vector;
        object.vector->type = NULL_OBJECT_TYPE;  // the record owns it
        if (shape.trailSprites[i] == 0)
            continue;
        Flare* const trail = new Flare(Flare::TRAIL, &object, &scene);
        trail->trailLength = 6.5f;
        trail->sprites = new FlareSprite[shape.trailSprites[i]];
        trail->spriteCount = shape.trailSprites[i];
        Fish::AttachPlugin(object.vector, trail, false);
    }
    // The camera and the lights link into the first objects, after them.
    SceneCamera& camera = *scene.camera;
    camera.parent = LinkOf(scene, shape.parent[0]);
    camera.target = LinkOf(scene, shape.target[0]);
    camera.pathLookAhead = shape.lookAhead[0];
    GiveKeys<SceneCamera, MotionKey>(camera, v);
    for (int i = 0; i < shape.lights; ++i) {
        SceneLight& light = scene.lights[i];
        light.parent = LinkOf(scene, shape.parent[i + 1]);
        light.target = LinkOf(scene, shape.target[i + 1]);
        light.pathLookAhead = shape.lookAhead[i + 1];
        GiveKeys<SceneLight, MotionKey>(light, v);
    }
}

// Links of object i go to objects after it, so they hold no cycle; objects
// link into the next of five levels, so alignments nest up to five deep.
Shape RandomShape(std::mt19937& random, int count)
{
    Shape shape;
    std::uniform_int_distribution<int> coin(0, 3);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    for (int i = 0; i < count; ++i) {
        const int level = i % 5;
        const int next = i + 5 - level + coin(random) % 5;
        shape.parent.push_back(level < 4 && next < count && coin(random) != 0 ? next : -1);
        shape.target.push_back(level < 4 && next + 1 < count && coin(random) == 0 ? next + 1 : -1);
        shape.lookAhead.push_back(coin(random) < 2 ? static_cast<std::uint32_t>(1 + coin(random)) : 0);
        shape.trailSprites.push_back(coin(random) == 0 && coin(random) == 0 ? 1 + coin(random) * 3 : 0);
    }
    shape.lights = 3;
    for (int i = 0; i < count * 40; ++i)
        shape.values.push_back(value(random));
    return shape;
}

// Frames that repeat, that step by the look-aheads, and that fall between.
const float FRAMES[] = {0.0f, 0.5f, 1.0f, 2.0f, 2.0f, 4.0f, 7.25f, 8.25f, 11.0f, 12.0f, 19.0f};

void ExpectLikeTheDesign(const Shape& shape)
{
    Scene system, design;
    Build(shape, system);
    Build(shape, design);
    std::uint64_t bound = 0;
    ASSERT_TRUE(CountFrameEvaluations(system, MAX_EVALUATIONS_PER_FRAME, bound));
    Recursion recursion;
    for (const float frame : FRAMES) {
        SCOPED_TRACE(frame);
        recursion.evaluations = 0;
        recursion.Frame(design, frame);
        SystemFrame(system, frame);
        ExpectSameScene(system, design);
        EXPECT_LE(static_cast<std::uint64_t>(recursion.evaluations), bound) << "the frame's work within its bound";
    }
}

// The review's case: a parent turned along its path 3 frames ahead, with four
// children turned along theirs 4 frames ahead, thrashes the parent's cache,
// yet every child sits where the design puts it.
TEST(Hierarchy, ChildrenAlongTheirPathsUnderOneAlongItsOwnSitWhereTheDesignPutsThem)
{
    Shape shape;
    shape.parent = {4, 4, 4, 4, -1};
    shape.target = {-1, -1, -1, -1, -1};
    shape.lookAhead = {4, 4, 4, 4, 3};
    shape.trailSprites = {0, 0, 0, 0, 0};
    for (int i = 0; i < 5 * 40; ++i)
        shape.values.push_back(static_cast<float>((i * 7) % 11) * 0.25f);
    ExpectLikeTheDesign(shape);
}

TEST(Hierarchy, RandomHierarchiesEvaluateAsTheDesignsRecursionToTheBitWithinTheirBound)
{
    std::mt19937 random(20261210);
    for (int seed = 0; seed < 40; ++seed) {
        SCOPED_TRACE(seed);
        ExpectLikeTheDesign(RandomShape(random, 20));
    }
}

// A chain of count objects, each the child of the next one, each with keys;
// the first is the deepest.
void MakeChain(Scene& scene, std::uint32_t count, std::initializer_list<ObjectKey> keys)
{
    ASSERT_TRUE(ReserveHierarchyEvaluation(count));
    ASSERT_TRUE(scene.AllocateObjects(count) && scene.AllocateCamera());
    for (std::uint32_t i = 0; i < count; ++i) {
        SceneObject& object = scene.objects[i];
        object.parent = i + 1 < count ? &scene.objects[i + 1] : nullptr;
        object.keys = new ObjectKey[keys.size()];
        std::copy(keys.begin(), keys.end(), object.keys);
        object.keyCount = static_cast<std::uint32_t>(keys.size());
    }
}

// Each object one unit along x from its parent.
TEST(Hierarchy, AChainDeeperThanAnyStackCouldRecurseEvaluatesWholeAtOneEvaluationAnObject)
{
    constexpr std::uint32_t COUNT = 20000;
    Scene scene;
    MakeChain(scene, COUNT, {ObjectKeyAt(0, 1, 0, 0)});
    Matrix leaf;
    scene.objects[0].Evaluate(0.0f, leaf);
    EXPECT_EQ(leaf.m[3], static_cast<float>(COUNT));
    const SceneObject& middle = scene.objects[COUNT / 2];
    EXPECT_EQ(middle.cacheFrameB, 0.0f) << "cached on the way";
    EXPECT_EQ(middle.cacheMatrixB.m[3], static_cast<float>(COUNT / 2));
    std::uint64_t bound = 0;
    ASSERT_TRUE(CountFrameEvaluations(scene, MAX_EVALUATIONS_PER_FRAME, bound));
    EXPECT_EQ(bound, COUNT + 1) << "each object once, and the camera";
}

}  // namespace
