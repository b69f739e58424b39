// Building a scene file from its text. Every field is read through a reader
// that knows where in the document it stands, so that the first mistake is
// reported with its path; fields the text does not know are mistakes too,
// since a misspelt one would otherwise be dropped without a word.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "scene/scenefile.h"
#include "tools/aqtool/scene_text.h"
#include "tools/aqtool/scene_text_layout.h"
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
    bool HoldsNumber(const char* field) const { return Has(field) && object_.at(field).is_number(); }

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

template <class Value>
void Store(std::uint8_t* record, const FieldPlace& field, const Value& value)
{
    std::memcpy(record + field.offset, &value, sizeof value);
}

// The fields of layout from the text into record, which starts zeroed.
void ReadRecord(FieldReader& fields, const RecordLayout& layout, std::uint8_t* record)
{
    for (std::size_t i = 0; i < layout.count && fields.ok(); ++i) {
        const FieldPlace& field = layout.fields[i];
        std::uint32_t word = 0;
        std::int32_t index = 0;
        float number[FIELD_FLOATS] = {};
        std::string name;
        switch (field.kind) {
        case FieldKind::WORD:
            fields.Word(field.name, word);
            Store(record, field, word);
            break;
        case FieldKind::INDEX:
            fields.Index(field.name, index);
            Store(record, field, index);
            break;
        case FieldKind::FLOAT:
            fields.Float(field.name, number[0]);
            Store(record, field, number[0]);
            break;
        case FieldKind::FLOATS:
            fields.Floats(field.name, number, FIELD_FLOATS);
            Store(record, field, number);
            break;
        case FieldKind::NAME:
            // A name of the field's whole size keeps no NUL, as the writers cut it.
            fields.Text(field.name, name, SCENE_NAME_SIZE);
            std::memcpy(record + field.offset, name.data(), std::min(name.size(), SCENE_NAME_SIZE));
            break;
        }
    }
}

// A chunk's data from its fields and keys.
std::vector<std::uint8_t> ChunkData(FieldReader& fields, const ChunkLayout& layout, std::string& mistake)
{
    std::vector<std::uint8_t> data(layout.fixed.size, 0);
    ReadRecord(fields, layout.fixed, data.data());
    if (layout.keyChannels == nullptr)
        return data;
    std::uint32_t keyCount = 0;
    ReadEach(fields, "keys", [&](const Json& element, const std::string& path) {
        FieldReader key(element, path, mistake);
        std::vector<std::uint8_t> bytes(layout.keyChannels->size, 0);
        ReadRecord(key, KeyHead(), bytes.data());
        ReadRecord(key, *layout.keyChannels, bytes.data());
        key.Finish("a key");
        data.insert(data.end(), bytes.begin(), bytes.end());
        ++keyCount;
    });
    std::memcpy(data.data() + layout.fixed.size - KEY_COUNT_SIZE, &keyCount, sizeof keyCount);
    return data;
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
    // Four characters, or the word itself for an id that is not text.
    if (fields.HoldsNumber("file_id")) {
        fields.Word("file_id", header.fileId);
    } else {
        std::string fileId;
        fields.Text("file_id", fileId, std::string::npos);
        if (fields.ok() && fileId.size() != TAG_SIZE)
            fields.Fail(fields.Place("file_id"), "not four characters");
        if (fields.ok())
            header.fileId = TagWord(fileId);
    }
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
    const ChunkLayout* const layout = LayoutOfTag(built.tag);
    if (fields.Has("data") || layout == nullptr)
        fields.Hex("data", built.data);
    else
        built.data = ChunkData(fields, *layout, mistake);
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

}  // namespace aqtool
