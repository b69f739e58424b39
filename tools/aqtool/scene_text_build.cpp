// Building a scene file from its text. Every field is read through a reader
// that knows where in the document it stands, so that the first mistake is
// reported with its path; fields the text does not know are mistakes too,
// since a misspelt one would otherwise be dropped without a word.
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "scene/keys.h"
#include "tools/aqtool/scene_text.h"
#include "tools/writers/scenewriter.h"

namespace aqtool {

namespace {

constexpr std::size_t TAG_SIZE = 4;

// Four characters in reading order as the word the file stores.
std::uint32_t TagWord(const std::string& text)
{
    std::uint32_t tag = 0;
    std::memcpy(&tag, text.data(), TAG_SIZE);
    return tag;
}

// The members of one JSON object, read by name; the first mistake stops
// every later read and names its place.
class FieldReader {
public:
    FieldReader(const Json& object, std::string path, std::string& mistake)
        : object_(object), path_(std::move(path)), mistake_(mistake)
    {
        if (!object.is_object())
            Fail(path_.empty() ? "the text" : path_, "not an object");
    }

    bool ok() const { return mistake_.empty(); }
    const std::string& path() const { return path_; }
    std::string Place(const char* field) const { return path_.empty() ? field : path_ + "." + field; }
    bool Has(const char* field) const { return ok() && object_.contains(field); }

    const Json* Member(const char* field)
    {
        if (!ok())
            return nullptr;
        read_.insert(field);
        const auto found = object_.find(field);
        if (found == object_.end()) {
            Fail(Place(field), "missing");
            return nullptr;
        }
        return &*found;
    }

    void Float(const char* field, float& value) { ReadFloat(Member(field), Place(field), value); }
    void Floats(const char* field, float* values, int count)
    {
        const Json* const array = Member(field);
        if (array == nullptr)
            return;
        if (!array->is_array() || array->size() != static_cast<std::size_t>(count)) {
            Fail(Place(field), "not an array of " + std::to_string(count) + " numbers");
            return;
        }
        for (int i = 0; i < count; ++i)
            ReadFloat(&(*array)[static_cast<std::size_t>(i)], Place(field) + "[" + std::to_string(i) + "]", values[i]);
    }
    void Word(const char* field, std::uint32_t& value) { ReadWhole(field, value); }
    void Index(const char* field, std::int32_t& value) { ReadWhole(field, value); }

    // A word only when the text gives it.
    void OptionalWord(const char* field, std::optional<std::uint32_t>& value)
    {
        if (!Has(field))
            return;
        std::uint32_t word = 0;
        Word(field, word);
        value = word;
    }

    void Text(const char* field, std::string& text, std::size_t limit)
    {
        const Json* const member = Member(field);
        if (member == nullptr)
            return;
        if (!member->is_string()) {
            Fail(Place(field), "not text");
            return;
        }
        text = member->get<std::string>();
        if (text.size() > limit)
            Fail(Place(field), "longer than " + std::to_string(limit) + " bytes");
        else if (text.find('\0') != std::string::npos)
            Fail(Place(field), "holds a NUL");
    }

    // Text of two hexadecimal digits a byte.
    void Hex(const char* field, std::vector<std::uint8_t>& bytes)
    {
        std::string text;
        Text(field, text, std::string::npos);
        if (!ok())
            return;
        bytes.clear();
        if (text.size() % 2 != 0 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            Fail(Place(field), "not hexadecimal bytes");
            return;
        }
        for (std::size_t i = 0; i < text.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }

    // Every member of the object has been read; what of is the object's kind.
    void Finish(const std::string& of)
    {
        if (!ok())
            return;
        for (auto member = object_.begin(); member != object_.end(); ++member) {
            if (read_.count(member.key()) == 0) {
                Fail(Place(member.key().c_str()), "not a field of " + of);
                return;
            }
        }
    }

    void Fail(const std::string& place, const std::string& what)
    {
        if (ok())
            mistake_ = place + ": " + what;
    }

private:
    void ReadFloat(const Json* member, const std::string& place, float& value)
    {
        if (member == nullptr || !ok())
            return;
        if (!member->is_number()) {
            Fail(place, "not a number");
            return;
        }
        const double number = member->get<double>();
        if (std::fabs(number) > std::numeric_limits<float>::max())
            Fail(place, "too large for a float");
        else
            value = static_cast<float>(number);
    }

    template <class Whole>
    void ReadWhole(const char* field, Whole& value)
    {
        const Json* const member = Member(field);
        if (member == nullptr)
            return;
        using Limits = std::numeric_limits<Whole>;
        const bool whole = member->is_number_integer();
        const bool inRange = whole && (member->is_number_unsigned()
                                           ? member->get<std::uint64_t>() <= std::uint64_t{Limits::max()}
                                           : member->get<std::int64_t>() >= std::int64_t{Limits::min()} &&
                                                 member->get<std::int64_t>() <= std::int64_t{Limits::max()});
        if (!inRange) {
            Fail(Place(field), "not a whole number from " + std::to_string(Limits::min()) + " to " +
                                   std::to_string(Limits::max()));
            return;
        }
        value = member->is_number_unsigned() ? static_cast<Whole>(member->get<std::uint64_t>())
                                             : static_cast<Whole>(member->get<std::int64_t>());
    }

    const Json& object_;
    std::string path_;
    std::string& mistake_;
    std::set<std::string> read_;
};

// The elements of an array member, each read by read(element, its path).
template <class Read>
void ReadEach(FieldReader& fields, const char* field, Read read)
{
    const Json* const array = fields.Member(field);
    if (array == nullptr)
        return;
    if (!array->is_array()) {
        fields.Fail(fields.Place(field), "not an array");
        return;
    }
    for (std::size_t i = 0; i < array->size() && fields.ok(); ++i)
        read((*array)[i], fields.Place(field) + "[" + std::to_string(i) + "]");
}

template <class Key>
void ReadChannels(FieldReader& fields, Key& key);

template <>
void ReadChannels(FieldReader& fields, ObjectKey& key)
{
    fields.Floats("position", &key.value[KeyChannel::POSITION_X], 3);
    fields.Floats("rotation", &key.value[KeyChannel::PITCH], 3);
    fields.Floats("scale", &key.value[KeyChannel::SCALE_X], 3);
}

template <>
void ReadChannels(FieldReader& fields, MotionKey& key)
{
    fields.Floats("position", &key.value[KeyChannel::POSITION_X], 3);
    fields.Floats("rotation", &key.value[KeyChannel::PITCH], 3);
}

template <>
void ReadChannels(FieldReader& fields, EnvelopeKey& key)
{
    fields.Float("value", key.value[0]);
}

template <class Key>
void ReadKeys(FieldReader& chunk, std::vector<Key>& keys, std::string& mistake)
{
    ReadEach(chunk, "keys", [&](const Json& element, const std::string& path) {
        FieldReader fields(element, path, mistake);
        Key key;
        fields.Float("frame", key.frame);
        fields.Float("tension", key.tension);
        fields.Float("continuity", key.continuity);
        fields.Float("bias", key.bias);
        fields.Word("linear", key.linear);
        ReadChannels(fields, key);
        fields.Finish("a key");
        keys.push_back(key);
    });
}

std::vector<std::uint8_t> ObjectData(FieldReader& fields, std::string& mistake)
{
    SceneObjectChunk object;
    fields.Text("name", object.name, SceneFormat::NAME_SIZE);
    fields.Floats("pivot", object.pivot, 3);
    fields.Word("end_behaviour", object.endBehaviour);
    fields.Word("path_look_ahead", object.pathLookAhead);
    fields.Index("parent", object.parent);
    fields.Index("target", object.target);
    fields.Index("morph_target", object.morphTarget);
    fields.Float("morph_amount", object.morphAmount);
    ReadKeys(fields, object.keys, mistake);
    return SceneObjectData(object);
}

std::vector<std::uint8_t> LightData(FieldReader& fields, std::string& mistake)
{
    SceneLightChunk light;
    fields.Word("kind", light.kind);
    fields.Float("red", light.red);
    fields.Float("green", light.green);
    fields.Float("blue", light.blue);
    fields.Float("range", light.range);
    fields.Float("intensity", light.intensity);
    fields.Float("cone_angle", light.coneAngle);
    fields.Float("edge_angle", light.edgeAngle);
    fields.Word("end_behaviour", light.endBehaviour);
    fields.Word("path_look_ahead", light.pathLookAhead);
    fields.Index("parent", light.parent);
    fields.Index("target", light.target);
    ReadKeys(fields, light.keys, mistake);
    return SceneLightData(light);
}

std::vector<std::uint8_t> CameraData(FieldReader& fields, std::string& mistake)
{
    SceneCameraChunk camera;
    fields.Word("end_behaviour", camera.endBehaviour);
    fields.Word("path_look_ahead", camera.pathLookAhead);
    fields.Index("parent", camera.parent);
    fields.Index("target", camera.target);
    fields.Float("zoom", camera.zoom);
    ReadKeys(fields, camera.keys, mistake);
    return SceneCameraData(camera);
}

std::vector<std::uint8_t> EnvelopeData(FieldReader& fields, std::string& mistake)
{
    SceneEnvelopeChunk envelope;
    fields.Word("end_behaviour", envelope.endBehaviour);
    ReadKeys(fields, envelope.keys, mistake);
    return SceneEnvelopeData(envelope);
}

std::vector<std::uint8_t> FlareData(FieldReader& fields, std::string&)
{
    SceneFlareChunk flare;
    fields.Word("kind", flare.kind);
    fields.Word("flags", flare.flags);
    fields.Float("size", flare.size);
    fields.Float("trail_length", flare.trailLength);
    fields.Float("sprites_per_frame", flare.spritesPerFrame);
    fields.Text("texture", flare.textureName, SceneFormat::NAME_SIZE);
    return SceneFlareData(flare);
}

using ChunkData = std::vector<std::uint8_t> (*)(FieldReader& fields, std::string& mistake);

// The fields of each chunk kind that the text names.
ChunkData DataOfTag(const std::uint32_t tag)
{
    if (tag == SceneFormat::TAG_VOBJ || tag == SceneFormat::TAG_NULL)
        return ObjectData;
    if (tag == SceneFormat::TAG_LGHT)
        return LightData;
    if (tag == SceneFormat::TAG_CAMR)
        return CameraData;
    if (SceneFormat::IsEnvelopeTag(tag))
        return EnvelopeData;
    if (tag == SceneFormat::TAG_LFLR || tag == SceneFormat::TAG_OFLR)
        return FlareData;
    return nullptr;
}

void ReadHeader(FieldReader& fields, SceneHeader& header)
{
    if (fields.Has("text_bytes")) {
        std::vector<std::uint8_t> text;
        fields.Hex("text_bytes", text);
        header.freeText.assign(text.begin(), text.end());
        if (text.size() > SceneFormat::FREE_TEXT_SIZE)
            fields.Fail(fields.Place("text_bytes"), "more than 256 bytes");
    } else {
        fields.Text("text", header.freeText, SceneFormat::FREE_TEXT_SIZE);
    }
    std::string fileId;
    fields.Text("file_id", fileId, std::string::npos);
    if (fields.ok() && fileId.size() != TAG_SIZE)
        fields.Fail(fields.Place("file_id"), "not four characters");
    if (fields.ok())
        header.fileId = TagWord(fileId);
    fields.Word("unread", header.unread);
    fields.Word("version", header.version);
    fields.OptionalWord("file_size", header.fileSize);
    fields.OptionalWord("checksum", header.checksum);
    fields.OptionalWord("object_count", header.objectCount);
    fields.OptionalWord("light_count", header.lightCount);
    fields.OptionalWord("envelope_count", header.envelopeCount);
    fields.Word("first_frame", header.firstFrame);
    fields.Word("last_frame", header.lastFrame);
    fields.Word("frames_per_second", header.framesPerSecond);
    fields.Finish("the header");
}

void AddEntry(SceneWriter& writer, const Json& entry, const std::string& path, std::string& mistake)
{
    if (entry.is_object() && entry.contains("bytes")) {
        FieldReader fields(entry, path, mistake);
        std::vector<std::uint8_t> bytes;
        fields.Hex("bytes", bytes);
        fields.Finish("bytes outside a chunk");
        writer.AddBytes(bytes);
        return;
    }
    const std::optional<SceneTextChunk> chunk = BuildSceneChunk(entry, path, mistake);
    if (chunk)
        writer.AddChunk(chunk->tag, chunk->data);
}

}  // namespace

std::optional<SceneTextChunk> BuildSceneChunk(const Json& chunk, const std::string& path, std::string& mistake)
{
    FieldReader fields(chunk, path, mistake);
    std::string tagText;
    fields.Text("tag", tagText, std::string::npos);
    if (fields.ok() && tagText.size() != TAG_SIZE)
        fields.Fail(fields.Place("tag"), "not four characters");
    if (!fields.ok())
        return std::nullopt;
    SceneTextChunk built{TagWord(tagText), {}};
    const ChunkData data = DataOfTag(built.tag);
    if (fields.Has("data") || data == nullptr)
        fields.Hex("data", built.data);
    else
        built.data = data(fields, mistake);
    fields.Finish("a " + tagText + " chunk");
    if (!fields.ok())
        return std::nullopt;
    return built;
}

std::optional<std::vector<std::uint8_t>> BuildSceneFile(const Json& text, std::string& mistake)
{
    mistake.clear();
    FieldReader document(text, "", mistake);
    SceneWriter writer;
    const Json* const header = document.Member("header");
    if (header != nullptr) {
        FieldReader fields(*header, "header", mistake);
        ReadHeader(fields, writer.header);
    }
    ReadEach(document, "chunks", [&](const Json& entry, const std::string& path) {
        AddEntry(writer, entry, path, mistake);
    });
    document.Finish("a scene");
    if (!document.ok())
        return std::nullopt;
    return writer.Bytes();
}

std::string HexText(const std::uint8_t* bytes, const std::size_t count)
{
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += DIGITS[bytes[i] >> 4];
        text += DIGITS[bytes[i] & 0x0f];
    }
    return text;
}

}  // namespace aqtool
