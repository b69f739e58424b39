// Scene records: the values a loader starts from, the arrays a scene makes,
// and what destroying a scene, a light record or a Light takes with it and
// what it leaves alone (meshes, which belong to the vector handle table).
#include "scene/scenerecords.h"

#include <gtest/gtest.h>

#include "scene/vector.h"

namespace {

bool IsIdentity(const Matrix& matrix)
{
    const Matrix identity;
    for (int i = 0; i < 16; ++i) {
        if (matrix.m[i] != identity.m[i])
            return false;
    }
    return true;
}

// Counts the destruction of objects and plugins into a caller's counter.
class WatchedVector : public Vector {
public:
    explicit WatchedVector(int& destroyed) : destroyed_(destroyed) {}
    ~WatchedVector() override { ++destroyed_; }

private:
    int& destroyed_;
};

class WatchedLight : public Light {
public:
    WatchedLight(const std::int32_t kind, int& destroyed) : Light(kind), destroyed_(destroyed) {}
    ~WatchedLight() override { ++destroyed_; }

private:
    int& destroyed_;
};

class WatchedPlugin : public Plugin {
public:
    explicit WatchedPlugin(int& destroyed) : destroyed_(destroyed) {}
    ~WatchedPlugin() override { ++destroyed_; }

private:
    int& destroyed_;
};

// What a loader finds in freshly made records.

TEST(FreshSceneRecords, AnObjectHasAnEmptyCacheIdentityMatricesNoLinksAndNoKeys)
{
    const SceneObject object;
    EXPECT_EQ(object.cacheFrameA, -1.0f);
    EXPECT_EQ(object.cacheFrameB, -2.0f);
    EXPECT_TRUE(IsIdentity(object.cacheMatrixA));
    EXPECT_TRUE(IsIdentity(object.cacheMatrixB));
    EXPECT_TRUE(IsIdentity(object.worldMatrix));
    EXPECT_EQ(object.parent, nullptr);
    EXPECT_EQ(object.target, nullptr);
    EXPECT_EQ(object.morphTarget, nullptr);
    EXPECT_EQ(object.flare, nullptr);
    EXPECT_EQ(object.vector, nullptr);
    EXPECT_EQ(object.keyCount, 0u);
    EXPECT_EQ(object.keys, nullptr);
    EXPECT_EQ(object.endBehaviour, 0u);
    EXPECT_EQ(object.pathLookAhead, 0u);
    EXPECT_EQ(object.morphAmount, 0.0f);
    EXPECT_EQ(object.deformed, 0);
    EXPECT_STREQ(object.name, "");
}

TEST(FreshSceneRecords, ACameraZoomsByThreePointTwoThroughAnIdentityView)
{
    const SceneCamera camera;
    EXPECT_EQ(camera.zoom, 3.2f);
    EXPECT_TRUE(IsIdentity(camera.matrix));
    EXPECT_EQ(camera.parent, nullptr);
    EXPECT_EQ(camera.target, nullptr);
    EXPECT_EQ(camera.keyCount, 0u);
    EXPECT_EQ(camera.keys, nullptr);
}

TEST(FreshSceneRecords, ALightIsAWhiteNonStaticSourceOfItsKindLookingDownMinusZ)
{
    const Light light(Light::SPOT);
    EXPECT_EQ(light.type, Light::SPOT);
    EXPECT_EQ(light.red, 1.0f);
    EXPECT_EQ(light.green, 1.0f);
    EXPECT_EQ(light.blue, 1.0f);
    EXPECT_EQ(light.intensity, 1.0f);
    EXPECT_EQ(light.directionX, 0.0f);
    EXPECT_EQ(light.directionY, 0.0f);
    EXPECT_EQ(light.directionZ, -1.0f);
    EXPECT_EQ(light.isStatic, 0u);
    EXPECT_TRUE(IsIdentity(light.matrix));
    EXPECT_EQ(light.firstPlugin, nullptr);
    EXPECT_EQ(light.active, 1);

    const SceneLight record;
    EXPECT_TRUE(IsIdentity(record.matrix));
    EXPECT_EQ(record.light, nullptr);
    EXPECT_EQ(record.flare, nullptr);
    EXPECT_EQ(record.keys, nullptr);
}

TEST(FreshSceneRecords, ASceneIsOfTypeSevenAndHoldsNothing)
{
    const Scene scene;
    EXPECT_EQ(scene.type, Scene::TYPE);
    EXPECT_EQ(Scene::TYPE, 7);
    EXPECT_EQ(scene.framesPerSecond, 0.0f);
    EXPECT_EQ(scene.cloneSource, nullptr);
    EXPECT_EQ(scene.objects, nullptr);
    EXPECT_EQ(scene.lights, nullptr);
    EXPECT_EQ(scene.camera, nullptr);
    EXPECT_EQ(scene.envelopes, nullptr);
    EXPECT_EQ(scene.objectCount + scene.lightCount + scene.envelopeCount, 0u);
}

// The arrays a loader fills: exactly the counts asked for, each count kept
// beside its array, a second allocation replacing the first.

TEST(SceneArrays, HoldFreshRecordsOfTheCountsAskedFor)
{
    Scene scene;
    ASSERT_TRUE(scene.AllocateObjects(3));
    ASSERT_TRUE(scene.AllocateLights(2));
    ASSERT_TRUE(scene.AllocateEnvelopes(4));
    ASSERT_TRUE(scene.AllocateCamera());

    EXPECT_EQ(scene.objectCount, 3u);
    EXPECT_EQ(scene.lightCount, 2u);
    EXPECT_EQ(scene.envelopeCount, 4u);
    EXPECT_EQ(scene.objects[2].cacheFrameB, -2.0f);
    EXPECT_EQ(scene.lights[1].light, nullptr);
    EXPECT_EQ(scene.envelopes[3].target, nullptr);
    EXPECT_EQ(scene.camera->zoom, 3.2f);
}

TEST(SceneArrays, ASecondAllocationReplacesTheFirstAndItsLights)
{
    Scene scene;
    int lightsDestroyed = 0;
    ASSERT_TRUE(scene.AllocateLights(2));
    scene.lights[0].light = new WatchedLight(Light::DISTANT, lightsDestroyed);
    scene.lights[0].keys = new MotionKey[2];
    scene.lights[0].keyCount = 2;

    ASSERT_TRUE(scene.AllocateLights(1));
    EXPECT_EQ(lightsDestroyed, 1);
    EXPECT_EQ(scene.lightCount, 1u);
    EXPECT_EQ(scene.lights[0].light, nullptr);

    ASSERT_TRUE(scene.AllocateObjects(0));
    EXPECT_EQ(scene.objectCount, 0u);
}

// Destruction: lights and null objects go with their records, meshes stay.

TEST(SceneDestruction, DestroyingALightDestroysItsWholePluginChain)
{
    int pluginsDestroyed = 0;
    Light* const light = new Light(Light::POINT);
    Fish::AttachPlugin(light, new WatchedPlugin(pluginsDestroyed), false);
    Fish::AttachPlugin(light, new WatchedPlugin(pluginsDestroyed), false);
    delete light;
    EXPECT_EQ(pluginsDestroyed, 2);
}

TEST(SceneDestruction, ALightRecordDestroysItsLightAndWithItTheLightsPlugins)
{
    int lightsDestroyed = 0;
    int pluginsDestroyed = 0;
    {
        SceneLight record;
        record.light = new WatchedLight(Light::SPOT, lightsDestroyed);
        Fish::AttachPlugin(record.light, new WatchedPlugin(pluginsDestroyed), false);
        record.keys = new MotionKey[3];
        record.keyCount = 3;
    }
    EXPECT_EQ(lightsDestroyed, 1);
    EXPECT_EQ(pluginsDestroyed, 1);
}

TEST(SceneDestruction, AnObjectRecordLeavesItsMeshAlone)
{
    int meshesDestroyed = 0;
    WatchedVector mesh(meshesDestroyed);
    {
        SceneObject object;
        object.vector = &mesh;
        object.keys = new ObjectKey[2];
        object.keyCount = 2;
    }
    EXPECT_EQ(meshesDestroyed, 0);
}

// No handle holds a null object's empty Vector: its record is the only owner,
// and the flares in its plugin chain go with it.
TEST(SceneDestruction, ANullObjectsRecordDestroysItsVectorWithItsPlugins)
{
    int vectorsDestroyed = 0;
    int pluginsDestroyed = 0;
    {
        SceneObject object;
        object.vector = new WatchedVector(vectorsDestroyed);
        object.vector->type = NULL_OBJECT_TYPE;
        Fish::AttachPlugin(object.vector, new WatchedPlugin(pluginsDestroyed), false);
    }
    EXPECT_EQ(vectorsDestroyed, 1);
    EXPECT_EQ(pluginsDestroyed, 1);
}

// A clone borrows its source's meshes: destroying it must leave them intact
// for the source, which still draws them.
TEST(SceneDestruction, AClonedSceneLeavesTheSourcesMeshesIntact)
{
    int meshesDestroyed = 0;
    int lightsDestroyed = 0;
    WatchedVector ship(meshesDestroyed);
    WatchedVector rock(meshesDestroyed);
    Scene source;
    ASSERT_TRUE(source.AllocateObjects(2));
    source.objects[0].vector = &ship;
    source.objects[1].vector = &rock;

    Scene* const clone = new Scene;
    clone->cloneSource = &source;
    ASSERT_TRUE(clone->AllocateObjects(2));
    ASSERT_TRUE(clone->AllocateLights(1));
    ASSERT_TRUE(clone->AllocateEnvelopes(1));
    ASSERT_TRUE(clone->AllocateCamera());
    for (std::uint32_t i = 0; i < 2; ++i) {
        clone->objects[i].vector = source.objects[i].vector;
        clone->objects[i].parent = &clone->objects[0];
        clone->objects[i].keys = new ObjectKey[1];
        clone->objects[i].keyCount = 1;
    }
    clone->lights[0].light = new WatchedLight(Light::POINT, lightsDestroyed);
    clone->envelopes[0].keys = new EnvelopeKey[2];
    clone->envelopes[0].keyCount = 2;
    clone->envelopes[0].target = &clone->camera->zoom;
    delete clone;

    EXPECT_EQ(meshesDestroyed, 0);
    EXPECT_EQ(lightsDestroyed, 1);
    EXPECT_EQ(source.objects[0].vector, &ship);
    EXPECT_EQ(source.objects[1].vector, &rock);
}

}  // namespace
