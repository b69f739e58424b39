// Writing scene files for tests and the content generator: the 300-byte
// header, then chunks of every kind in the order they are added. The file
// size, the counts and the checksum are filled in unless a test asks for
// other values; raw chunks and raw bytes make the files a loader must refuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pak/pak.h"
#include "scene/keys.h"

namespace SceneFormat {


constexpr std::uint32_t FILE_ID = PAK_Tag("SCEN");
constexpr std::uint32_t MIN_VERSION = 111;
constexpr std::size_t FREE_TEXT_SIZE = 256;    // bytes, not interpreted
constexpr std::size_t FILE_SIZE_OFFSET = 268;
constexpr std::size_t CHECKSUM_OFFSET = 272;
constexpr std::size_t HEADER_SIZE = 300;       // the first chunk starts here
constexpr std::size_t CHUNK_HEAD_SIZE = 8;     // tag and data length
constexpr std::size_t NAME_SIZE = 1024;        // bytes of a name field, NUL included
constexpr std::int32_t NO_OBJECT = -1;         // an object index meaning none

constexpr std::uint32_t TAG_VOBJ = PAK_Tag("VOBJ");  // mesh object
constexpr std::uint32_t TAG_NULL = PAK_Tag("NULL");  // null object
constexpr std::uint32_t TAG_LGHT = PAK_Tag("LGHT");  // light
constexpr std::uint32_t TAG_CAMR = PAK_Tag("CAMR");  // camera
constexpr std::uint32_t TAG_LINT = PAK_Tag("LINT");  // envelope: intensity of the latest light
constexpr std::uint32_t TAG_LRNG = PAK_Tag("LRNG");  // envelope: its range
constexpr std::uint32_t TAG_LCON = PAK_Tag("LCON");  // envelope: its outer cone cosine
constexpr std::uint32_t TAG_LEDG = PAK_Tag("LEDG");  // envelope: its inner cone cosine
constexpr std::uint32_t TAG_ZOOM = PAK_Tag("ZOOM");  // envelope: the camera's zoom
constexpr std::uint32_t TAG_MORP = PAK_Tag("MORP");  // envelope: the latest object's morph amount
constexpr std::uint32_t TAG_ODIS = PAK_Tag("ODIS");  // envelope: the latest object's dissolve amount
constexpr std::uint32_t TAG_LFLR = PAK_Tag("LFLR");  // flare on the latest light
constexpr std::uint32_t TAG_OFLR = PAK_Tag("OFLR");  // flare on the latest object

// Whether tag is one of the seven envelope tags that the header counts.
bool IsEnvelopeTag(std::uint32_t tag);

}  // namespace SceneFormat

// The header fields. Left empty, an optional field is filled in: the file
// size with the file's length, the checksum with the correct sum, the counts
// with those of the chunks added under their tags.
struct SceneHeader {
    std::string freeText;                         // cut to 256 bytes, the rest zero
    std::uint32_t fileId = SceneFormat::FILE_ID;
    std::uint32_t unread = 0;                     // bytes 260 to 263, which no loader reads
    std::uint32_t version = SceneFormat::MIN_VERSION;
    std::uint32_t firstFrame = 0;
    std::uint32_t lastFrame = 0;
    std::uint32_t framesPerSecond = 25;
    std::optional<std::uint32_t> fileSize;        // S: the bytes the checksum and the chunk scan cover
    std::optional<std::uint32_t> checksum;
    std::optional<std::uint32_t> objectCount;     // "VOBJ" and "NULL" chunks
    std::optional<std::uint32_t> lightCount;      // "LGHT" chunks
    std::optional<std::uint32_t> envelopeCount;   // envelope chunks
};

// The data of a "VOBJ" or "NULL" chunk. Names fill a 1024-byte field; a name
// of 1024 bytes or more is cut to the field and left without its NUL.
struct SceneObjectChunk {
    std::string name;                             // mesh file name, or the null object's name
    float pivot[3] = {};
    std::uint32_t endBehaviour = 0;
    std::uint32_t pathLookAhead = 0;
    std::int32_t parent = SceneFormat::NO_OBJECT;
    std::int32_t target = SceneFormat::NO_OBJECT;
    std::int32_t morphTarget = SceneFormat::NO_OBJECT;  // read for "VOBJ" only
    float morphAmount = 0.0f;
    std::vector<ObjectKey> keys;
    std::optional<std::uint32_t> keyCount;        // written instead of the number of keys
};

// The data of a "LGHT" chunk.
struct SceneLightChunk {
    std::uint32_t kind = 2;                       // 1 distant, 2 point, 3 spot
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float range = 1.0f;
    float intensity = 1.0f;
    float coneAngle = 0.0f;                       // radians
    float edgeAngle = 0.0f;                       // radians
    std::uint32_t endBehaviour = 0;
    std::uint32_t pathLookAhead = 0;
    std::int32_t parent = SceneFormat::NO_OBJECT;
    std::int32_t target = SceneFormat::NO_OBJECT;
    std::vector<MotionKey> keys;
    std::optional<std::uint32_t> keyCount;
};

// The data of a "CAMR" chunk.
struct SceneCameraChunk {
    std::uint32_t endBehaviour = 0;
    std::uint32_t pathLookAhead = 0;
    std::int32_t parent = SceneFormat::NO_OBJECT;
    std::int32_t target = SceneFormat::NO_OBJECT;
    float zoom = 3.2f;
    std::vector<MotionKey> keys;
    std::optional<std::uint32_t> keyCount;
};

// The data of an envelope chunk, whatever its tag.
struct SceneEnvelopeChunk {
    std::uint32_t endBehaviour = 0;
    std::vector<EnvelopeKey> keys;
    std::optional<std::uint32_t> keyCount;
};

// The data of a "LFLR" or "OFLR" chunk. The texture name fills a 1024-byte
// field as object names do.
struct SceneFlareChunk {
    std::uint32_t kind = 0;                       // "OFLR": 2 a trail flare, else an object flare
    std::uint32_t flags = 0;
    float size = 1.0f;
    float trailLength = 0.0f;                     // frames
    float spritesPerFrame = 0.0f;
    std::string textureName;
};

// The data bytes of each chunk kind, without tag and length. Tests cut or
// edit them and add them with SceneWriter::AddChunk.
std::vector<std::uint8_t> SceneObjectData(const SceneObjectChunk& object);
std::vector<std::uint8_t> SceneLightData(const SceneLightChunk& light);
std::vector<std::uint8_t> SceneCameraData(const SceneCameraChunk& camera);
std::vector<std::uint8_t> SceneEnvelopeData(const SceneEnvelopeChunk& envelope);
std::vector<std::uint8_t> SceneFlareData(const SceneFlareChunk& flare);

// Writes into file's checksum field the sum of its first S bytes (S as its
// size field holds it, at most the file's length) with that field taken as
// zero. Files shorter than the header are left as they are.
void SceneSeal(std::vector<std::uint8_t>& file);

class SceneWriter {
public:
    void AddObject(const SceneObjectChunk& object);       // "VOBJ"
    void AddNull(const SceneObjectChunk& object);         // "NULL"
    void AddLight(const SceneLightChunk& light);          // "LGHT"
    void AddCamera(const SceneCameraChunk& camera);       // "CAMR"
    void AddEnvelope(std::uint32_t tag, const SceneEnvelopeChunk& envelope);
    void AddLightFlare(const SceneFlareChunk& flare);     // "LFLR"
    void AddObjectFlare(const SceneFlareChunk& flare);    // "OFLR"

    // A chunk of any tag with data as given; a known tag is counted like the
    // chunks the functions above add.
    void AddChunk(std::uint32_t tag, const std::vector<std::uint8_t>& data);

    // Bytes appended as they are, counted nowhere: a chunk head with a wrong
    // length, a chunk cut short.
    void AddBytes(const std::vector<std::uint8_t>& bytes);

    // The whole file: the header filled in as SceneHeader says, then the
    // chunks in the order added.
    std::vector<std::uint8_t> Bytes() const;

    // Writes Bytes() to path, replacing the file. False (reported) on failure.
    bool Write(const std::string& path) const;

    SceneHeader header;

private:
    std::vector<std::uint8_t> chunks_;  // everything after the header
    std::uint32_t objectCount_ = 0;
    std::uint32_t lightCount_ = 0;
    std::uint32_t envelopeCount_ = 0;
};
