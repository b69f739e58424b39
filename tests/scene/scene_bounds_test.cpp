// Scene files that lie about their own shape or links: each is refused with
// its own message, then the message of what was being set up, after reading
// only inside an exact heap copy and allocating nothing the file cannot hold.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/error.h"
#include "tests/scene/scene_fixture.h"

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



const Hostile HOSTILE[] = {
    {"file size beyond the buffer", [](SceneWriter& w) { w.header.fileSize = 301; },
     "Scene::Load: File size runs past the end of the file.\nScene::Load: Error setting up sceneheader.\n"},
    {"millions of objects", [](SceneWriter& w) { w.header.objectCount = 3000000; },
     "Scene::Load: Header counts more chunks than the file holds.\nScene::Load: Error setting up sceneheader.\n"},
    {"chunk past the file size", [](SceneWriter& w) { AddRaw(w, "NOTE", 100, 10); },
     "Scene::Load: Chunk runs past the file size.\n"},
    {"chunk head cut", [](SceneWriter& w) { w.AddBytes({'N', 'O', 'T', 'E'}); },
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
    {"light kind 7", [](SceneWriter& w) { SceneLightChunk l; l.kind = 7; w.AddLight(l); },
     "Scene::Load: Light kind is not 1, 2 or 3.\n"},
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
    {"a parent chain of 300", [](SceneWriter& w) { for (int i = 0; i < 300; ++i) w.AddNull(Linked(i - 1, -1)); },
     "Scene::Load: Parent and target links deeper than 256.\n"},
    {"path look-aheads nested eleven deep", [](SceneWriter& w) { for (int i = 0; i < 11; ++i) {
                                               auto o = Linked(i - 1, -1); o.pathLookAhead = 1; w.AddNull(o); } },
     "Scene::Load: Parent and target links ask for more than 1024 evaluations.\n"},
    {"a camera looking along its path under them", [](SceneWriter& w) { for (int i = 0; i < 10; ++i) {
                                                         auto o = Linked(i - 1, -1); o.pathLookAhead = 1; w.AddNull(o); }
                                                         SceneCameraChunk c; c.parent = 9; c.pathLookAhead = 1;
                                                         w.AddCamera(c); },
     "Scene::Load: Parent and target links ask for more than 1024 evaluations.\n"},
};

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

TEST_F(SceneBounds, AFlareOfMoreSpritesThanAnySceneNeedsIsRefusedByItsCount)
{
    PutMap("f.tga");
    SceneWriter writer;
    writer.AddLight({});
    SceneFlareChunk flare;
    flare.textureName = "f.tga";
    flare.trailLength = 100;
    flare.spritesPerFrame = 50;
    writer.AddLightFlare(flare);
    Scene scene;
    EXPECT_FALSE(Load(scene, writer));
    EXPECT_STREQ(Error::Text(), "Flare::Setup: Sprite count 5000 beyond the bound of 4096.\n"
                                "Scene::Load: Error setting up lensflare.\n");
}

}  // namespace
