// Scene files as text: every file comes back byte for byte, shown by its
// fields where they describe it and by its bytes where they do not; a text
// with a mistake names its place; and aqtool's scene-text and scene-build
// carry a file through the disk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <fstream>
#include <vector>

#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/aqtool/scene_text.h"
#include "tools/writers/bytesfile.h"
#include "tools/writers/scenewriter.h"

namespace {

using aqtool::Json;
using test_support::Aqtool;
using test_support::AqtoolOutcome;

ObjectKey KeyAt(float frame, float x)
{
    ObjectKey key;
    key.frame = frame;
    key.tension = 0.25f;
    key.value[KeyChannel::POSITION_X] = x;
    return key;
}

SceneObjectChunk Root()
{
    SceneObjectChunk root;
    root.name = "root";
    root.keys = {KeyAt(0, 0)};
    return root;
}

// A scene with every chunk kind; chunk 3, the second object, has three keys.
SceneWriter EveryKind(float lastKeyFrame = 50.0f)
{
    SceneWriter writer;
    writer.header.freeText = "made by hand";
    writer.header.lastFrame = 50;
    writer.AddNull(Root());
    SceneLightChunk light;
    light.kind = 3;
    light.coneAngle = 0.5f;
    light.keys = {MotionKey{}};
    writer.AddLight(light);
    SceneFlareChunk flare;
    flare.textureName = "data\\flare.tga";
    writer.AddLightFlare(flare);
    SceneObjectChunk body;
    body.name = "data\\body.vob";
    body.parent = 0;
    body.keys = {KeyAt(0, 1), KeyAt(10, 2), KeyAt(lastKeyFrame, 0.1f)};
    writer.AddObject(body);
    SceneCameraChunk camera;
    camera.keys = {MotionKey{}};
    writer.AddCamera(camera);
    SceneEnvelopeChunk zoom;
    zoom.keys = {EnvelopeKey{}};
    writer.AddEnvelope(SceneFormat::TAG_ZOOM, zoom);
    return writer;
}

std::string TextOf(const std::vector<std::uint8_t>& file)
{
    std::string failure;
    const std::optional<Json> text = aqtool::SceneFileText(file, failure);
    EXPECT_TRUE(text.has_value()) << failure;
    return text ? aqtool::JsonText(*text, aqtool::SCENE_TEXT_LAYOUT) : "";
}

std::vector<std::uint8_t> Built(const std::string& text, std::string& mistake)
{
    const std::optional<std::vector<std::uint8_t>> file = aqtool::BuildSceneFile(Json::parse(text), mistake);
    return file.value_or(std::vector<std::uint8_t>{});
}

std::vector<std::uint8_t> WithBytes(SceneWriter writer, const std::vector<std::uint8_t>& bytes)
{
    writer.AddBytes(bytes);
    return writer.Bytes();
}

std::vector<std::uint8_t> WithChunk(SceneWriter writer, std::uint32_t tag, std::vector<std::uint8_t> data)
{
    writer.AddChunk(tag, data);
    return writer.Bytes();
}

std::vector<std::uint8_t> Edited(SceneWriter writer, void (*edit)(SceneWriter&))
{
    edit(writer);
    return writer.Bytes();
}

TEST(SceneText, EveryFileComesBackByteForByte)
{
    SceneObjectChunk object;
    object.name = "data\\x.vob";
    object.keys = {KeyAt(0, 0)};
    std::vector<std::uint8_t> nameTail = SceneObjectData(object);
    nameTail[20] = 'x';  // a byte after the name's NUL
    object.keys[0].value[KeyChannel::PITCH] = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::uint8_t> notANumber = SceneObjectData(object);
    object.keys[0].value[KeyChannel::PITCH] = 0.0f;
    object.keyCount = 4;
    const std::vector<std::uint8_t> countLies = SceneObjectData(object);
    object.keyCount.reset();
    object.name = std::string(SceneFormat::NAME_SIZE, 'n');
    const std::vector<std::uint8_t> unterminated = SceneObjectData(object);

    const SceneWriter plain = EveryKind();
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
        std::vector<const char*> shows;     // fragments the text holds
        std::vector<const char*> hides;     // and does not
    } cases[] = {
        {"every kind", plain.Bytes(), {"\"tag\": \"LFLR\"", "\"texture\": \"data\\\\flare.tga\"", "0.100000001"},
         {"\"data\"", "\"bytes\"", "\"checksum\"", "\"file_size\"", "_count\""}},
        {"a bad checksum", Edited(plain, [](SceneWriter& w) { w.header.checksum = 5; }), {"\"checksum\": 5"}, {}},
        {"a wrong count", Edited(plain, [](SceneWriter& w) { w.header.objectCount = 7; }),
         {"\"object_count\": 7"}, {"\"light_count\""}},
        {"bytes after the file size", Edited(plain, [](SceneWriter& w) {
             w.header.fileSize = static_cast<std::uint32_t>(w.Bytes().size());
             w.AddBytes({1, 2, 3});
         }),
         {"\"file_size\"", "\"bytes\": \"010203\""}, {}},
        {"a chunk cut short", WithBytes(plain, {'V', 'O', 'B', 'J', 100, 0, 0, 0, 1}), {"\"bytes\""}, {}},
        {"bytes after a name", WithChunk(plain, SceneFormat::TAG_VOBJ, nameTail), {"\"data\": \"646174615c"}, {}},
        {"a key that is not a number", WithChunk(plain, SceneFormat::TAG_VOBJ, notANumber), {"\"data\""}, {}},
        {"a key count that lies", WithChunk(plain, SceneFormat::TAG_VOBJ, countLies), {"\"data\""}, {}},
        {"a name without its NUL", WithChunk(plain, SceneFormat::TAG_VOBJ, unterminated), {"\"name\": \"nnn"},
         {"\"data\""}},
        {"an unknown tag", WithChunk(plain, PAK_Tag("XTRA"), {9, 8}), {"\"tag\": \"XTRA\"", "\"data\": \"0908\""}, {}},
        {"a tag of no characters", WithChunk(plain, 0x01020304, {7}), {"\"bytes\": \"040302010100000007\""}, {}},
        {"free text of eight bits", Edited(plain, [](SceneWriter& w) { w.header.freeText = "caf\xe9"; }),
         {"\"text_bytes\": \"636166e9"}, {"\"text\""}},
        {"a file id that is not text", Edited(plain, [](SceneWriter& w) { w.header.fileId = 0x80; }),
         {"\"file_id\": 128"}, {}},
        {"a negative zero", Edited(plain, [](SceneWriter& w) {
             SceneObjectChunk zero;
             zero.pivot[1] = -0.0f;
             w.AddNull(zero);
         }),
         {"\"pivot\": [0, -0.0, 0]"}, {"\"data\""}},
    };
    for (const auto& c : cases) {
        const std::string text = TextOf(c.file);
        for (const char* fragment : c.shows)
            EXPECT_NE(text.find(fragment), std::string::npos) << c.what << " lacks " << fragment << "\n" << text;
        for (const char* fragment : c.hides)
            EXPECT_EQ(text.find(fragment), std::string::npos) << c.what << " has " << fragment << "\n" << text;
        std::string mistake;
        EXPECT_EQ(Built(text, mistake), c.file) << c.what << ": " << mistake;
    }
}

TEST(SceneText, AnEditedTextBuildsAFileWithItsOwnChecksumAndCounts)
{
    Json text = Json::parse(TextOf(EveryKind().Bytes()));
    text["chunks"][3]["keys"][2]["frame"] = 40;
    text["chunks"].push_back(text["chunks"][0]);
    std::string mistake;
    const std::vector<std::uint8_t> file = Built(text.dump(), mistake);
    EXPECT_EQ(mistake, "");
    SceneWriter expected = EveryKind(40.0f);
    expected.AddNull(Root());
    EXPECT_EQ(file, expected.Bytes());
}

TEST(SceneText, AMistakeNamesItsPlace)
{
    const Json good = Json::parse(TextOf(EveryKind().Bytes()));
    const struct {
        const char* pointer;  // where the text is changed
        Json value;           // to this; null takes the member away
        const char* mistake;
    } cases[] = {
        {"/chunks/3/keys/2/frame", "soon", "chunks[3].keys[2].frame: not a number"},
        {"/chunks/3/parent", 2.5, "chunks[3].parent: not a whole number from -2147483648 to 2147483647"},
        {"/chunks/1/kind", -1, "chunks[1].kind: not a whole number from 0 to 4294967295"},
        {"/chunks/1/red", 1e39, "chunks[1].red: too large for a float"},
        {"/chunks/0/name", nullptr, "chunks[0].name: missing"},
        {"/chunks/0/positon", Json::array({0, 0, 0}), "chunks[0].positon: not a field of a NULL chunk"},
        {"/chunks/3/keys/0/position", Json::array({1, 2}), "chunks[3].keys[0].position: not an array of 3 numbers"},
        {"/chunks/3/keys/1/scale/2", true, "chunks[3].keys[1].scale[2]: not a number"},
        {"/chunks/3/keys", Json::object(), "chunks[3].keys: not an array"},
        {"/chunks/5/tag", "ZOOMY", "chunks[5].tag: not four characters"},
        {"/chunks/3/name", std::string(1025, 'n'), "chunks[3].name: longer than 1024 bytes"},
        {"/chunks/2/texture", std::string("a\0b", 3), "chunks[2].texture: holds a NUL"},
        {"/chunks/6", {{"tag", "XTRA"}, {"data", "abc"}}, "chunks[6].data: not hexadecimal bytes"},
        {"/chunks/6", {{"tag", "XTRA"}}, "chunks[6].data: missing"},
        {"/chunks/6", {{"bytes", "00"}, {"tag", "XTRA"}}, "chunks[6].tag: not a field of bytes outside a chunk"},
        {"/header/version", "111", "header.version: not a whole number from 0 to 4294967295"},
        {"/header/file_id", "SCENE", "header.file_id: not four characters"},
        {"/header", nullptr, "header: missing"},
        {"/chunks", 3, "chunks: not an array"},
    };
    for (const auto& c : cases) {
        Json text = good;
        const Json::json_pointer place(c.pointer);
        if (c.value.is_null())
            text[place.parent_pointer()].erase(place.back());
        else
            text[place] = c.value;
        std::string mistake;
        EXPECT_FALSE(aqtool::BuildSceneFile(text, mistake).has_value()) << c.pointer;
        EXPECT_EQ(mistake, c.mistake) << c.pointer;
    }
    std::string mistake;
    EXPECT_FALSE(aqtool::BuildSceneFile(Json::array(), mistake).has_value());
    EXPECT_EQ(mistake, "the text: not an object");
}

class SceneTextCommands : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

TEST_F(SceneTextCommands, CarryAFileThroughTheDiskAndReportWhatGoesWrong)
{
    ASSERT_TRUE(EveryKind().Write("cut.scn"));
    const AqtoolOutcome shown = Aqtool({"scene-text", "cut.scn"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.rfind("{\n  \"header\": {\n    \"text\": \"made by hand\",\n", 0), 0u) << shown.out;
    std::FILE* const text = std::fopen("cut.json", "wb");
    ASSERT_NE(text, nullptr);
    std::fputs(shown.out.c_str(), text);
    std::fclose(text);
    const AqtoolOutcome built = Aqtool({"scene-build", "cut.json", "again.scn"});
    EXPECT_EQ(built.status, 0) << built.err;
    const AqtoolOutcome again = Aqtool({"scene-text", "again.scn"});
    EXPECT_EQ(again.out, shown.out);

    ASSERT_TRUE(WriteBytesFile("broken.json", {'{', '\n', '"', 'h', '"', '}'}));
    ASSERT_TRUE(WriteBytesFile("wrong.json", {'{', '}'}));
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    } failures[] = {
        {{"scene-build", "broken.json", "out.scn"}, 2, "broken.json: parse error at line 2, column 4"},
        {{"scene-build", "wrong.json", "out.scn"}, 2, "aqtool scene-build: wrong.json: header: missing\n"},
        {{"scene-build", "absent.json", "out.scn"}, 2, "cannot open absent.json"},
        {{"scene-text", "absent.scn"}, 1, "aqtool scene-text: cannot read absent.scn"},
        {{"scene-text", "broken.json"}, 1, "shorter than the 300 bytes of a scene header"},
    };
    for (const auto& f : failures) {
        const AqtoolOutcome outcome = Aqtool(f.arguments);
        EXPECT_EQ(outcome.status, f.status) << f.arguments[1];
        EXPECT_NE(outcome.err.find(f.message), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::ifstream("out.scn").good());
}

}  // namespace
