// The object hierarchy's evaluation on its own stack: the same matrices and
// cache states as the design's recursion on random hierarchies of parents,
// targets, look-aheads and pivots; a chain far deeper than any program stack
// could recurse; and nested look-aheads whose work would double with every
// level, held to a fixed number of matrices per object and round.
#include "render/hierarchy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>
#include <vector>

#include "render/pose.h"
#include "scene/scenerecords.h"
#include "tests/scene/scene_fixture.h"

namespace {

using scene_test::ObjectKeyAt;

// The design's evaluation as it reads, recursing for every link, with the
// computations of each object counted.
struct Recursion {
    std::vector<int> computed;
    const SceneObject* first;

    void Evaluate(SceneObject& object, float t, Matrix& out)
    {
        if (t == object.cacheFrameA) {
            out = object.cacheMatrixA;
            return;
        }
        if (t == object.cacheFrameB) {
            out = object.cacheMatrixB;
            return;
        }
        ++computed[&object - first];
        Pose pose;
        EvaluateKeys(object, t, pose);
        const std::uint32_t lookAhead = object.pathLookAhead;
        SceneObject* const target = object.target;
        Matrix a, b;
        bool aligned = true;
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
        } else {
            aligned = false;
        }
        if (aligned)
            Align(a, b, object.parent != nullptr, pose.c);
        else if (object.parent != nullptr)
            Evaluate(*object.parent, t, pose.parent);
        SetTranslationAndRotation(pose);
        Matrix result, scale;
        result.m[3] = -object.pivot[0], result.m[7] = -object.pivot[1], result.m[11] = -object.pivot[2];
        scale.m[0] = pose.c[KeyChannel::SCALE_X], scale.m[5] = pose.c[KeyChannel::SCALE_Y];
        scale.m[10] = pose.c[KeyChannel::SCALE_Z];
        scale.Multiply(result, result);
        pose.rotation.Multiply(result, result);
        pose.translation.Multiply(result, result);
        pose.parent.Multiply(result, result);
        if (object.cacheFrameA < object.cacheFrameB)
            object.cacheFrameA = t, object.cacheMatrixA = result;
        else
            object.cacheFrameB = t, object.cacheMatrixB = result;
        out = result;
    }
};

// Links of object i go to objects after it in a random order, so they hold
// no cycle, and reach at most four deep.
struct Shape {
    std::vector<int> parent, target;
    std::vector<std::uint32_t> lookAhead;
    std::vector<float> values;  // keys and pivots
};

Shape RandomShape(std::mt19937& random, int count)
{
    Shape shape;
    std::uniform_int_distribution<int> coin(0, 3);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    for (int i = 0; i < count; ++i) {
        const int level = i % 4;  // objects link into the next level only
        const int next = i + 4 - level + coin(random) % 4;
        shape.parent.push_back(level < 3 && next < count && coin(random) != 0 ? next : -1);
        shape.target.push_back(level < 3 && next + 1 < count && coin(random) == 0 ? next + 1 : -1);
        shape.lookAhead.push_back(coin(random) == 0 ? static_cast<std::uint32_t>(1 + coin(random)) : 0);
    }
    for (int i = 0; i < count * 40; ++i)
        shape.values.push_back(value(random));
    return shape;
}

void Build(const Shape& shape, Scene& scene)
{
    const int count = static_cast<int>(shape.parent.size());
    ASSERT_TRUE(scene.AllocateObjects(static_cast<std::uint32_t>(count)));
    const float* v = shape.values.data();
    for (int i = 0; i < count; ++i) {
        SceneObject& object = scene.objects[i];
        object.parent = shape.parent[i] < 0 ? nullptr : &scene.objects[shape.parent[i]];
        object.target = shape.target[i] < 0 ? nullptr : &scene.objects[shape.target[i]];
        object.pathLookAhead = shape.lookAhead[i];
        std::memcpy(object.pivot, v, sizeof object.pivot);
        v += 3;
        object.keys = new ObjectKey[3];
        object.keyCount = 3;
        for (int k = 0; k < 3; ++k) {
            object.keys[k] = ObjectKeyAt(static_cast<float>(10 * k), v[0], v[1], v[2]);
            for (int c = KeyChannel::PITCH; c <= KeyChannel::SCALE_Z; ++c)
                object.keys[k].value[c] = v[c];
            v += ObjectKey::CHANNEL_COUNT;
        }
    }
}

bool SameMatrix(const Matrix& a, const Matrix& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }

TEST(Hierarchy, EvaluatesAsTheDesignsRecursionToTheBitThroughTheSameCache)
{
    constexpr int COUNT = 16;
    const float frames[] = {0.0f, 0.5f, 1.0f, 2.0f, 2.0f, 7.25f, 19.0f};
    std::mt19937 random(20261210);
    int compared = 0;
    for (int seed = 0; seed < 40; ++seed) {
        const Shape shape = RandomShape(random, COUNT);
        Scene stacked, recursive;
        Build(shape, stacked);
        Build(shape, recursive);
        Recursion design{std::vector<int>(COUNT, 0), recursive.objects};
        for (const float frame : frames) {
            for (int i = 0; i < COUNT; ++i) {
                std::fill(design.computed.begin(), design.computed.end(), 0);
                Matrix expected, actual;
                design.Evaluate(recursive.objects[i], frame, expected);
                stacked.objects[i].Evaluate(frame, actual);
                const int most = *std::max_element(design.computed.begin(), design.computed.end());
                ASSERT_LE(most, static_cast<int>(MAX_EVALUATIONS_PER_ROUND)) << "within the round's budget";
                EXPECT_TRUE(SameMatrix(actual, expected)) << "seed " << seed << " object " << i << " frame " << frame;
                ++compared;
            }
            for (int i = 0; i < COUNT; ++i) {
                const SceneObject &a = stacked.objects[i], &b = recursive.objects[i];
                EXPECT_EQ(a.cacheFrameA, b.cacheFrameA);
                EXPECT_EQ(a.cacheFrameB, b.cacheFrameB);
                EXPECT_TRUE(SameMatrix(a.cacheMatrixA, b.cacheMatrixA) && SameMatrix(a.cacheMatrixB, b.cacheMatrixB));
                EXPECT_EQ(a.target, b.target == nullptr ? nullptr : &stacked.objects[b.target - recursive.objects]);
                EXPECT_EQ(a.pathLookAhead, b.pathLookAhead) << "the cleared links are restored";
            }
        }
    }
    EXPECT_EQ(compared, 40 * COUNT * 7);
}

// A chain of count objects, each the child of the next one, each with keys;
// the first is the deepest.
void MakeChain(Scene& scene, std::uint32_t count, std::initializer_list<ObjectKey> keys)
{
    ASSERT_TRUE(ReserveHierarchyEvaluation(count));
    ASSERT_TRUE(scene.AllocateObjects(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        SceneObject& object = scene.objects[i];
        object.parent = i + 1 < count ? &scene.objects[i + 1] : nullptr;
        object.keys = new ObjectKey[keys.size()];
        std::copy(keys.begin(), keys.end(), object.keys);
        object.keyCount = static_cast<std::uint32_t>(keys.size());
    }
}

// Each object one unit along x from its parent.
TEST(Hierarchy, AChainDeeperThanAnyStackCouldRecurseEvaluatesWhole)
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
}

// Look-aheads of 1 and 2 frames in turn: by the design's recursion each
// level would double the frames asked of the one above.
TEST(Hierarchy, NestedLookAheadsComputeAtMostTheBudgetPerObjectAndRound)
{
    constexpr std::uint32_t COUNT = 40;
    Scene scene;
    MakeChain(scene, COUNT, {ObjectKeyAt(0, 0, 0, 0), ObjectKeyAt(100, 100, 0, 50)});
    for (std::uint32_t i = 0; i < COUNT; ++i)
        scene.objects[i].pathLookAhead = 1 + i % 2;
    for (const float frame : {10.0f, 11.0f}) {
        Matrix leaf;
        scene.objects[0].Evaluate(frame, leaf);
        for (std::uint32_t i = 0; i < COUNT; ++i)
            EXPECT_LE(scene.objects[i].evaluationsThisRound, MAX_EVALUATIONS_PER_ROUND) << i;
        for (const float element : leaf.m)
            EXPECT_TRUE(std::isfinite(element));
        EXPECT_GT(leaf.m[3], 0.0f) << "the chain still moves the leaf along its path";
    }
}

}  // namespace
