// Frames of a loaded scene allocate nothing: the real frame objects (clear,
// ordering table reset, light plugins, a rigid and a deforming mesh loaded
// from mesh files, a flare sprite, sort and draw) run pass after pass into
// the recording GL library while every heap allocation is counted.
//
// malloc, calloc and realloc are replaced for this whole test program and
// only count before they hand over to the C library's allocator; operator
// new reaches them too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>

#include "host/error.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "host/systemobjects.h"
#include "pak/pak.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "scene/flare.h"
#include "scene/flaresprite.h"
#include "scene/scenerecords.h"
#include "tests/scene/scene_fixture.h"
#include "tests/support/render_stage.h"

namespace {
std::size_t allocations = 0;
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);

void* malloc(std::size_t size) noexcept
{
    ++allocations;
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept
{
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept
{
    ++allocations;
    return __libc_realloc(block, size);
}
}

namespace {

constexpr int FRAMES = 4;

// Queues one flare sprite a frame, as the Flare plugin does.
class SpriteQueue : public Plugin {
public:
    SpriteQueue() { function = Queue; }

    static void Queue()
    {
        sprite.z0 = 6.0f;
        sprite.node.depthKey = 0x12345678;
        OrderTableAppend(SetA(gAquarium.orderTable), 255 - 0x78, &sprite.node);
    }

    static FlareSprite sprite;
};

FlareSprite SpriteQueue::sprite;

class FrameAllocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        PAK::CloseAll();
        scoped_.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        scoped_.fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
        platform::FakeGLReset();
        test_support::SetUpRenderStage();
        test_support::WriteMapPicture();
        test_support::CopyHandlers(gAquarium.swimTable, SWIM_LIST);
        gAquarium.mode = 1;
        gAquarium.filled = 1;
    }

    void TearDown() override
    {
        gAquarium.mode = gAquarium.filled = 0;
        gAquarium.currentObjectList = gAquarium.currentLightList = FishList{};
        rigid_.reset();
        deforming_.reset();
        OpenGLLib::Free();
    }

    // Written as a mesh file, loaded as the demo loads it, maps uploaded.
    static std::unique_ptr<Vector> LoadMesh(const char* name, const MeshContent& content, std::int32_t type)
    {
        EXPECT_TRUE(WriteBytesFile(name, MeshEncode(MeshLayout(content))));
        std::unique_ptr<Vector> vector(Vector::Load(name));
        for (std::uint32_t i = 0; vector && i < vector->materialCount; ++i) {
            if (vector->materials[i].colourMap != nullptr)
                vector->materials[i].colourMap->Upload();
        }
        if (vector)
            vector->type = type;
        return vector;
    }

    void AddLight(Light& light, float x, float y, float z)
    {
        light.matrix.m[3] = x, light.matrix.m[7] = y, light.matrix.m[11] = z;
        light.range = 50.0f, light.falloff = 0.01f;
        light.innerConeCosine = 0.9f, light.outerConeCosine = 0.5f;
        light.directionZ = light.type == Light::DISTANT ? -1.0f : 1.0f;
        ASSERT_TRUE(Fishes::InsertObject(&lights_, &light, false));
    }

    test_support::ScratchDirectory scratch_;
    platform::ScopedFakeBackend scoped_;
    std::unique_ptr<Vector> rigid_, deforming_;
    Fishes lights_, objects_;
};

TEST_F(FrameAllocationTest, TheCounterSeesNewAndMalloc)
{
    const std::size_t before = allocations;
    int* volatile number = new int(1);
    delete number;
    void* volatile block = std::malloc(16);
    std::free(block);
    EXPECT_EQ(allocations - before, 2u);
}

TEST_F(FrameAllocationTest, PassesOfALoadedSceneAllocateNothing)
{
    const std::uint32_t SEE_THROUGH = Material::TRANSPARENT, MAP = Material::COLOUR_MAP, ADD = Material::ADDITIVE;
    const std::uint32_t SMOOTH = Material::SMOOTH;
    rigid_ = LoadMesh("rigid.vob", test_support::Grid(8, 4.0f, 6.0f, {0, SMOOTH | MAP, SEE_THROUGH, SEE_THROUGH | ADD}),
                      Vector::TYPE);
    deforming_ = LoadMesh("deform.vob",
                          test_support::Grid(8, 0.25f, 3.0f, {SMOOTH | Material::ENVIRONMENT, ADD | MAP, SEE_THROUGH | MAP}),
                          Vector::DEFORMING_TYPE);
    ASSERT_TRUE(rigid_ && deforming_) << Error::Text();
    rigid_->matrix.SetRotation(0.2f, 0.1f, 0.0f);
    rigid_->isStatic = 1;
    Light distant(Light::DISTANT), point(Light::POINT), spot(Light::SPOT);
    distant.isStatic = 1;
    AddLight(distant, 0, 0, 0);
    AddLight(point, 1, 1, 2);
    AddLight(spot, 0, 0, 0);
    TimelineCarrier spriteCarrier;
    Fish::AttachPlugin(&spriteCarrier, new SpriteQueue, false);
    Material flareMaterial;
    SpriteQueue::sprite.material = &flareMaterial;
    for (Fish* object : std::initializer_list<Fish*>{&gClearScreen, &gOrderTableReset, &gPluginRunner, rigid_.get(),
                                                     deforming_.get(), &spriteCarrier, &gOrderTableSort,
                                                     &gOrderTableDraw})
        ASSERT_TRUE(Fishes::InsertObject(&objects_, object, false));
    gAquarium.currentObjectList = objects_;
    gAquarium.currentLightList = lights_;
    Mainloop onePass(&gAquarium, false);

    platform::FakeGLSetLogging(false);
    const std::size_t before = allocations;
    for (int frame = 0; frame < FRAMES; ++frame)
        onePass.Feed();
    const std::size_t allocated = allocations - before;
    platform::FakeGLSetLogging(true);

    EXPECT_EQ(allocated, 0u);
    EXPECT_GT(platform::FakeGLCallCount(), 1000u);
    EXPECT_STREQ(Error::Text(), "");
    // The frames drew additive mapped and blended cells, the sprite and
    // clipped cells, whose cut corners lie on the near plane (z - 1 = 0, w = 1).
    onePass.Feed();
    const std::vector<std::string>& calls = platform::FakeGLCalls();
    for (const char* line : {"glDepthFunc(0x203)", "glBlendFunc(0x302, 0x303)", "glBlendFunc(0x1, 0x1)"})
        EXPECT_NE(std::find(calls.begin(), calls.end(), line), calls.end()) << line;
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
        return call.rfind("glVertex4f", 0) == 0 && call.size() > 7 && call.compare(call.size() - 7, 7, ", 0, 1)") == 0;
    }));
}

// A scene file with every plugin, loaded as the demo loads it: its animation,
// morph, dissolve, trail, object and light flares and light set-up run pass
// after pass without a heap allocation.
TEST_F(FrameAllocationTest, PassesOfALoadedSceneWithEveryPluginAllocateNothing)
{
    using namespace scene_test;
    PutMesh("a.vob", 3);
    PutMesh("b.vob", 3, Material::COLOUR_MAP);
    PutMap("f.tga");
    SceneWriter writer;
    SceneObjectChunk morphing = MorphingChunk("a.vob", 1);
    morphing.keys = {ObjectKeyAt(0, 0, 0, 10), ObjectKeyAt(50, 5, 0, 12)};
    writer.AddObject(morphing);
    writer.AddEnvelope(SceneFormat::TAG_MORP, EnvelopeChunk(0.5f));
    writer.AddEnvelope(SceneFormat::TAG_ODIS, EnvelopeChunk(0.5f));
    writer.AddObject(ObjectChunk("b.vob", 0));
    SceneFlareChunk flare;
    flare.textureName = "f.tga";
    flare.kind = 2;
    flare.trailLength = 4;
    flare.spritesPerFrame = 2;
    writer.AddObjectFlare(flare);
    flare.kind = 0;
    flare.flags = Flare::FADE_OFF_AXIS | Flare::FADE_FACING;
    writer.AddObjectFlare(flare);
    SceneLightChunk light;
    light.kind = Light::SPOT;
    light.keys = {MotionKeyAt(0, 0, 0, 5)};
    writer.AddLight(light);
    writer.AddEnvelope(SceneFormat::TAG_LINT, EnvelopeChunk(0.75f));
    writer.AddLightFlare(flare);
    SceneCameraChunk camera;
    camera.target = 1;
    camera.keys = {MotionKeyAt(0, 0, 2, -5)};
    writer.AddCamera(camera);
    writer.AddEnvelope(SceneFormat::TAG_ZOOM, EnvelopeChunk(4.0f));
    Scene scene;
    ASSERT_TRUE(Load(scene, writer) && scene.SetupOpenGL()) << Error::Text();
    for (Fish* object : std::initializer_list<Fish*>{&gClearScreen, &gOrderTableReset, &scene, &gPluginRunner,
                                                     scene.objects[0].vector, scene.objects[1].vector,
                                                     &gOrderTableSort, &gOrderTableDraw})
        ASSERT_TRUE(Fishes::InsertObject(&objects_, object, false));
    ASSERT_TRUE(Fishes::InsertObject(&lights_, scene.lights[0].light, false));
    gAquarium.currentObjectList = objects_;
    gAquarium.currentLightList = lights_;
    Mainloop onePass(&gAquarium, false);

    platform::FakeGLSetLogging(false);
    const std::size_t before = allocations;
    for (int frame = 0; frame < FRAMES; ++frame) {
        gAquarium.currentTime = 400 * frame;
        onePass.Feed();
    }
    const std::size_t allocated = allocations - before;
    platform::FakeGLSetLogging(true);

    EXPECT_EQ(allocated, 0u);
    EXPECT_STREQ(Error::Text(), "");
    EXPECT_EQ(scene.lights[0].light->falloff, 0.75f);
    EXPECT_EQ(gAquarium.xScale, 960.0f);
    gVectorHandles.Clear();
}

}  // namespace
