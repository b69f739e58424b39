// The scene file: its header and the fixed fields of each chunk kind, exactly
// as the file lays them out (little-endian words, IEEE floats, no padding),
// and the chunk view the loader hands to the records' Setup operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "pak/pak.h"
#include "scene/scenerecords.h"

constexpr std::uint32_t SCENE_FILE_ID = PAK_Tag("SCEN");
constexpr std::uint32_t SCENE_MIN_VERSION = 111;
constexpr std::size_t SCENE_FREE_TEXT_SIZE = 256;   // bytes, never interpreted
constexpr std::size_t SCENE_CHECKSUM_OFFSET = 272;
constexpr std::size_t SCENE_CHUNK_HEAD_SIZE = 8;    // tag and data length
constexpr std::size_t SCENE_NAME_SIZE = 1024;       // bytes of a name field, NUL included
constexpr std::int32_t SCENE_NO_OBJECT = -1;        // an object index meaning none
constexpr std::uint32_t SCENE_SHALLOW = 0x01;       // load flag: no meshes, no plugins

namespace SceneTag {
constexpr std::uint32_t VOBJ = PAK_Tag("VOBJ");  // mesh object
constexpr std::uint32_t NULL_OBJECT = PAK_Tag("NULL");
constexpr std::uint32_t LGHT = PAK_Tag("LGHT");
constexpr std::uint32_t CAMR = PAK_Tag("CAMR");
constexpr std::uint32_t LINT = PAK_Tag("LINT");  // envelopes of the latest light
constexpr std::uint32_t LRNG = PAK_Tag("LRNG");
constexpr std::uint32_t LCON = PAK_Tag("LCON");
constexpr std::uint32_t LEDG = PAK_Tag("LEDG");
constexpr std::uint32_t ZOOM = PAK_Tag("ZOOM");  // envelope of the camera
constexpr std::uint32_t MORP = PAK_Tag("MORP");  // envelopes of the latest object's plugins
constexpr std::uint32_t ODIS = PAK_Tag("ODIS");
constexpr std::uint32_t LFLR = PAK_Tag("LFLR");  // flare on the latest light
constexpr std::uint32_t OFLR = PAK_Tag("OFLR");  // flare on the latest object
}  // namespace SceneTag

// Bytes 0 to 299 of a scene file; the first chunk follows.
struct SCENE_FILE_Header {
    std::uint8_t text[SCENE_FREE_TEXT_SIZE];
    std::uint32_t fileId;
    std::uint32_t unread;
    std::uint32_t version;
    std::uint32_t fileSize;       // S: bytes covered by the checksum and the chunk scan
    std::uint32_t checksum;       // PAK_Checksum of them with this field 0
    std::uint32_t objectCount;    // "VOBJ" and "NULL" chunks
    std::uint32_t lightCount;     // "LGHT" chunks
    std::uint32_t envelopeCount;  // envelope chunks
    std::uint32_t firstFrame;
    std::uint32_t lastFrame;
    std::uint32_t framesPerSecond;
};

// The fixed fields of a "VOBJ" or "NULL" chunk; ObjectKeys follow.
struct SCENE_FILE_Object {
    char name[SCENE_NAME_SIZE];  // mesh file name (or the null object's name)
    float pivot[3];
    std::uint32_t endBehaviour;
    std::uint32_t pathLookAhead;
    std::int32_t parent;         // object indices, SCENE_NO_OBJECT for none
    std::int32_t target;
    std::int32_t morphTarget;    // "VOBJ" only
    float morphAmount;
    std::uint32_t keyCount;
};

// The fixed fields of a "LGHT" chunk; MotionKeys follow.
struct SCENE_FILE_Light {
    std::uint32_t kind;
    float red, green, blue;
    float range;
    float intensity;
    float coneAngle;  // radians
    float edgeAngle;  // radians
    std::uint32_t endBehaviour;
    std::uint32_t pathLookAhead;
    std::int32_t parent;
    std::int32_t target;
    std::uint32_t keyCount;
};

// The fixed fields of a "CAMR" chunk; MotionKeys follow.
struct SCENE_FILE_Camera {
    std::uint32_t endBehaviour;
    std::uint32_t pathLookAhead;
    std::int32_t parent;
    std::int32_t target;
    float zoom;
    std::uint32_t keyCount;
};

// The fixed fields of every envelope chunk; EnvelopeKeys follow.
struct SCENE_FILE_Envelope {
    std::uint32_t endBehaviour;
    std::uint32_t keyCount;
};

// The fixed fields of a "LFLR" or "OFLR" chunk; the texture name follows,
// up to SCENE_NAME_SIZE bytes, NUL-terminated inside the chunk.
struct SCENE_FILE_Flare {
    std::uint32_t kind;  // "OFLR": 2 a trail flare, else an object flare
    std::uint32_t flags;
    float size;
    float trailLength;   // frames
    float spritesPerFrame;
};

static_assert(sizeof(SCENE_FILE_Header) == 300 && offsetof(SCENE_FILE_Header, fileId) == 256 &&
              offsetof(SCENE_FILE_Header, checksum) == SCENE_CHECKSUM_OFFSET);
static_assert(sizeof(SCENE_FILE_Object) == 1064 && sizeof(SCENE_FILE_Light) == 52 &&
              sizeof(SCENE_FILE_Camera) == 24 && sizeof(SCENE_FILE_Envelope) == 8 &&
              sizeof(SCENE_FILE_Flare) == 20);
static_assert(std::is_trivially_copyable_v<SCENE_FILE_Object> && std::is_trivially_copyable_v<SCENE_FILE_Light>);

// One chunk of a loaded file: its tag and its data, the length bytes after
// tag and length. The loader checks before any Setup that the fixed fields,
// the keys they count and a terminated name lie inside the data.
struct SceneChunk {
    std::uint32_t tag;
    const std::uint8_t* data;
    std::uint32_t length;
};

// The record classes under the names of the file's chunk kinds.
using SCENE_Vector = SceneObject;
using SCENE_Light = SceneLight;
using SCENE_Camera = SceneCamera;
using SCENE_Envelope = SceneEnvelope;

// The scene being loaded; the vector handles record it as their meshes' owner.
extern Scene* gCurrentScene;
