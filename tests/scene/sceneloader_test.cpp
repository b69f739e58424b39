// The scene loader on sound files: the header, the records and links each
// chunk kind makes, the plugins, the exchange of plain meshes between scenes,
// the static and deformed flags, clone sources and the map uploads.
#include <gtest/gtest.h>

#include <cmath>

#include "host/error.h"
#include "host/opengllib.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "scene/flare.h"
#include "scene/lightsetup.h"
#include "scene/morph.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;
using SceneLoader = SceneTest;

TEST_F(SceneLoader, AcceptsVersion111AndRefusesOlderFilesAndBadSums)
{
    SceneWriter writer;
    writer.header.firstFrame = 7;
    writer.header.framesPerSecond = 30;
    Scene scene;
    ASSERT_TRUE(Load(scene, writer)) << Error::Text();
    EXPECT_EQ(scene.firstFrame, 7u);
    EXPECT_EQ(scene.framesPerSecond, 30.0f);
    ASSERT_NE(scene.camera, nullptr);

    writer.header.version = 110;
    EXPECT_FALSE(Load(scene, writer));
    EXPECT_STREQ(Error::Text(), "Scene::SetupHeader: Incompatible fileversion.\nScene::Load: Error setting up sceneheader.\n");
    Error::Reset();
    writer.header.version = 111;
    writer.header.checksum = 1;
    EXPECT_FALSE(Load(scene, writer));
    EXPECT_STREQ(Error::Text(), "Scene::SetupHeader: Checksum failure.n\nScene::Load: Error setting up sceneheader.\n");
}

TEST_F(SceneLoader, AMorphChunkDrivesTheMorphOfTheObjectBeforeIt)
{
    PutMesh("a.vob", 3);
    PutMesh("b.vob", 3);
    SceneWriter writer;
    writer.AddObject(MorphingChunk("a.vob", 1, 0.25f));
    writer.AddEnvelope(SceneFormat::TAG_MORP, EnvelopeChunk(0.5f));
    writer.AddObject(ObjectChunk("b.vob"));
    PutMesh("empty.vob", 0);
    writer.AddObject(ObjectChunk("empty.vob"));
    Scene scene;
    ASSERT_TRUE(Load(scene, writer)) << Error::Text();
    const float box[] = {0, 0, 0, 2, 4, 6};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(scene.objects[1].boundingBox[i], box[i]);
        EXPECT_EQ(scene.objects[2].boundingBox[i], 0.0f) << "a mesh without atoms keeps a zero box";
    }
    const Morph* const morph = Morph::Of(scene.objects[0].vector);
    ASSERT_NE(morph, nullptr);
    EXPECT_EQ(morph->amount, 0.25f);
    EXPECT_EQ(morph->target, scene.objects[1].vector);
    EXPECT_EQ(scene.envelopes[0].target, &morph->amount);
    EXPECT_EQ(scene.objects[0].morphTarget, &scene.objects[1]);
}

TEST_F(SceneLoader, PlainMeshesAreSharedBetweenScenesButAMorphingOneKeepsItsOwn)
{
    PutMesh("a.vob", 3);
    PutMesh("b.vob", 3);
    SceneWriter plain;
    plain.AddObject(ObjectChunk("a.vob"));
    Scene first, second, third;
    ASSERT_TRUE(Load(first, plain)) << Error::Text();
    ASSERT_TRUE(Load(second, plain)) << Error::Text();
    EXPECT_EQ(second.objects[0].vector, first.objects[0].vector);
    ASSERT_EQ(gVectorHandles.count, 2u);
    EXPECT_EQ(gVectorHandles.entries[1].vector, nullptr) << "the second scene's own copy is released";
    EXPECT_EQ(gVectorHandles.entries[0].owner, &second);

    SceneWriter morphing;
    morphing.AddObject(MorphingChunk("A.VOB", 1));
    morphing.AddObject(ObjectChunk("b.vob"));
    ASSERT_TRUE(Load(third, morphing)) << Error::Text();
    EXPECT_NE(third.objects[0].vector, first.objects[0].vector);
}

TEST_F(SceneLoader, LinksResolveOverMixedObjectChunksAndCarryTheStaticFlags)
{
    PutMesh("m.vob", 3);
    SceneWriter writer;
    writer.AddNull(ObjectChunk("root"));                    // 0: one key, static
    writer.AddNull(ObjectChunk("still", 0));                // 1: under a static parent
    writer.AddObject(ObjectChunk("m.vob", 0));              // 2: a mesh never becomes static
    writer.AddNull(ObjectChunk("moving", 2));               // 3: under a mesh
    writer.AddNull(ObjectChunk("leaf", 3, -1));             // 4: index 3 is the fourth object chunk
    SceneLightChunk light;
    light.keys = {MotionKeyAt(0)};
    light.parent = 1;
    writer.AddLight(light);
    light.parent = 2;
    writer.AddLight(light);
    light.parent = -1;
    light.target = 0;
    writer.AddLight(light);
    Scene scene;
    ASSERT_TRUE(Load(scene, writer)) << Error::Text();
    const std::uint32_t expectedStatic[] = {1, 1, 0, 0, 0};
    for (std::uint32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(scene.objects[i].vector->isStatic, expectedStatic[i]);
        EXPECT_EQ(scene.objects[i].deformed, 1);
        EXPECT_EQ(scene.objects[i].vector->type, i == 2 ? 14 : 16);
    }
    EXPECT_EQ(scene.objects[0].parent, nullptr);
    EXPECT_EQ(scene.objects[4].parent, &scene.objects[3]);
    EXPECT_EQ(scene.lights[0].light->isStatic, 1u);
    EXPECT_EQ(scene.lights[1].light->isStatic, 0u) << "a light under a mesh moves";
    EXPECT_EQ(scene.lights[2].light->isStatic, 0u) << "one key and a target";
    EXPECT_EQ(scene.lights[2].target, &scene.objects[0]);
}

TEST_F(SceneLoader, LightsEnvelopesAndTheLastCameraAreWired)
{
    SceneWriter writer;
    SceneLightChunk light;
    light.kind = 3;
    light.coneAngle = 1.0f;
    light.edgeAngle = 0.25f;
    writer.AddLight(light);
    for (const std::uint32_t tag : {SceneFormat::TAG_LINT, SceneFormat::TAG_LRNG, SceneFormat::TAG_LCON,
                                    SceneFormat::TAG_LEDG, SceneFormat::TAG_ZOOM})
        writer.AddEnvelope(tag, EnvelopeChunk(1.0f));
    SceneCameraChunk camera;
    camera.zoom = 2.0f;
    writer.AddCamera(camera);
    camera.zoom = 5.0f;
    camera.keys = {MotionKeyAt(0), MotionKeyAt(9)};
    writer.AddCamera(camera);
    Scene scene;
    ASSERT_TRUE(Load(scene, writer)) << Error::Text();
    Light& made = *scene.lights[0].light;
    EXPECT_FLOAT_EQ(made.innerConeCosine, std::cos(0.75f));
    EXPECT_FLOAT_EQ(made.outerConeCosine, std::cos(1.0f));
    EXPECT_NE(dynamic_cast<LightSetup*>(made.firstPlugin), nullptr);
    const float* const targets[] = {&made.intensity, &made.range, &made.outerConeCosine, &made.innerConeCosine,
                                    &scene.camera->zoom};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(scene.envelopes[i].target, targets[i]) << i;
    EXPECT_EQ(scene.camera->zoom, 5.0f);
    EXPECT_EQ(scene.camera->keyCount, 2u);
}

TEST_F(SceneLoader, AShallowCloneBorrowsTheSourcesMeshesAndLeavesThemWhenDestroyed)
{
    PutMesh("m.vob", 3);
    SceneWriter writer;
    writer.AddObject(ObjectChunk("m.vob"));
    writer.AddNull(ObjectChunk("n", 0));
    Scene source;
    ASSERT_TRUE(Load(source, writer)) << Error::Text();
    {
        Scene clone;
        ASSERT_TRUE(Load(clone, writer, 1, &source)) << Error::Text();
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(clone.objects[i].vector, source.objects[i].vector);
        EXPECT_EQ(clone.objects[1].parent, nullptr) << "a shallow load resolves no object links";
    }
    EXPECT_EQ(gVectorHandles.entries[0].vector, source.objects[0].vector);
    EXPECT_EQ(gVectorHandles.entries[0].owner, &source);
    EXPECT_EQ(source.objects[0].vector->atoms[2].position[2], 6.0f);
}

TEST_F(SceneLoader, FlaresGetTheirSpritesAndSetupOpenGLUploadsEveryMap)
{
    PutMesh("m.vob", 3, Material::COLOUR_MAP);
    PutMap("map.tga");
    PutMap("light.tga");
    PutMap("trail.tga");
    SceneWriter writer;
    writer.AddObject(ObjectChunk("m.vob"));
    SceneFlareChunk flare;
    flare.kind = 2;
    flare.textureName = "trail.tga";  // no sprites: a trail of zero length draws nothing
    writer.AddObjectFlare(flare);
    SceneLightChunk light;
    light.red = 0.5f;
    writer.AddLight(light);
    flare.textureName = "light.tga";
    flare.trailLength = 0.5f;
    flare.spritesPerFrame = 1.0f;
    writer.AddLightFlare(flare);
    Scene scene;
    ASSERT_TRUE(Load(scene, writer)) << Error::Text();
    const Flare& trail = *scene.objects[0].flare;
    EXPECT_EQ(trail.kind, Flare::TRAIL);
    EXPECT_EQ(trail.spriteCount, 0u);
    EXPECT_EQ(scene.objects[0].vector->lastPlugin, &trail);
    const Flare& lensflare = *scene.lights[0].flare;
    ASSERT_EQ(lensflare.spriteCount, 1u) << "a light flare always has its sprite";
    EXPECT_EQ(lensflare.sprites[0].red, 0.5f);
    EXPECT_EQ(lensflare.sprites[0].material, lensflare.material);
    EXPECT_EQ(lensflare.material->flags, 0x15u);
    EXPECT_EQ(scene.lights[0].light->lastPlugin, &lensflare);

    platform::ScopedFakeBackend fake;
    platform::FakeGLReset();
    fake.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
    EXPECT_TRUE(scene.SetupOpenGL()) << Error::Text();
    EXPECT_EQ(platform::FakeGLTextures().size(), 3u);
    for (const Material* material : {&scene.objects[0].vector->materials[0], trail.material, lensflare.material})
        EXPECT_EQ(material->colourMap->uploaded, 1);
    OpenGLLib::Free();
}

TEST_F(SceneLoader, LoadFileNamesTheFileItCouldNotLoad)
{
    SceneWriter writer;
    writer.header.version = 3;
    ASSERT_TRUE(writer.Write("old.scn"));
    Scene scene;
    EXPECT_FALSE(scene.LoadFile("old.scn", 0));
    EXPECT_STREQ(Error::Text(), "Scene::SetupHeader: Incompatible fileversion.\nScene::Load: Error setting up "
                                "sceneheader.\nScene::Load: Error running Scene::Load ( old.scn )\n");
}

}  // namespace
