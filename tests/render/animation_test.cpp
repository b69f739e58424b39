// The scene's animation on hand-built records: the hierarchy's product order,
// pivots, targets and path look-ahead, the matrix cache, the camera's view
// and zoom, and the scene's frame from the millisecond clock.
#include "render/animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/aquarium.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"

namespace {

using scene_test::MotionKeyAt;
using scene_test::ObjectKeyAt;

constexpr float PI = 3.14159265f;

struct Point {
    float x, y, z;
};

Point Apply(const Matrix& m, Point p)
{
    return {m.m[0] * p.x + m.m[1] * p.y + m.m[2] * p.z + m.m[3], m.m[4] * p.x + m.m[5] * p.y + m.m[6] * p.z + m.m[7],
            m.m[8] * p.x + m.m[9] * p.y + m.m[10] * p.z + m.m[11]};
}

void ExpectPoint(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

template <class Record, class Key>
void SetKeys(Record& record, std::initializer_list<Key> keys)
{
    delete[] record.keys;
    record.keys = new Key[keys.size()];
    std::copy(keys.begin(), keys.end(), record.keys);
    record.keyCount = static_cast<std::uint32_t>(keys.size());
}

// A scene of count objects, each with a Vector, and a camera at the origin.
class Animation : public ::testing::Test {
protected:
    void Make(std::uint32_t count)
    {
        ASSERT_TRUE(scene.AllocateObjects(count) && scene.AllocateCamera());
        vectors.reset(new Vector[count]);
        for (std::uint32_t i = 0; i < count; ++i) {
            scene.objects[i].vector = &vectors[i];
            SetKeys(scene.objects[i], {ObjectKeyAt(0)});
        }
        SetKeys(*scene.camera, {MotionKeyAt(0)});
    }

    SceneObject& Object(std::uint32_t i) { return scene.objects[i]; }
    Matrix World(std::uint32_t i, float frame = 0)
    {
        Matrix m;
        scene.objects[i].Evaluate(frame, m);
        return m;
    }

    Scene scene;
    std::unique_ptr<Vector[]> vectors;
};

TEST_F(Animation, PositionPivotScaleAndParentsComposeInOrder)
{
    Make(3);
    SetKeys(Object(0), {ObjectKeyAt(0, 1, 2, 3)});
    Object(0).keys[0].value[KeyChannel::HEADING] = PI / 2;  // +z toward +x
    Object(1).parent = &Object(0);
    SetKeys(Object(1), {ObjectKeyAt(0, 0, 0, 5)});
    Object(2).parent = &Object(1);
    Object(2).pivot[0] = 1;
    SetKeys(Object(2), {ObjectKeyAt(0, 0, 1, 0)});
    for (int axis = KeyChannel::SCALE_X; axis <= KeyChannel::SCALE_Z; ++axis)
        Object(2).keys[0].value[axis] = 2;
    SetKeys(*scene.camera, {MotionKeyAt(0, 0, 0, -5)});
    AnimateScene(scene, 0);
    ExpectPoint(Apply(Object(0).worldMatrix, {0, 0, 0}), {1, 2, 3});
    ExpectPoint(Apply(vectors[0].matrix, {0, 0, 0}), {1, 2, 8});
    // the parent's heading turns the child's +z
    ExpectPoint(Apply(Object(1).worldMatrix, {0, 0, 0}), {6, 2, 3});
    // the pivot sits at the keyed place
    ExpectPoint(Apply(Object(2).worldMatrix, {1, 0, 0}), {6, 3, 3});
    // scaled by 2, then turned
    ExpectPoint(Apply(Object(2).worldMatrix, {2, 0, 0}), {6, 3, 1});
}

TEST_F(Animation, TargetsTurnTheObjectsZAxisTowardThem)
{
    struct Case {
        Point target;
        float heading, pitch;
    };
    const Case cases[] = {{{0, 0, 5}, 0, 0}, {{5, 0, 0}, PI / 2, 0}, {{0, 1, 1}, 0, -PI / 4}, {{0, 0, 0}, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.x * 100 + c.target.y * 10 + c.target.z);
        Make(2);
        SetKeys(Object(0), {ObjectKeyAt(0, 1, 1, 1)});
        SetKeys(Object(1), {ObjectKeyAt(0, 1 + c.target.x, 1 + c.target.y, 1 + c.target.z)});
        Object(0).target = &Object(1);
        // Y(heading) × X(pitch) applied to +z, from the object's place.
        const float h = c.heading, p = c.pitch;
        ExpectPoint(Apply(World(0), {0, 0, 1}),
                    {1 + std::sin(h) * std::cos(p), 1 - std::sin(p), 1 + std::cos(h) * std::cos(p)});
    }
}

TEST_F(Animation, APathLookAheadFacesAlongThePathWithAndWithoutAParent)
{
    Make(2);
    SetKeys(Object(1), {ObjectKeyAt(0), ObjectKeyAt(10, 10, 0, 0)});
    Object(1).keys[1].linear = 1;
    Object(1).pathLookAhead = 2;
    ExpectPoint(Apply(World(1, 5), {0, 0, 1}), {6, 0, 0});
    SetKeys(Object(0), {ObjectKeyAt(0, 0, 0, 100)});
    Object(1).parent = &Object(0);
    const Matrix withParent = World(1, 6);
    // placed once, in world space
    ExpectPoint(Apply(withParent, {0, 0, 0}), {6, 0, 100});
    ExpectPoint(Apply(withParent, {0, 0, 1}), {7, 0, 100});
    EXPECT_EQ(Object(1).pathLookAhead, 2u) << "restored";
}

TEST_F(Animation, TheCacheAnswersRepeatsAndKeepsTheAlignedMatrix)
{
    Make(2);
    SetKeys(Object(1), {ObjectKeyAt(0, 5, 0, 0)});
    Object(0).target = &Object(1);
    const Matrix aligned = World(0, 3);
    EXPECT_EQ(Object(0).cacheFrameA, 3.0f);
    EXPECT_EQ(Object(0).cacheFrameB, 3.0f) << "the inner evaluation stored its unaligned matrix";
    Object(0).keys[0].value[KeyChannel::POSITION_X] = 50;  // seen only by a new evaluation
    const Matrix again = World(0, 3);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(again.m[i], aligned.m[i]);
    ExpectPoint(Apply(again, {0, 0, 1}), {1, 0, 0});
    EXPECT_EQ(Object(0).target, &Object(1));
    ExpectPoint(Apply(World(0, 4), {0, 0, 0}), {50, 0, 0});
}

TEST_F(Animation, TheCameraViewsFromItsTargetParentAndPath)
{
    Make(1);
    SetKeys(Object(0), {ObjectKeyAt(0, 10, 0, 0)});
    SceneCamera& camera = *scene.camera;
    camera.target = &Object(0);
    AnimateScene(scene, 0);
    // the target lies straight ahead
    ExpectPoint(Apply(camera.matrix, {10, 0, 0}), {0, 0, 10});
    camera.target = nullptr;
    camera.parent = &Object(0);
    SetKeys(camera, {MotionKeyAt(0, 0, 0, -5)});
    AnimateScene(scene, 0);
    ExpectPoint(Apply(camera.matrix, {10, 0, 0}), {0, 0, 5});
    camera.parent = nullptr;
    SetKeys(camera, {MotionKeyAt(0), MotionKeyAt(10, 0, 10, 0)});
    camera.keys[1].linear = 1;
    camera.pathLookAhead = 1;
    AnimateScene(scene, 5);
    // looking up its path
    ExpectPoint(Apply(camera.matrix, {0, 9, 0}), {0, 0, 4});
}

TEST_F(Animation, ZoomSetsTheProjectionScalesInTheSameFrame)
{
    Make(0);
    gAquarium.width = 640;
    AnimateScene(scene, 0);
    EXPECT_EQ(gAquarium.xScale, 768.0f);
    EXPECT_EQ(gAquarium.yScale, -768.0f);
    ASSERT_TRUE(scene.AllocateEnvelopes(1));
    SetKeys(scene.envelopes[0], {EnvelopeKey{}});
    scene.envelopes[0].keys[0].value[0] = 6.4f;
    scene.envelopes[0].target = &scene.camera->zoom;
    AnimateScene(scene, 0);
    EXPECT_EQ(gAquarium.xScale, 1536.0f);
    EXPECT_EQ(gAquarium.yScale, -1536.0f);
}

TEST_F(Animation, TheFrameFollowsTheClockAcrossItsWrap)
{
    Make(0);
    scene.firstFrame = 10;
    scene.framesPerSecond = 25;
    gAquarium.currentObject = &scene;
    for (const std::uint32_t start : {5000u, 0xFFFFFF00u}) {
        scene.startTime = start;
        gAquarium.currentTime = start;
        Scene::Swim();
        EXPECT_EQ(scene.currentFrame, 10.0f);
        gAquarium.currentTime = start + 1000;
        Scene::Swim();
        EXPECT_EQ(scene.currentFrame, 35.0f);
    }
}

}  // namespace
