// A scene file shown as text. Each chunk is shown by its fields only when
// building those fields gives its data back exactly; any other chunk keeps
// its bytes, so that the text always builds the file it came from.
#include <array>
#include <cstring>

#include "scene/scenefile.h"
#include "tools/aqtool/scene_text.h"
#include "tools/aqtool/scene_text_layout.h"

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

// Two lower-case hexadecimal digits a byte.
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

Json TagText(const std::uint32_t tag)
{
    char text[TAG_SIZE];
    std::memcpy(text, &tag, sizeof text);
    return std::string(text, sizeof text);
}

template <class Value>
Value Load(const std::uint8_t* record, const FieldPlace& field)
{
    Value value;
    std::memcpy(&value, record + field.offset, sizeof value);
    return value;
}

// The fields of layout in record, added to value; false when a name holds
// what the text cannot carry as it is.
bool AddRecord(Json& value, const RecordLayout& layout, const std::uint8_t* record)
{
    for (std::size_t i = 0; i < layout.count; ++i) {
        const FieldPlace& field = layout.fields[i];
        switch (field.kind) {
        case FieldKind::WORD:
            value[field.name] = Load<std::uint32_t>(record, field);
            break;
        case FieldKind::INDEX:
            value[field.name] = Load<std::int32_t>(record, field);
            break;
        case FieldKind::FLOAT:
            value[field.name] = FloatValue(Load<float>(record, field));
            break;
        case FieldKind::FLOATS: {
            const auto floats = Load<std::array<float, FIELD_FLOATS>>(record, field);
            value[field.name] = FloatArray(floats.data(), FIELD_FLOATS);
            break;
        }
        case FieldKind::NAME: {
            const std::optional<std::string> name = PlainText(record + field.offset, SCENE_NAME_SIZE);
            if (!name)
                return false;
            value[field.name] = *name;
            break;
        }
        }
    }
    return true;
}

// The keys after a chunk's fixed fields, when as many as its key count says
// fill the rest of its data exactly.
std::optional<Json> KeysValue(const SceneChunk& chunk, const ChunkLayout& layout)
{
    const std::size_t keySize = layout.keyChannels->size;
    std::uint32_t count = 0;
    std::memcpy(&count, chunk.data + layout.fixed.size - KEY_COUNT_SIZE, sizeof count);
    if (chunk.length - layout.fixed.size != std::uint64_t{count} * keySize)
        return std::nullopt;
    Json keys = Json::array();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* const key = chunk.data + layout.fixed.size + i * keySize;
        Json value = Json::object();
        AddRecord(value, KeyHead(), key);
        AddRecord(value, *layout.keyChannels, key);
        keys.push_back(std::move(value));
    }
    return keys;
}

std::optional<Json> FieldsValue(const SceneChunk& chunk)
{
    const ChunkLayout* const layout = LayoutOfTag(chunk.tag);
    if (layout == nullptr || chunk.length < layout->fixed.size)
        return std::nullopt;
    Json value = {{"tag", TagText(chunk.tag)}};
    if (!AddRecord(value, layout->fixed, chunk.data))
        return std::nullopt;
    if (layout->keyChannels == nullptr)
        return chunk.length == layout->fixed.size ? std::optional<Json>(value) : std::nullopt;
    const std::optional<Json> keys = KeysValue(chunk, *layout);
    if (!keys)
        return std::nullopt;
    value["keys"] = *keys;
    return value;
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
    if (IsPrintableTag(header.fileId))
        value["file_id"] = TagText(header.fileId);
    else
        value["file_id"] = header.fileId;
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
