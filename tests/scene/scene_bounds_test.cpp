// Scene files that lie about their own shape or links: each is refused with
// its own message, then the message of what was being set up, after reading
// only inside an exact heap copy and allocating nothing the file cannot hold.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "host/error.h"
#include "render/animation.h"
#include "scene/flare.h"
#include "tests/scene/scene_fixture.h"
#include "tests/support/child_processes.h"

namespace {

using namespace scene_test;
using SceneBounds = SceneTest;

struct Hostile {
    const char* story;
    std::function<void(SceneWriter&)> make;
    const char* message;  // the whole error text
};

Bytes Cut(const Bytes& bytes, std::size_t keep) { return Bytes(bytes.begin(), bytes.begin() + keep); }

void AddRaw(SceneWriter& w, const char* tag, std::uint32_t length, std::size_t present)
{
    std::vector<std::uint8_t> head(8 + present, 0);
    std::memcpy(head.data(), tag, 4);
    std::memcpy(head.data() + 4, &length, 4);
    w.AddBytes(head);
}

SceneObjectChunk Linked(std::int32_t parent, std::int32_t target)
{
    return ObjectChunk("n", parent, target);
}



// Each object the child of the one before, each turned along its path one
// or two frames ahead, with the camera under the last: every level doubles
// the frames asked of the one above.
void NestedPaths(SceneWriter& w, int depth)
{
    for (int i = 0; i < depth; ++i) {
        SceneObjectChunk object = Linked(i - 1, -1);
        object.pathLookAhead = 1 + i % 2;
        w.AddNull(object);
    }
    SceneCameraChunk camera;
    camera.parent = depth - 1;
    camera.pathLookAhead = 1;
    w.AddCamera(camera);
}

SceneFlareChunk Trail(float sprites)
{
    SceneFlareChunk trail;
    trail.kind = Flare::TRAIL;
    trail.textureName = "f.tga";
    trail.trailLength = sprites;
    trail.spritesPerFrame = 1.0f;
    return trail;
}

// A chain of depth null objects, a trail on the deepest: each sprite
// evaluates the whole chain at a frame of its own.
void TrailOnChain(SceneWriter& w, int depth, float sprites)
{
    PutMap("f.tga");
    for (int i = 0; i < depth; ++i)
        w.AddNull(Linked(i - 1, -1));
    w.AddObjectFlare(Trail(sprites));
}

// trails of the longest kind on one null object.
void LongTrails(SceneWriter& w, int trails)
{
    PutMap("f.tga");
    w.AddNull(ObjectChunk("n"));
    for (int i = 0; i < trails; ++i)
        w.AddObjectFlare(Trail(static_cast<float>(Flare::MAX_SPRITES)));
}

const char* const TOO_MUCH_WORK = "Scene::Load: Links and trails need more than 65536 evaluations a frame.\n";
const char* const TOO_MANY_SPRITES = "Scene::Load: Not enough memory for more than 65536 lensflare sprites.\n"
                                     "Scene::Load: Error setting up lensflare.\n";

const Hostile HOSTILE[] = {
    {"file size beyond the buffer", [](SceneWriter& w) { w.header.fileSize = 301; },
     "Scene::Load: File size runs past the end of the file.\nScene::Load: Error setting up sceneheader.\n"},
    {"millions of objects", [](SceneWriter& w) { w.header.objectCount = 3000000; },
     "Scene::Load: Header counts more chunks than the file holds.\nScene::Load: Error setting up sceneheader.\n"},
    {"a light past the file size", [](SceneWriter& w) { AddRaw(w, "LGHT", 100, 10); w.header.lightCount = 0; },
     "Scene::Load: Chunk runs past the file size.\n"},
    {"a light whose head is cut", [](SceneWriter& w) { w.AddBytes({'L', 'G', 'H', 'T'}); w.header.lightCount = 0; },
     "Scene::Load: Chunk runs past the file size.\n"},
    {"light shorter than its fields", [](SceneWriter& w) { w.AddChunk(SceneFormat::TAG_LGHT, Bytes(51, 0));
                                         w.header.lightCount = 0; },
     "Scene::Load: Chunk shorter than its fields.\n"},
    {"keys past the chunk", [](SceneWriter& w) { auto o = ObjectChunk("n"); o.keyCount = 2; w.AddNull(o); },
     "Scene::Load: Keys run past the end of the chunk.\n"},
    {"unterminated name", [](SceneWriter& w) { w.AddNull(ObjectChunk(std::string(1024, 'x'))); },
     "Scene::Load: Name not terminated.\n"},
    {"unterminated flare name", [](SceneWriter& w) { w.AddLight({});
                                    SceneFlareChunk f; f.textureName = std::string(1024, 'x'); w.AddLightFlare(f); },
     "Scene::Load: Name not terminated.\n"},
    {"light kind beyond the table", [](SceneWriter& w) { SceneLightChunk l; l.kind = 100; w.AddLight(l); },
     "Scene::Load: Light kind beyond the light table.\n"},
    {"more objects than counted", [](SceneWriter& w) { w.AddNull(ObjectChunk("a")); w.AddNull(ObjectChunk("b"));
                                      w.header.objectCount = 1; },
     "Scene::Load: More objects than the header counts.\nScene::Load: Error setting up nullobject.\n"},
    {"more lights than counted", [](SceneWriter& w) { w.AddLight({}); w.AddLight({}); w.header.lightCount = 1; },
     "Scene::Load: More lights than the header counts.\nScene::Load: Error setting up light.\n"},
    {"more envelopes than counted", [](SceneWriter& w) { w.AddEnvelope(SceneFormat::TAG_ZOOM, EnvelopeChunk(1));
                                        w.header.envelopeCount = 0; },
     "Scene::Load: More envelopes than the header counts.\nScene::Load: Error setting up envelope.\n"},
    {"fewer objects than counted", [](SceneWriter& w) { w.AddNull(ObjectChunk("a")); w.AddChunk(PAK_Tag("NOTE"), Bytes(2000));
                                       w.header.objectCount = 2; },
     "Scene::Load: Fewer objects than the header counts.\n"},
    {"parent index beyond the count", [](SceneWriter& w) { w.AddNull(Linked(1, -1)); },
     "Scene::Load: Object index out of range.\nScene::Load: Error setting up nullobject.\n"},
    {"negative target index", [](SceneWriter& w) { w.AddNull(Linked(-1, -2)); },
     "Scene::Load: Object index out of range.\nScene::Load: Error setting up nullobject.\n"},
    {"morph target beyond the count", [](SceneWriter& w) { auto o = ObjectChunk("x.vob"); o.morphTarget = 1;
                                          w.AddObject(o); },
     "Scene::Load: Object index out of range.\nScene::Load: Error setting up object.\n"},
    {"camera target beyond the count", [](SceneWriter& w) { SceneCameraChunk c; c.target = 0; w.AddCamera(c); },
     "Scene::Load: Object index out of range.\nScene::Load: Error setting up camera.\n"},
    {"light envelope before the first light", [](SceneWriter& w) { w.AddEnvelope(SceneFormat::TAG_LINT, EnvelopeChunk(1)); },
     "Scene::Load: Light envelope before the first light.\nScene::Load: Error setting up envelope.\n"},
    {"light flare before the first light", [](SceneWriter& w) { w.AddLightFlare({}); },
     "Scene::Load: Light flare before the first light.\nScene::Load: Error setting up lensflare.\n"},
    {"morph envelope before the first object", [](SceneWriter& w) { w.AddEnvelope(SceneFormat::TAG_MORP, EnvelopeChunk(1)); },
     "Scene::Load: Morph envelope before the first object.\nScene::Load: Error setting up envelope.\n"},
    {"morph envelope on an object that does not morph", [](SceneWriter& w) { w.AddNull(ObjectChunk("a"));
                                                            w.AddEnvelope(SceneFormat::TAG_MORP, EnvelopeChunk(1)); },
     "Scene::Load: Morph envelope on an object that does not morph.\nScene::Load: Error setting up envelope.\n"},
    {"dissolve before the first object", [](SceneWriter& w) { w.AddEnvelope(SceneFormat::TAG_ODIS, EnvelopeChunk(1)); },
     "Scene::Load: Dissolve envelope before the first object.\nScene::Load: Error setting up envelope.\n"},
    {"object flare before the first object", [](SceneWriter& w) { w.AddObjectFlare({}); },
     "Scene::Load: Object flare before the first object.\nScene::Load: Error setting up lensflare.\n"},
    {"parent of itself", [](SceneWriter& w) { w.AddNull(Linked(0, -1)); },
     "Scene::Load: Parent or target links form a cycle.\n"},
    {"target of itself", [](SceneWriter& w) { w.AddNull(Linked(-1, 0)); },
     "Scene::Load: Parent or target links form a cycle.\n"},
    {"parent and target in a ring, a light on it", [](SceneWriter& w) { w.AddNull(Linked(-1, 1));
                                                      w.AddNull(Linked(2, -1)); w.AddNull(Linked(0, -1));
                                                      SceneLightChunk l; l.parent = 1; w.AddLight(l); },
     "Scene::Load: Parent or target links form a cycle.\n"},
    {"path look-aheads nested thirty deep", [](SceneWriter& w) { NestedPaths(w, 30); }, TOO_MUCH_WORK},
    {"a trail of 4096 sprites on a chain of 5000", [](SceneWriter& w) { TrailOnChain(w, 5000, 4096); }, TOO_MUCH_WORK},
    {"seventeen of the longest trails", [](SceneWriter& w) { LongTrails(w, 17); }, TOO_MANY_SPRITES},
};

// Every float of a chunk is a finite number, or the file is refused, named
// by the chunk; the loader's caller then names the file.
struct Spoilt {
    const char* where;
    const char* tag;
    std::function<void(SceneWriter&, float)> make;
};

const Spoilt SPOILT[] = {
    {"an object's pivot", "NULL", [](SceneWriter& w, float v) { auto o = ObjectChunk("n"); o.pivot[1] = v; w.AddNull(o); }},
    {"a morph amount", "NULL", [](SceneWriter& w, float v) { auto o = ObjectChunk("n"); o.morphAmount = v; w.AddNull(o); }},
    {"an object key's scale", "NULL",
     [](SceneWriter& w, float v) { auto o = ObjectChunk("n"); o.keys[0].value[KeyChannel::SCALE_Z] = v; w.AddNull(o); }},
    {"an object key's frame", "NULL", [](SceneWriter& w, float v) { auto o = ObjectChunk("n"); o.keys[0].frame = v; w.AddNull(o); }},
    {"a key's bias", "NULL", [](SceneWriter& w, float v) { auto o = ObjectChunk("n"); o.keys[0].bias = v; w.AddNull(o); }},
    {"a light's colour", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.blue = v; w.AddLight(l); }},
    {"a light's range", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.range = v; w.AddLight(l); }},
    {"a light's intensity", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.intensity = v; w.AddLight(l); }},
    {"a light's cone", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.coneAngle = v; w.AddLight(l); }},
    {"a light's edge", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.edgeAngle = v; w.AddLight(l); }},
    {"a light key", "LGHT", [](SceneWriter& w, float v) { SceneLightChunk l; l.keys.resize(1); l.keys[0].value[5] = v;
                                                          w.AddLight(l); }},
    {"the zoom", "CAMR", [](SceneWriter& w, float v) { SceneCameraChunk c; c.zoom = v; w.AddCamera(c); }},
    {"a camera key", "CAMR", [](SceneWriter& w, float v) { SceneCameraChunk c; c.keys.resize(2); c.keys[1].tension = v;
                                                           w.AddCamera(c); }},
    {"an envelope key", "ZOOM", [](SceneWriter& w, float v) { w.AddEnvelope(SceneFormat::TAG_ZOOM, EnvelopeChunk(v)); }},
    {"a flare's size", "LFLR", [](SceneWriter& w, float v) { w.AddLight({}); SceneFlareChunk f; f.size = v;
                                                              w.AddLightFlare(f); }},
    {"a trail's length", "OFLR", [](SceneWriter& w, float v) { w.AddNull(ObjectChunk("n")); SceneFlareChunk f;
                                                                f.trailLength = v; w.AddObjectFlare(f); }},
    {"sprites per frame", "OFLR", [](SceneWriter& w, float v) { w.AddNull(ObjectChunk("n")); SceneFlareChunk f;
                                                                 f.spritesPerFrame = v; w.AddObjectFlare(f); }},
};

TEST_F(SceneBounds, ANumberThatIsNotFiniteIsRefusedWhereverItStands)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (const Spoilt& spoilt : SPOILT) {
        for (const float value : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
            SCOPED_TRACE(std::string(spoilt.where) + " " + std::to_string(value));
            Error::Reset();
            SceneWriter writer;
            spoilt.make(writer, value);
            Scene scene;
            EXPECT_FALSE(Load(scene, writer));
            EXPECT_EQ(std::string(Error::Text()),
                      std::string("Scene::Load: Number that is not finite in ") + spoilt.tag + " chunk.\n");
        }
    }
}

// What is not unsafe loads: the file skips what it does not know, a light
// whose kind the table has no operation for is dark, and links may nest as
// deep as the file's counts allow.
struct Harmless {
    const char* story;
    std::function<void(SceneWriter&)> make;
};

const Harmless HARMLESS[] = {
    {"an unknown chunk past the file size", [](SceneWriter& w) { AddRaw(w, "NOTE", 100, 10); }},
    {"an unknown chunk whose head is cut", [](SceneWriter& w) { w.AddBytes({'N', 'O', 'T', 'E'}); }},
    {"a tail too short for a tag", [](SceneWriter& w) { w.AddBytes({'L', 'G'}); }},
    {"light kind 0", [](SceneWriter& w) { SceneLightChunk l; l.kind = 0; w.AddLight(l); }},
    {"light kind 99", [](SceneWriter& w) { SceneLightChunk l; l.kind = 99; w.AddLight(l); }},
    {"a parent chain of 3000", [](SceneWriter& w) { for (int i = 0; i < 3000; ++i) w.AddNull(Linked(i + 1 < 3000 ? i + 1 : -1, -1)); }},
    {"path look-aheads of 1 and 2 nested eight deep, a camera under them", [](SceneWriter& w) { NestedPaths(w, 8); }},
    {"a trail of 4096 sprites on a chain of 12", [](SceneWriter& w) { TrailOnChain(w, 12, 4096); }},
    {"fifteen of the longest trails", [](SceneWriter& w) { LongTrails(w, 15); }},
};

TEST_F(SceneBounds, WhatIsNotUnsafeLoadsAndPlays)
{
    for (const Harmless& harmless : HARMLESS) {
        SCOPED_TRACE(harmless.story);
        Error::Reset();
        SceneWriter writer;
        harmless.make(writer);
        Scene scene;
        EXPECT_TRUE(Load(scene, writer));
        EXPECT_STREQ(Error::Text(), "");
        for (const float frame : {0.0f, 10.0f})
            AnimateScene(scene, frame);
        for (const float element : scene.camera->matrix.m)
            EXPECT_TRUE(std::isfinite(element));
    }
}

TEST_F(SceneBounds, EveryHostileFileIsRefusedWithItsMessage)
{
    for (const Hostile& hostile : HOSTILE) {
        SCOPED_TRACE(hostile.story);
        Error::Reset();
        SceneWriter writer;
        hostile.make(writer);
        Scene scene;
        EXPECT_FALSE(Load(scene, writer));
        EXPECT_STREQ(Error::Text(), hostile.message);
    }
}

TEST_F(SceneBounds, BuffersShorterThanTheHeaderOrTheirChunksAreRefused)
{
    SceneWriter writer;
    writer.AddNull(ObjectChunk("n"));
    const Bytes whole = writer.Bytes();
    for (const std::size_t keep : {std::size_t{0}, std::size_t{299}, whole.size() - 1}) {
        SCOPED_TRACE(keep);
        Error::Reset();
        Scene scene;
        EXPECT_FALSE(LoadBytes(scene, Cut(whole, keep)));
        EXPECT_STREQ(Error::Text(), keep < 300 ? "Scene::Load: File too short for its header.\n"
                                                  "Scene::Load: Error setting up sceneheader.\n"
                                               : "Scene::Load: File size runs past the end of the file.\n"
                                                 "Scene::Load: Error setting up sceneheader.\n");
    }
}

// Light and object flares draw their one sprite whatever their counts say;
// only a trail's count is bounded.
TEST_F(SceneBounds, OnlyATrailOfMoreSpritesThanAnySceneNeedsIsRefusedByItsCount)
{
    PutMap("f.tga");
    SceneFlareChunk flare;
    flare.textureName = "f.tga";
    flare.trailLength = 100;
    flare.spritesPerFrame = 50;
    for (const std::uint32_t kind : {Flare::OBJECT, Flare::TRAIL}) {
        SCOPED_TRACE(kind);
        Error::Reset();
        SceneWriter writer;
        writer.AddLight({});
        writer.AddLightFlare(flare);
        PutMesh("m.vob", 3);
        writer.AddObject(ObjectChunk("m.vob"));
        flare.kind = kind;
        writer.AddObjectFlare(flare);
        Scene scene;
        if (kind == Flare::OBJECT) {
            ASSERT_TRUE(Load(scene, writer)) << Error::Text();
            EXPECT_EQ(scene.lights[0].flare->spriteCount, 1u);
            EXPECT_EQ(scene.objects[0].flare->spriteCount, 1u);
        } else {
            EXPECT_FALSE(Load(scene, writer));
            EXPECT_STREQ(Error::Text(), "Flare::Setup: Sprite count 5000 beyond the bound of 4096.\n"
                                        "Scene::Load: Error setting up lensflare.\n");
        }
    }
}

// The review's file: ten thousand of the longest trails, whose sprites would
// take 2.9 GB. In a child that may map only 256 MB more than it has, the
// load is refused with the loader's message, not ended by the system.
TEST_F(SceneBounds, TenThousandLongTrailsAreRefusedWithinAFewMegabytes)
{
    SceneWriter writer;
    LongTrails(writer, 10000);
    const Bytes bytes = writer.Bytes();
    const pid_t child = test_support::StartChild([&bytes] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256u << 20);
        const rlimit limit{room, room};
        Scene scene;
        const bool refused = setrlimit(RLIMIT_AS, &limit) == 0 && !LoadBytes(scene, bytes) &&
                             std::string(Error::Text()) == TOO_MANY_SPRITES;
        std::fputs(Error::Text(), stderr);
        _exit(refused ? 0 : 1);
    });
    EXPECT_EQ(test_support::AwaitChild(child, 60000), 0);
}

}  // namespace
