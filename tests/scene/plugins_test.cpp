// The scene plugins at work on meshes, lights and the ordering table: morph
// blends, the dissolve's steps, the three flares' sprites and fades, and the
// light set-up's directions.
#include <gtest/gtest.h>

#include <cmath>

#include "host/error.h"
#include "scene/dissolve.h"
#include "scene/flare.h"
#include "scene/lightsetup.h"
#include "scene/morph.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;
using Plugins = SceneTest;

// Runs plugin as the main loop would on owner.
void RunPlugin(Plugin& plugin, Fish& owner)
{
    gAquarium.currentObject = gAquarium.pluginOwner = &owner;
    gAquarium.currentPlugin = &plugin;
    plugin.function();
}

void GiveAtoms(Vector& vector, std::initializer_list<float> xs)
{
    vector.atoms = new Atom[xs.size()];
    vector.atomCount = static_cast<std::uint32_t>(xs.size());
    std::uint32_t i = 0;
    for (const float x : xs)
        vector.atoms[i++].position[0] = x;
}

// The number of nodes queued in set A before the terminator.
int gQueued = 0;
int Queued()
{
    gQueued = 0;
    OrderTableWalk(gAquarium.orderTable, [](std::int32_t, PolygonNode*) { ++gQueued; });
    return gQueued;
}

struct MorphCase {
    float amount;
    float first, second;  // the two atoms' x after the run
};

// From the loaded 1 and 2 toward the target's 0.3 and 4.1; back at 0 the
// loaded shape returns, at 1 the target's is reached exactly.
const MorphCase MORPH_CASES[] = {
    {1.0f, 0.3f, 4.1f}, {0.5f, 0.65f, 3.05f}, {0.25f, 0.825f, 2.525f}, {0.0f, 1.0f, 2.0f}, {1.0f, 0.3f, 4.1f},
};

TEST_F(Plugins, MorphBlendsFromTheLoadedShapeAndReachesTheTargetExactly)
{
    Vector object, target;
    GiveAtoms(object, {1.0f, 2.0f});
    GiveAtoms(target, {0.3f, 4.1f});
    Morph morph;
    ASSERT_TRUE(morph.Init(&object, &target));
    for (const MorphCase& test : MORPH_CASES) {
        morph.amount = test.amount;
        RunPlugin(morph, object);
        const bool exact = test.amount == 0.0f || test.amount == 1.0f;
        if (exact) {
            EXPECT_EQ(object.atoms[0].position[0], test.first) << test.amount;
            EXPECT_EQ(object.atoms[1].position[0], test.second) << test.amount;
        } else {
            EXPECT_FLOAT_EQ(object.atoms[0].position[0], test.first) << test.amount;
            EXPECT_FLOAT_EQ(object.atoms[1].position[0], test.second) << test.amount;
        }
    }
}

TEST_F(Plugins, AMorphOfAMeshWithoutAtomsLeavesItAsItWas)
{
    Vector empty, other;
    empty.matrix.m[3] = 5.0f;
    Morph morph;
    ASSERT_TRUE(morph.Init(&empty, &other)) << "nothing to blend";
    for (const float amount : {0.5f, 1.0f}) {
        morph.amount = amount;
        RunPlugin(morph, empty);
        EXPECT_EQ(empty.atomCount, 0u);
        EXPECT_EQ(empty.atoms, nullptr);
        EXPECT_EQ(empty.cellCount, 0u);
        EXPECT_EQ(empty.active, 1);
        EXPECT_EQ(empty.matrix.m[3], 5.0f);
        EXPECT_EQ(empty.firstPlugin, nullptr) << "the run attached nothing";
    }
}

TEST_F(Plugins, AMorphBetweenMeshesOfDifferentSizesFailsTheScene)
{
    PutMesh("a.vob", 100);
    PutMesh("b.vob", 101);
    SceneWriter writer;
    writer.AddObject(MorphingChunk("a.vob", 1));
    writer.AddObject(ObjectChunk("b.vob"));
    Scene scene;
    EXPECT_FALSE(Load(scene, writer));
    EXPECT_STREQ(Error::Text(),
                 "Morph::Init: Vectors don't have same number of vertices.\nScene::Load: Error setting up Morph-plugin.\n");
}

TEST_F(Plugins, DissolveBlendsFadesHidesAndRestores)
{
    Vector object;
    object.materials = new Material[2];
    object.materialCount = 2;
    object.materials[0].further[1] = 0.2f;
    object.materials[1].flags = Material::TRANSPARENT | Material::COLOUR_MAP;
    object.cells = new Cell[2];
    object.cellCount = 2;
    object.cells[0].material = &object.materials[0];
    object.cells[1].material = &object.materials[1];
    Dissolve dissolve;
    ASSERT_TRUE(dissolve.Init(&object));
    struct Step {
        float amount;
        std::uint32_t flags0, flags1;
        std::int32_t type0, type1;
        std::uint32_t priority0;
        std::uint8_t active;
        float further0;
    };
    const Step steps[] = {
        {0.0f, 0x00, 0x11, 1, 1, 0, 1, 0.2f},      // nothing changed yet
        {0.5f, 0x01, 0x11, 9, 11, 240, 1, 0.6f},   // blended, halfway to 1.0
        {1.0f, 0x01, 0x11, 9, 11, 240, 0, 0.6f},   // hidden, values kept
        {0.0f, 0x00, 0x10, 7, 8, 250, 1, 0.2f},    // shown, bit cleared everywhere
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.amount);
        dissolve.amount = step.amount;
        RunPlugin(dissolve, object);
        EXPECT_EQ(object.materials[0].flags, step.flags0);
        EXPECT_EQ(object.materials[1].flags, step.flags1);
        EXPECT_EQ(object.cells[0].node.type, step.type0);
        EXPECT_EQ(object.cells[1].node.type, step.type1);
        EXPECT_EQ(object.cells[0].node.priority, step.priority0);
        EXPECT_EQ(object.active, step.active);
        EXPECT_FLOAT_EQ(object.materials[0].further[1], step.further0);
    }
}

TEST_F(Plugins, ATrailFlareShowsTheObjectsRecentPathShrinkingAndBrightening)
{
    PutMap("f.tga");
    Scene scene;
    ASSERT_TRUE(scene.AllocateObjects(1) && scene.AllocateCamera());
    SceneObject& object = scene.objects[0];
    object.keys = new ObjectKey[2]{ObjectKeyAt(0, 0, 0, 10), ObjectKeyAt(100, 100, 0, 10)};
    object.keys[1].linear = 1;
    object.keyCount = 2;
    scene.currentFrame = 30.0f;
    Flare flare(Flare::TRAIL, &object, &scene);
    flare.size = 4.0f;
    flare.trailLength = 10.0f;
    flare.spritesPerFrame = 2.0f;
    ASSERT_TRUE(flare.Setup("f.tga")) << Error::Text();
    ASSERT_EQ(flare.spriteCount, 20u);
    Vector carrier;
    RunPlugin(flare, carrier);
    EXPECT_EQ(Queued(), 20);
    for (std::uint32_t i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        const FlareSprite& sprite = flare.sprites[i];
        const float half = (4.0f - 4.0f * i / 20.0f) / 2.0f;
        EXPECT_NEAR((sprite.x0 + sprite.x1) / 2.0f, 30.0f - 0.5f * i, 1e-4f);
        EXPECT_NEAR(sprite.x1 - sprite.x0, 2.0f * half, 1e-5f);
        EXPECT_FLOAT_EQ(sprite.intensity, i / 20.0f);
        EXPECT_EQ(sprite.z0, 10.0f);
        EXPECT_EQ(sprite.node.depthKey, ~std::uint32_t(2147483648.0f / 10.0f));
    }
}

TEST_F(Plugins, ObjectFlaresFadeWithTheViewAxisAndTheFacingAndHideBehindTheEye)
{
    PutMap("f.tga");
    struct Case {
        std::uint32_t flags;
        float x, z, axisZ;     // camera-space place, the object's z axis
        bool queued;
        float intensity;
    };
    const Case cases[] = {
        {0, 0, 0.5f, 1, false, 1},                // behind the near plane
        {Flare::FADE_OFF_AXIS, 0, 10, 1, true, 2},
        {Flare::FADE_OFF_AXIS, 10, 10, 1, true, 0},
        {Flare::FADE_FACING, 0, 10, 1, true, 0},  // facing away from the eye
        {Flare::FADE_FACING, 0, 10, -1, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 100 + c.x);
        OrderTableStart(gAquarium.orderTable, &terminator_);
        Vector object;
        object.matrix.m[3] = c.x;
        object.matrix.m[11] = c.z;
        object.matrix.m[10] = c.axisZ;
        Flare flare(Flare::OBJECT, nullptr, nullptr);
        flare.flags = c.flags;
        ASSERT_TRUE(flare.Setup("f.tga"));
        RunPlugin(flare, object);
        EXPECT_EQ(Queued(), c.queued ? 1 : 0);
        if (c.queued) {
            EXPECT_NEAR(flare.sprites[0].intensity, c.intensity, 1e-5f);
        }
    }
}

TEST_F(Plugins, LightSetupPointsDistantLightsBackAlongTheirAxisAndSpotsAlongIt)
{
    for (const std::int32_t kind : {Light::DISTANT, Light::SPOT, Light::POINT}) {
        Light light(kind);
        light.intensity = 3.0f;
        light.range = 2.0f;
        light.matrix.SetRotation(0.0f, -1.5707964f, 0.0f);  // turns +z toward +x
        light.matrix.m[2] *= 5.0f;
        LightSetup setup;
        RunPlugin(setup, light);
        EXPECT_EQ(light.falloff, 1.5f);
        const float expected = kind == Light::DISTANT ? -1.0f : kind == Light::SPOT ? 1.0f : 0.0f;
        EXPECT_NEAR(light.directionX, expected, 1e-6f);
        EXPECT_NEAR(light.directionZ, kind == Light::POINT ? -1.0f : 0.0f, 1e-6f);
    }
}

}  // namespace
