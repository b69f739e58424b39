// A scene file shown as text. Each chunk is shown by its fields only when
// building those fields gives its data back exactly; any other chunk keeps
// its bytes, so that the text always builds the file it came from.
#include <cstring>

#include "pak/pak.h"
#include "scene/keys.h"
#include "scene/scenefile.h"
#include "tools/aqtool/scene_text.h"
#include "tools/writers/scenewriter.h"

namespace aqtool {

namespace {

constexpr std::size_t TAG_SIZE = 4;

template <class Record>
Record RecordAt(const std::uint8_t* bytes)
{
    Record record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

// Text that JSON carries as it is: seven-bit characters up to the first NUL,
// and nothing but NULs after it.
std::optional<std::string> PlainText(const std::uint8_t* bytes, const std::size_t size)
{
    const auto* const end = static_cast<const std::uint8_t*>(std::memchr(bytes, 0, size));
    const std::size_t length = end == nullptr ? size : static_cast<std::size_t>(end - bytes);
    for (std::size_t i = 0; i < size; ++i) {
        if (i < length ? bytes[i] >= 0x80 : bytes[i] != 0)
            return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

Json TagText(const std::uint32_t tag)
{
    char text[TAG_SIZE];
    std::memcpy(text, &tag, sizeof text);
    return std::string(text, sizeof text);
}

Json IndexValue(const std::int32_t index) { return index; }

template <class Key>
void AddChannels(Json& value, const Key& key);

template <>
void AddChannels(Json& value, const ObjectKey& key)
{
    value["position"] = FloatArray(&key.value[KeyChannel::POSITION_X], 3);
    value["rotation"] = FloatArray(&key.value[KeyChannel::PITCH], 3);
    value["scale"] = FloatArray(&key.value[KeyChannel::SCALE_X], 3);
}

template <>
void AddChannels(Json& value, const MotionKey& key)
{
    value["position"] = FloatArray(&key.value[KeyChannel::POSITION_X], 3);
    value["rotation"] = FloatArray(&key.value[KeyChannel::PITCH], 3);
}

template <>
void AddChannels(Json& value, const EnvelopeKey& key)
{
    value["value"] = FloatValue(key.value[0]);
}

// The count keys that follow a chunk's fixed fields, when they fill the rest
// of its data exactly.
template <class Key>
std::optional<Json> KeysValue(const SceneChunk& chunk, const std::size_t fixedSize, const std::uint32_t count)
{
    if (chunk.length < fixedSize || (chunk.length - fixedSize) / sizeof(Key) != count ||
        (chunk.length - fixedSize) % sizeof(Key) != 0)
        return std::nullopt;
    Json keys = Json::array();
    for (std::uint32_t i = 0; i < count; ++i) {
        const Key key = RecordAt<Key>(chunk.data + fixedSize + i * sizeof(Key));
        Json value = {{"frame", FloatValue(key.frame)},
                      {"tension", FloatValue(key.tension)},
                      {"continuity", FloatValue(key.continuity)},
                      {"bias", FloatValue(key.bias)},
                      {"linear", key.linear}};
        AddChannels(value, key);
        keys.push_back(std::move(value));
    }
    return keys;
}

std::optional<Json> ObjectValue(const SceneChunk& chunk)
{
    if (chunk.length < sizeof(SCENE_FILE_Object))
        return std::nullopt;
    const auto object = RecordAt<SCENE_FILE_Object>(chunk.data);
    const std::optional<std::string> name = PlainText(chunk.data, sizeof object.name);
    const std::optional<Json> keys = KeysValue<ObjectKey>(chunk, sizeof object, object.keyCount);
    if (!name || !keys)
        return std::nullopt;
    return Json{{"tag", TagText(chunk.tag)},
                {"name", *name},
                {"pivot", FloatArray(object.pivot, 3)},
                {"end_behaviour", object.endBehaviour},
                {"path_look_ahead", object.pathLookAhead},
                {"parent", IndexValue(object.parent)},
                {"target", IndexValue(object.target)},
                {"morph_target", IndexValue(object.morphTarget)},
                {"morph_amount", FloatValue(object.morphAmount)},
                {"keys", *keys}};
}

std::optional<Json> LightValue(const SceneChunk& chunk)
{
    if (chunk.length < sizeof(SCENE_FILE_Light))
        return std::nullopt;
    const auto light = RecordAt<SCENE_FILE_Light>(chunk.data);
    const std::optional<Json> keys = KeysValue<MotionKey>(chunk, sizeof light, light.keyCount);
    if (!keys)
        return std::nullopt;
    return Json{{"tag", TagText(chunk.tag)},
                {"kind", light.kind},
                {"red", FloatValue(light.red)},
                {"green", FloatValue(light.green)},
                {"blue", FloatValue(light.blue)},
                {"range", FloatValue(light.range)},
                {"intensity", FloatValue(light.intensity)},
                {"cone_angle", FloatValue(light.coneAngle)},
                {"edge_angle", FloatValue(light.edgeAngle)},
                {"end_behaviour", light.endBehaviour},
                {"path_look_ahead", light.pathLookAhead},
                {"parent", IndexValue(light.parent)},
                {"target", IndexValue(light.target)},
                {"keys", *keys}};
}

std::optional<Json> CameraValue(const SceneChunk& chunk)
{
    if (chunk.length < sizeof(SCENE_FILE_Camera))
        return std::nullopt;
    const auto camera = RecordAt<SCENE_FILE_Camera>(chunk.data);
    const std::optional<Json> keys = KeysValue<MotionKey>(chunk, sizeof camera, camera.keyCount);
    if (!keys)
        return std::nullopt;
    return Json{{"tag", TagText(chunk.tag)},
                {"end_behaviour", camera.endBehaviour},
                {"path_look_ahead", camera.pathLookAhead},
                {"parent", IndexValue(camera.parent)},
                {"target", IndexValue(camera.target)},
                {"zoom", FloatValue(camera.zoom)},
                {"keys", *keys}};
}

std::optional<Json> EnvelopeValue(const SceneChunk& chunk)
{
    if (chunk.length < sizeof(SCENE_FILE_Envelope))
        return std::nullopt;
    const auto envelope = RecordAt<SCENE_FILE_Envelope>(chunk.data);
    const std::optional<Json> keys = KeysValue<EnvelopeKey>(chunk, sizeof envelope, envelope.keyCount);
    if (!keys)
        return std::nullopt;
    return Json{{"tag", TagText(chunk.tag)}, {"end_behaviour", envelope.endBehaviour}, {"keys", *keys}};
}

std::optional<Json> FlareValue(const SceneChunk& chunk)
{
    if (chunk.length != sizeof(SCENE_FILE_Flare) + SCENE_NAME_SIZE)
        return std::nullopt;
    const auto flare = RecordAt<SCENE_FILE_Flare>(chunk.data);
    const std::optional<std::string> texture = PlainText(chunk.data + sizeof flare, SCENE_NAME_SIZE);
    if (!texture)
        return std::nullopt;
    return Json{{"tag", TagText(chunk.tag)},
                {"kind", flare.kind},
                {"flags", flare.flags},
                {"size", FloatValue(flare.size)},
                {"trail_length", FloatValue(flare.trailLength)},
                {"sprites_per_frame", FloatValue(flare.spritesPerFrame)},
                {"texture", *texture}};
}

std::optional<Json> FieldsValue(const SceneChunk& chunk)
{
    if (chunk.tag == SceneTag::VOBJ || chunk.tag == SceneTag::NULL_OBJECT)
        return ObjectValue(chunk);
    if (chunk.tag == SceneTag::LGHT)
        return LightValue(chunk);
    if (chunk.tag == SceneTag::CAMR)
        return CameraValue(chunk);
    if (SceneFormat::IsEnvelopeTag(chunk.tag))
        return EnvelopeValue(chunk);
    if (chunk.tag == SceneTag::LFLR || chunk.tag == SceneTag::OFLR)
        return FlareValue(chunk);
    return std::nullopt;
}

// Whether building value gives the chunk's tag and data.
bool BuildsAgain(const Json& value, const SceneChunk& chunk)
{
    std::string mistake;
    const std::optional<SceneTextChunk> built = BuildSceneChunk(value, "", mistake);
    return built && built->tag == chunk.tag && built->data.size() == chunk.length &&
           std::memcmp(built->data.data(), chunk.data, chunk.length) == 0;
}

bool IsPrintableTag(const std::uint32_t tag)
{
    for (std::size_t i = 0; i < TAG_SIZE; ++i) {
        const unsigned character = (tag >> (8 * i)) & 0xffu;
        if (character < 0x20 || character >= 0x7f)
            return false;
    }
    return true;
}

Json BytesValue(const std::uint8_t* bytes, const std::size_t count)
{
    return Json{{"bytes", HexText(bytes, count)}};
}

Json ChunkValue(const SceneChunk& chunk)
{
    const std::optional<Json> fields = FieldsValue(chunk);
    if (fields && BuildsAgain(*fields, chunk))
        return *fields;
    if (IsPrintableTag(chunk.tag))
        return Json{{"tag", TagText(chunk.tag)}, {"data", HexText(chunk.data, chunk.length)}};
    return BytesValue(chunk.data - SCENE_CHUNK_HEAD_SIZE, SCENE_CHUNK_HEAD_SIZE + chunk.length);
}

// Every chunk after the header, to the end of the file (past the file size
// field's S too, so that nothing is lost); bytes that do not make a whole
// chunk end the list.
Json ChunksValue(const std::vector<std::uint8_t>& file)
{
    Json chunks = Json::array();
    std::size_t offset = sizeof(SCENE_FILE_Header);
    while (offset < file.size()) {
        const std::size_t left = file.size() - offset;
        std::uint32_t length = 0;
        if (left >= SCENE_CHUNK_HEAD_SIZE)
            std::memcpy(&length, file.data() + offset + TAG_SIZE, sizeof length);
        if (left < SCENE_CHUNK_HEAD_SIZE || length > left - SCENE_CHUNK_HEAD_SIZE) {
            chunks.push_back(BytesValue(file.data() + offset, left));
            break;
        }
        SceneChunk chunk{0, file.data() + offset + SCENE_CHUNK_HEAD_SIZE, length};
        std::memcpy(&chunk.tag, file.data() + offset, sizeof chunk.tag);
        chunks.push_back(ChunkValue(chunk));
        offset += SCENE_CHUNK_HEAD_SIZE + length;
    }
    return chunks;
}

Json HeaderValue(const SCENE_FILE_Header& header)
{
    Json value;
    const std::optional<std::string> text = PlainText(header.text, sizeof header.text);
    if (text)
        value["text"] = *text;
    else
        value["text_bytes"] = HexText(header.text, sizeof header.text);
    value["file_id"] = TagText(header.fileId);
    value["unread"] = header.unread;
    value["version"] = header.version;
    value["first_frame"] = header.firstFrame;
    value["last_frame"] = header.lastFrame;
    value["frames_per_second"] = header.framesPerSecond;
    return value;
}

struct DerivedField {
    const char* name;
    std::uint32_t SCENE_FILE_Header::*field;
};

// The file size and the counts come first: the checksum that building fills
// in covers the bytes that the file size says.
constexpr DerivedField SIZE_AND_COUNTS[] = {
    {"file_size", &SCENE_FILE_Header::fileSize},
    {"object_count", &SCENE_FILE_Header::objectCount},
    {"light_count", &SCENE_FILE_Header::lightCount},
    {"envelope_count", &SCENE_FILE_Header::envelopeCount},
};
constexpr DerivedField CHECKSUM[] = {{"checksum", &SCENE_FILE_Header::checksum}};

// Gives the text those of fields whose value building would not fill in as
// the file's own header has it.
template <std::size_t COUNT>
void AddDerivedFields(Json& text, const SCENE_FILE_Header& header, const DerivedField (&fields)[COUNT])
{
    std::string mistake;
    const std::optional<std::vector<std::uint8_t>> built = BuildSceneFile(text, mistake);
    if (!built)
        return;
    const auto filled = RecordAt<SCENE_FILE_Header>(built->data());
    for (const DerivedField& field : fields) {
        if (header.*field.field != filled.*field.field)
            text["header"][field.name] = header.*field.field;
    }
}

}  // namespace

std::optional<Json> SceneFileText(const std::vector<std::uint8_t>& file, std::string& failure)
{
    if (file.size() < sizeof(SCENE_FILE_Header)) {
        failure = "shorter than the " + std::to_string(sizeof(SCENE_FILE_Header)) + " bytes of a scene header";
        return std::nullopt;
    }
    const auto header = RecordAt<SCENE_FILE_Header>(file.data());
    Json text = {{"header", HeaderValue(header)}, {"chunks", ChunksValue(file)}};
    AddDerivedFields(text, header, SIZE_AND_COUNTS);
    AddDerivedFields(text, header, CHECKSUM);
    return text;
}

}  // namespace aqtool
