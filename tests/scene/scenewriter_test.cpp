// The scene file writer against the file format: the header frame, the byte
// layout of every chunk kind, the chunk chain, the checksum, and the broken
// files that later loader tests are made of.
#include "tools/writers/scenewriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "tests/support/scratch_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32At(const Bytes& bytes, const std::size_t offset)
{
    std::uint32_t value = 0;
    EXPECT_LE(offset + sizeof value, bytes.size());
    if (offset + sizeof value <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::int32_t I32At(const Bytes& bytes, const std::size_t offset)
{
    return static_cast<std::int32_t>(U32At(bytes, offset));
}

float FloatAt(const Bytes& bytes, const std::size_t offset)
{
    const std::uint32_t word = U32At(bytes, offset);
    float value = 0.0f;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

std::string TextAt(const Bytes& bytes, const std::size_t offset, const std::size_t length)
{
    return std::string(bytes.begin() + offset, bytes.begin() + offset + length);
}

// The sum the format asks for: bytes 0 to S - 1 with the checksum field zero.
std::uint32_t ExpectedChecksum(Bytes file, const std::size_t covered)
{
    std::memset(file.data() + 272, 0, 4);
    return PAK_Checksum(file.data(), covered);
}

// The one chunk of a file that holds nothing else.
Bytes OnlyChunk(const SceneWriter& writer)
{
    const Bytes file = writer.Bytes();
    return Bytes(file.begin() + 300, file.end());
}

ObjectKey ObjectKeyAt(const float frame)
{
    ObjectKey key;
    key.frame = frame;
    key.tension = 0.5f;
    key.linear = 1;
    key.value[KeyChannel::POSITION_X] = frame * 2.0f;
    key.value[KeyChannel::SCALE_Z] = 3.0f;
    return key;
}

MotionKey MotionKeyAt(const float frame)
{
    MotionKey key;
    key.frame = frame;
    key.bias = -0.25f;
    key.value[KeyChannel::BANK] = 1.5f;
    return key;
}

// The header: free text, "SCEN", version, S, checksum, counts and frames at
// their offsets; chunks from offset 300.

TEST(SceneFrame, HeaderFieldsLieAtTheirOffsets)
{
    SceneWriter writer;
    writer.header.freeText = "made by hand";
    writer.header.unread = 0xDEADBEEF;
    writer.header.version = 112;
    writer.header.firstFrame = 10;
    writer.header.lastFrame = 250;
    writer.header.framesPerSecond = 30;
    const Bytes file = writer.Bytes();

    ASSERT_EQ(file.size(), 300u);
    EXPECT_EQ(TextAt(file, 0, 12), "made by hand");
    EXPECT_EQ(file[12], 0);
    EXPECT_EQ(file[255], 0);
    EXPECT_EQ(TextAt(file, 256, 4), "SCEN");
    EXPECT_EQ(U32At(file, 260), 0xDEADBEEFu);
    EXPECT_EQ(U32At(file, 264), 112u);
    EXPECT_EQ(U32At(file, 268), 300u);
    EXPECT_EQ(U32At(file, 272), ExpectedChecksum(file, 300));
    EXPECT_EQ(U32At(file, 276), 0u);
    EXPECT_EQ(U32At(file, 280), 0u);
    EXPECT_EQ(U32At(file, 284), 0u);
    EXPECT_EQ(U32At(file, 288), 10u);
    EXPECT_EQ(U32At(file, 292), 250u);
    EXPECT_EQ(U32At(file, 296), 30u);
}

TEST(SceneFrame, TheDefaultsMakeTheOldestVersionALoaderTakes)
{
    const Bytes file = SceneWriter().Bytes();
    EXPECT_EQ(U32At(file, 264), 111u);
    EXPECT_EQ(U32At(file, 256), SceneFormat::FILE_ID);
}

TEST(SceneFrame, FreeTextIsCutToItsArea)
{
    SceneWriter writer;
    writer.header.freeText = std::string(300, 'x');
    const Bytes file = writer.Bytes();
    EXPECT_EQ(TextAt(file, 0, 256), std::string(256, 'x'));
    EXPECT_EQ(TextAt(file, 256, 4), "SCEN");
}

// The chunk chain: each chunk is tag, length L and L bytes, the next one 8 + L
// bytes on, the last one ending at S; the header counts what the loader will
// find.

TEST(SceneChunks, FollowEachOtherFromOffsetThreeHundredToTheFileSize)
{
    SceneWriter writer;
    writer.AddObject({});
    writer.AddNull({});
    writer.AddLight({});
    writer.AddCamera({});
    writer.AddEnvelope(SceneFormat::TAG_ZOOM, {});
    writer.AddLightFlare({});
    writer.AddObjectFlare({});
    writer.AddChunk(PAK_Tag("XTRA"), {1, 2, 3});
    const Bytes file = writer.Bytes();

    std::vector<std::string> tags;
    std::size_t offset = 300;
    while (offset < file.size()) {
        tags.push_back(TextAt(file, offset, 4));
        offset += 8 + U32At(file, offset + 4);
    }
    EXPECT_EQ(offset, file.size());
    EXPECT_EQ(U32At(file, 268), file.size());
    EXPECT_EQ(tags, (std::vector<std::string>{"VOBJ", "NULL", "LGHT", "CAMR", "ZOOM", "LFLR", "OFLR", "XTRA"}));
}

TEST(SceneChunks, TheHeaderCountsObjectsLightsAndTheSevenEnvelopeKinds)
{
    SceneWriter writer;
    writer.AddObject({});
    writer.AddNull({});
    writer.AddChunk(SceneFormat::TAG_VOBJ, {});
    writer.AddLight({});
    writer.AddCamera({});
    for (const std::uint32_t tag : {SceneFormat::TAG_LINT, SceneFormat::TAG_LRNG, SceneFormat::TAG_LCON,
                                    SceneFormat::TAG_LEDG, SceneFormat::TAG_ZOOM, SceneFormat::TAG_MORP,
                                    SceneFormat::TAG_ODIS})
        writer.AddEnvelope(tag, {});
    writer.AddEnvelope(PAK_Tag("XENV"), {});
    writer.AddLightFlare({});
    writer.AddObjectFlare({});
    writer.AddBytes({'L', 'G', 'H', 'T', 0, 0, 0, 0});
    const Bytes file = writer.Bytes();

    EXPECT_EQ(U32At(file, 276), 3u);
    EXPECT_EQ(U32At(file, 280), 1u);
    EXPECT_EQ(U32At(file, 284), 7u);
}

// Every chunk kind, field by field at the offsets counted from its tag.

TEST(SceneChunks, AnObjectChunkHoldsNameMotionLinksMorphAndKeys)
{
    SceneObjectChunk object;
    object.name = "data\\intro\\ship.vob";
    object.pivot[0] = 1.0f;
    object.pivot[1] = -2.0f;
    object.pivot[2] = 0.5f;
    object.endBehaviour = END_REPEAT;
    object.pathLookAhead = 7;
    object.parent = 3;
    object.target = -1;
    object.morphTarget = 1;
    object.morphAmount = 0.25f;
    object.keys = {ObjectKeyAt(0.0f), ObjectKeyAt(10.0f)};
    SceneWriter writer;
    writer.AddObject(object);
    const Bytes chunk = OnlyChunk(writer);

    ASSERT_EQ(chunk.size(), 1072u + 2 * 56);
    EXPECT_EQ(TextAt(chunk, 0, 4), "VOBJ");
    EXPECT_EQ(U32At(chunk, 4), 1064u + 2 * 56);
    EXPECT_EQ(TextAt(chunk, 8, object.name.size() + 1), object.name + '\0');
    EXPECT_EQ(chunk[8 + 1023], 0);
    EXPECT_EQ(FloatAt(chunk, 1032), 1.0f);
    EXPECT_EQ(FloatAt(chunk, 1036), -2.0f);
    EXPECT_EQ(FloatAt(chunk, 1040), 0.5f);
    EXPECT_EQ(U32At(chunk, 1044), END_REPEAT);
    EXPECT_EQ(U32At(chunk, 1048), 7u);
    EXPECT_EQ(I32At(chunk, 1052), 3);
    EXPECT_EQ(I32At(chunk, 1056), -1);
    EXPECT_EQ(I32At(chunk, 1060), 1);
    EXPECT_EQ(FloatAt(chunk, 1064), 0.25f);
    EXPECT_EQ(U32At(chunk, 1068), 2u);
    EXPECT_EQ(std::memcmp(chunk.data() + 1072, object.keys.data(), 2 * 56), 0);
    EXPECT_EQ(FloatAt(chunk, 1072 + 56), 10.0f) << "the second key's frame";
    EXPECT_EQ(FloatAt(chunk, 1072 + 56 + 20 + 4 * KeyChannel::SCALE_Z), 3.0f);
}

TEST(SceneChunks, ANullChunkHasTheObjectLayout)
{
    SceneObjectChunk object;
    object.name = "pivot";
    object.keys = {ObjectKeyAt(5.0f)};
    SceneWriter vobj;
    vobj.AddObject(object);
    SceneWriter null;
    null.AddNull(object);
    const Bytes vobjChunk = OnlyChunk(vobj);
    const Bytes nullChunk = OnlyChunk(null);

    EXPECT_EQ(TextAt(nullChunk, 0, 4), "NULL");
    EXPECT_EQ(Bytes(nullChunk.begin() + 4, nullChunk.end()), Bytes(vobjChunk.begin() + 4, vobjChunk.end()));
}

TEST(SceneChunks, ALightChunkHoldsKindColourShapeMotionAndKeys)
{
    SceneLightChunk light;
    light.kind = 3;
    light.red = 0.25f;
    light.green = 0.5f;
    light.blue = 0.75f;
    light.range = 100.0f;
    light.intensity = 2.0f;
    light.coneAngle = 0.6f;
    light.edgeAngle = 0.1f;
    light.endBehaviour = END_HOLD;
    light.pathLookAhead = 4;
    light.parent = 0;
    light.target = 2;
    light.keys = {MotionKeyAt(0.0f), MotionKeyAt(20.0f), MotionKeyAt(40.0f)};
    SceneWriter writer;
    writer.AddLight(light);
    const Bytes chunk = OnlyChunk(writer);

    ASSERT_EQ(chunk.size(), 60u + 3 * 44);
    EXPECT_EQ(TextAt(chunk, 0, 4), "LGHT");
    EXPECT_EQ(U32At(chunk, 4), 52u + 3 * 44);
    EXPECT_EQ(U32At(chunk, 8), 3u);
    EXPECT_EQ(FloatAt(chunk, 12), 0.25f);
    EXPECT_EQ(FloatAt(chunk, 16), 0.5f);
    EXPECT_EQ(FloatAt(chunk, 20), 0.75f);
    EXPECT_EQ(FloatAt(chunk, 24), 100.0f);
    EXPECT_EQ(FloatAt(chunk, 28), 2.0f);
    EXPECT_EQ(FloatAt(chunk, 32), 0.6f);
    EXPECT_EQ(FloatAt(chunk, 36), 0.1f);
    EXPECT_EQ(U32At(chunk, 40), END_HOLD);
    EXPECT_EQ(U32At(chunk, 44), 4u);
    EXPECT_EQ(I32At(chunk, 48), 0);
    EXPECT_EQ(I32At(chunk, 52), 2);
    EXPECT_EQ(U32At(chunk, 56), 3u);
    EXPECT_EQ(std::memcmp(chunk.data() + 60, light.keys.data(), 3 * 44), 0);
}

TEST(SceneChunks, ACameraChunkHoldsMotionLinksZoomAndKeys)
{
    SceneCameraChunk camera;
    camera.endBehaviour = END_REPEAT;
    camera.pathLookAhead = 2;
    camera.parent = 5;
    camera.target = 6;
    camera.zoom = 6.4f;
    camera.keys = {MotionKeyAt(1.0f)};
    SceneWriter writer;
    writer.AddCamera(camera);
    const Bytes chunk = OnlyChunk(writer);

    ASSERT_EQ(chunk.size(), 32u + 44);
    EXPECT_EQ(TextAt(chunk, 0, 4), "CAMR");
    EXPECT_EQ(U32At(chunk, 4), 24u + 44);
    EXPECT_EQ(U32At(chunk, 8), END_REPEAT);
    EXPECT_EQ(U32At(chunk, 12), 2u);
    EXPECT_EQ(I32At(chunk, 16), 5);
    EXPECT_EQ(I32At(chunk, 20), 6);
    EXPECT_EQ(FloatAt(chunk, 24), 6.4f);
    EXPECT_EQ(U32At(chunk, 28), 1u);
    EXPECT_EQ(std::memcmp(chunk.data() + 32, camera.keys.data(), 44), 0);
}

TEST(SceneChunks, AnEnvelopeChunkHoldsEndBehaviourAndKeysUnderItsTag)
{
    SceneEnvelopeChunk envelope;
    envelope.endBehaviour = END_HOLD;
    envelope.keys.resize(2);
    envelope.keys[1].frame = 8.0f;
    envelope.keys[1].value[0] = 0.75f;
    SceneWriter writer;
    writer.AddEnvelope(SceneFormat::TAG_MORP, envelope);
    const Bytes chunk = OnlyChunk(writer);

    ASSERT_EQ(chunk.size(), 16u + 2 * 24);
    EXPECT_EQ(TextAt(chunk, 0, 4), "MORP");
    EXPECT_EQ(U32At(chunk, 4), 8u + 2 * 24);
    EXPECT_EQ(U32At(chunk, 8), END_HOLD);
    EXPECT_EQ(U32At(chunk, 12), 2u);
    EXPECT_EQ(FloatAt(chunk, 16 + 24), 8.0f);
    EXPECT_EQ(FloatAt(chunk, 16 + 24 + 20), 0.75f);
}

TEST(SceneChunks, FlareChunksHoldKindFlagsSizesAndATextureNameField)
{
    SceneFlareChunk flare;
    flare.kind = 2;
    flare.flags = 0x06;
    flare.size = 12.0f;
    flare.trailLength = 10.0f;
    flare.spritesPerFrame = 2.0f;
    flare.textureName = "flare.tga";
    SceneWriter objectFlare;
    objectFlare.AddObjectFlare(flare);
    SceneWriter lightFlare;
    lightFlare.AddLightFlare(flare);
    const Bytes chunk = OnlyChunk(objectFlare);

    ASSERT_EQ(chunk.size(), 28u + 1024);
    EXPECT_EQ(TextAt(chunk, 0, 4), "OFLR");
    EXPECT_EQ(U32At(chunk, 4), 20u + 1024);
    EXPECT_EQ(U32At(chunk, 8), 2u);
    EXPECT_EQ(U32At(chunk, 12), 0x06u);
    EXPECT_EQ(FloatAt(chunk, 16), 12.0f);
    EXPECT_EQ(FloatAt(chunk, 20), 10.0f);
    EXPECT_EQ(FloatAt(chunk, 24), 2.0f);
    EXPECT_EQ(TextAt(chunk, 28, 10), std::string("flare.tga") + '\0');
    EXPECT_EQ(chunk.back(), 0);

    const Bytes light = OnlyChunk(lightFlare);
    EXPECT_EQ(TextAt(light, 0, 4), "LFLR");
    EXPECT_EQ(Bytes(light.begin() + 4, light.end()), Bytes(chunk.begin() + 4, chunk.end()));
}

// The checksum is the byte sum of the first S bytes with its own field zero.

TEST(SceneChecksum, IsTheByteSumOfTheCoveredBytesWithTheFieldZero)
{
    SceneWriter writer;
    writer.header.freeText = "checksum";
    SceneObjectChunk object;
    object.name = "ship.vob";
    object.keys = {ObjectKeyAt(0.0f)};
    writer.AddObject(object);
    Bytes file = writer.Bytes();
    EXPECT_EQ(U32At(file, 272), ExpectedChecksum(file, file.size()));
    EXPECT_NE(U32At(file, 272), 0u);

    const std::uint32_t before = U32At(file, 272);
    file[3] ^= 0x40;
    SceneSeal(file);
    EXPECT_EQ(U32At(file, 272), before - 'c' + ('c' ^ 0x40));
    EXPECT_EQ(U32At(file, 272), ExpectedChecksum(file, file.size()));
}

TEST(SceneChecksum, CoversOnlyTheBytesTheSizeFieldNamesAndNeverMoreThanTheFile)
{
    SceneWriter writer;
    writer.AddObject({});
    writer.header.fileSize = 310;
    const Bytes shortSum = writer.Bytes();
    EXPECT_EQ(U32At(shortSum, 268), 310u);
    EXPECT_EQ(U32At(shortSum, 272), ExpectedChecksum(shortSum, 310));

    writer.header.fileSize = 1u << 30;
    const Bytes longSum = writer.Bytes();
    EXPECT_EQ(U32At(longSum, 272), ExpectedChecksum(longSum, longSum.size()));
}

// Broken files: every filled-in value can be replaced, and bytes can be added
// outside any chunk.

TEST(BrokenSceneFiles, HeaderValuesAreWrittenAsGiven)
{
    SceneWriter writer;
    writer.AddObject({});
    writer.header.fileId = PAK_Tag("SCEX");
    writer.header.version = 110;
    writer.header.checksum = 12345;
    writer.header.objectCount = 4;
    writer.header.lightCount = 2;
    writer.header.envelopeCount = 9;
    const Bytes file = writer.Bytes();

    EXPECT_EQ(TextAt(file, 256, 4), "SCEX");
    EXPECT_EQ(U32At(file, 264), 110u);
    EXPECT_EQ(U32At(file, 272), 12345u);
    EXPECT_EQ(U32At(file, 276), 4u);
    EXPECT_EQ(U32At(file, 280), 2u);
    EXPECT_EQ(U32At(file, 284), 9u);
}

TEST(BrokenSceneFiles, KeyCountsAndNamesNeedNotMatchTheData)
{
    SceneObjectChunk object;
    object.name = std::string(1030, 'n');
    object.keys = {ObjectKeyAt(0.0f)};
    object.keyCount = 1000;
    SceneWriter writer;
    writer.AddObject(object);
    const Bytes chunk = OnlyChunk(writer);

    EXPECT_EQ(chunk.size(), 1072u + 56) << "only the keys given are written";
    EXPECT_EQ(U32At(chunk, 1068), 1000u);
    EXPECT_EQ(TextAt(chunk, 8, 1024), std::string(1024, 'n')) << "a name that fills the field has no NUL";
    EXPECT_EQ(U32At(chunk, 1032), 0u);
}

TEST(BrokenSceneFiles, RawBytesAndCutChunksGoInAsGivenAndCountTowardTheSize)
{
    SceneLightChunk light;
    light.keys = {MotionKeyAt(0.0f)};
    Bytes cut = SceneLightData(light);
    cut.resize(30);
    SceneWriter writer;
    writer.AddChunk(SceneFormat::TAG_LGHT, cut);
    writer.AddBytes({'V', 'O', 'B', 'J', 0xFF, 0xFF, 0xFF, 0x7F});
    const Bytes file = writer.Bytes();

    ASSERT_EQ(file.size(), 300u + 8 + 30 + 8);
    EXPECT_EQ(U32At(file, 268), file.size());
    EXPECT_EQ(U32At(file, 304), 30u);
    EXPECT_EQ(TextAt(file, 338, 4), "VOBJ");
    EXPECT_EQ(U32At(file, 342), 0x7FFFFFFFu);
    EXPECT_EQ(U32At(file, 276), 0u) << "raw bytes are not counted";
    EXPECT_EQ(U32At(file, 280), 1u);
}

// Files on the disk.

TEST(SceneFiles, WriteStoresExactlyTheBytes)
{
    test_support::ScratchDirectory directory;
    SceneWriter writer;
    writer.AddCamera({});
    ASSERT_TRUE(writer.Write("cut1.scn")) << Error::Text();
    std::ifstream in("cut1.scn", std::ios::binary);
    const Bytes stored{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(stored, writer.Bytes());
}

TEST(SceneFiles, AFileThatCannotBeCreatedIsReported)
{
    test_support::ScratchDirectory directory;
    Error::Reset();
    EXPECT_FALSE(SceneWriter().Write("no/such/directory/cut1.scn"));
    EXPECT_STREQ(Error::Text(), "WriteBytesFile: Error opening file (no/such/directory/cut1.scn)\n");
    Error::Reset();
}

}  // namespace
