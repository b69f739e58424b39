// Meshes: the mesh file's records, and Vector, the mesh object with its atoms
// (vertices), cells (triangles) and materials. Meshes load on the one thread
// of the program while scenes load; the renderer then rewrites them per frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "host/fish.h"
#include "host/ordertable.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "render/matrix.h"


constexpr std::uint32_t VECTOR_FILE_ID = PAK_Tag("VOBJ");
constexpr std::uint32_t VECTOR_VERTICES_TAG = PAK_Tag("VERT");
constexpr std::uint32_t VECTOR_FACES_TAG = PAK_Tag("FACE");
constexpr std::uint32_t VECTOR_MATERIALS_TAG = PAK_Tag("MSPC");
constexpr std::uint32_t VECTOR_MIN_VERSION = 302;
constexpr std::size_t VECTOR_FREE_TEXT_SIZE = 256;  // bytes, never interpreted
constexpr std::size_t VECTOR_NAME_SIZE = 1024;      // bytes of a map name field, NUL included
constexpr std::size_t VECTOR_CHUNK_HEAD_SIZE = 8;   // tag and data length
constexpr std::size_t VECTOR_HEADER_DATA_OFFSET = VECTOR_FREE_TEXT_SIZE + VECTOR_CHUNK_HEAD_SIZE;
constexpr std::uint32_t VECTOR_HEADER_FIELDS_SIZE = 24;  // a header length must cover the fields
constexpr std::uint32_t VECTOR_EMPTY_FILE_SIZE = VECTOR_HEADER_DATA_OFFSET + VECTOR_HEADER_FIELDS_SIZE;
constexpr std::size_t VECTOR_CHECKSUM_OFFSET = 272;

// The start of a mesh file. The file id and header length frame the header
// like a chunk: the first chunk starts headerLength bytes after them. These
// records are the file's little-endian bytes as they are, with no padding.
struct VECTOR_FILE_Header {
    std::uint8_t text[VECTOR_FREE_TEXT_SIZE] = {};  // free text, covered by the checksum
    std::uint32_t fileId = VECTOR_FILE_ID;
    std::uint32_t headerLength = VECTOR_HEADER_FIELDS_SIZE;  // the bytes of the fields below
    std::uint32_t version = VECTOR_MIN_VERSION;
    std::uint32_t fileSize = VECTOR_EMPTY_FILE_SIZE;  // bytes covered by the checksum and the chunk scan
    std::uint32_t checksum = 0;                     // PAK_Checksum of them with this field 0
    std::uint32_t atomCount = 0;
    std::uint32_t cellCount = 0;
    std::uint32_t materialCount = 0;
};

// One record of the "VERT" chunk.
struct VECTOR_FILE_Vertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// One record of the "FACE" chunk.
struct VECTOR_FILE_Face {
    std::uint32_t corners[3] = {};  // atom indices
    float uv[6] = {};               // u, v of corner 0, 1 and 2
    std::uint32_t material = 0;     // material index
};

// One record of the "MSPC" chunk. Each name is used only when its flag is set.
struct VECTOR_FILE_Material {
    std::uint8_t unread[8] = {};
    std::uint32_t flags = 0;
    float colour[3] = {1.0f, 1.0f, 1.0f};  // red, green, blue
    float further0 = 0.0f;                 // the first further value
    float fourth = 1.0f;
    float further1 = 0.0f;                 // the second further value
    char colourMapName[VECTOR_NAME_SIZE] = {};   // with Material::COLOUR_MAP
    char secondMapName[VECTOR_NAME_SIZE] = {};   // with Material::ENVIRONMENT
    char bumpPictureName[VECTOR_NAME_SIZE] = {};  // with Material::BUMP_PICTURE
};

static_assert(sizeof(VECTOR_FILE_Header) == VECTOR_EMPTY_FILE_SIZE && offsetof(VECTOR_FILE_Header, fileId) == 256 &&
              offsetof(VECTOR_FILE_Header, checksum) == VECTOR_CHECKSUM_OFFSET &&
              offsetof(VECTOR_FILE_Header, materialCount) == 284);
static_assert(sizeof(VECTOR_FILE_Vertex) == 12);
static_assert(sizeof(VECTOR_FILE_Face) == 40 && offsetof(VECTOR_FILE_Face, uv) == 12 &&
              offsetof(VECTOR_FILE_Face, material) == 36);
static_assert(sizeof(VECTOR_FILE_Material) == 3108 && offsetof(VECTOR_FILE_Material, flags) == 8 &&
              offsetof(VECTOR_FILE_Material, further0) == 24 &&
              offsetof(VECTOR_FILE_Material, fourth) == 28 &&
              offsetof(VECTOR_FILE_Material, colourMapName) == 36 &&
              offsetof(VECTOR_FILE_Material, secondMapName) == 1060 &&
              offsetof(VECTOR_FILE_Material, bumpPictureName) == 2084);
static_assert(std::is_trivially_copyable_v<VECTOR_FILE_Header> &&
              std::is_trivially_copyable_v<VECTOR_FILE_Vertex> &&
              std::is_trivially_copyable_v<VECTOR_FILE_Face> &&
              std::is_trivially_copyable_v<VECTOR_FILE_Material>);

// Polygon table indices of the cell drawers, and the priorities they go with.
namespace DrawMode {
constexpr std::int32_t INITIAL = 1;  // a cell's type until SetupDrawModes
constexpr std::int32_t OPAQUE = 7;
constexpr std::int32_t OPAQUE_MAPPED = 8;
constexpr std::int32_t BLENDED = 9;
constexpr std::int32_t ADDITIVE_MAPPED = 10;
constexpr std::int32_t BLENDED_MAPPED = 11;
constexpr std::int32_t ADDITIVE = 14;
constexpr std::uint32_t SOLID_PRIORITY = 250;        // drawn first
constexpr std::uint32_t TRANSLUCENT_PRIORITY = 240;  // drawn over the solid cells
}  // namespace DrawMode

// A vertex. Everything after the position and the normal is the renderer's
// per-frame state.
struct Atom {
    // Camera position from the position and the model-view matrix; in front
    // of the near plane also the reciprocal depth, screen position and clip
    // code. Behind it the flag is set, the clip code is 0 and the reciprocal
    // depth and screen position keep their old values.
    static void Project(Atom& atom, const Matrix& matrix);
    // Reciprocal depth and screen position from the camera position, which
    // lies in front of the near plane.
    static void ProjectToScreen(Atom& atom);

    float position[3] = {};                 // x, y, z in object space
    float reciprocalDepth = 1.0f;
    float screen[2] = {};                   // x, y
    float camera[3] = {};                   // camera-space x, y, z
    float work[2] = {};                     // the near-plane clipper keeps u, v here
    float normal[3] = {0.0f, 0.0f, 1.0f};   // unit vertex normal once loaded
    float cameraNormal[3] = {};             // the renderer's camera-space normal
    float colour[3] = {1.0f, 1.0f, 1.0f};   // the near-plane clipper's corner colour
    std::uint32_t behind = 0;               // 1: camera-space z is below the near plane
    std::uint32_t stamp = 0;                // frame counter of the last projection
    std::int32_t clipCode = 0;
    std::uint32_t lastWork = 0;
};

// Bits of a cell's render flags that the mesh swims rewrite every frame; the
// other bits are left as they are.
namespace RenderFlag {
constexpr std::uint32_t BACK_FACING = 0x2;
constexpr std::uint32_t BEHIND_SHIFT = 2;    // corner k behind the near plane: bit 2 + k
constexpr std::uint32_t BEHIND_ANY = 0x1C;
constexpr std::uint32_t CLIP_SHIFT = 5;      // clip code of corner k: bits 5 + 4k to 8 + 4k
constexpr std::uint32_t CLIP_BITS = 4;
constexpr std::uint32_t PER_CORNER = 0x1FFFC;  // bits 2 to 16
constexpr std::uint32_t REJECTED = 0x20000;    // not in the ordering table this frame
constexpr std::uint32_t ALL_BEHIND = 0x40000;
constexpr std::uint32_t STATIC_CACHED = 0x80000;  // the static-light cache is valid
}  // namespace RenderFlag

// A triangle, and a node of the ordering table: a Cell* may be used as the
// PolygonNode* of its node.
struct Cell {
    // Work space of the near-plane clipper, the caller's.
    static constexpr int CLIP_CELLS = 2;
    static constexpr int CLIP_ATOMS = 4;
    using ClipCells = Cell[CLIP_CELLS];
    using ClipAtoms = Atom[CLIP_ATOMS];

    // Cuts a cell with one or two corners behind the near plane into the
    // triangles in front of it, in cells (corners in atoms): 2, 1, or 0 when
    // no corner is in front. The cell and its atoms are not changed. The
    // first carries the corner colours, the second the map coordinates too.
    static int ClipNear(const Cell& cell, ClipCells& cells, ClipAtoms& atoms);
    static int ClipNearMapped(const Cell& cell, ClipCells& cells, ClipAtoms& atoms);

    PolygonNode node{nullptr, DrawMode::INITIAL, 0, 0};  // type and priority from SetupDrawModes
    float normal[3] = {0.0f, 0.0f, 1.0f};  // unit cell normal, 0, 0, 0 for a degenerate cell
    Atom* corners[3] = {};                 // into the Vector's atoms
    Material* material = nullptr;          // into the Vector's materials
    float colours[9] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};  // rgb per corner
    float cachedLight[9] = {};             // static lights' share per corner
    float uv[6] = {};                      // u, v per corner
    std::uint32_t renderFlags = 0;
};

static_assert(std::is_standard_layout_v<Cell> && offsetof(Cell, node) == 0,
              "the ordering table links cells through their node");

class Vector : public Fish {
public:
    static constexpr std::int32_t TYPE = 13;            // rigid: normals as loaded
    static constexpr std::int32_t DEFORMING_TYPE = 14;  // normals rebuilt every frame

    // An empty mesh, as the scene loader uses for null objects.
    Vector() { type = TYPE; }
    // Destroys the three arrays; the materials release their maps.
    ~Vector() override;

    // The mesh in the archive file name; a new Vector that the caller owns, or
    // null (reported).
    static Vector* Load(const char* name);

    // Load's build step on a whole file in memory: length bytes at file,
    // which stay the caller's and are never read past. Null on failure
    // (reported without the file's name, which Load adds).
    static Vector* Build(const std::uint8_t* file, std::size_t length);

    // Gives every cell the drawer type and priority its material's flags ask
    // for; a material with the additive bit and a map becomes transparent too.
    // Running it again gives the same result.
    void SetupDrawModes();

    // The swim operations on the current object: project, cull and light
    // the cells and append the visible ones to the ordering table. The
    // rigid one turns the loaded normals with the matrix; the deforming one
    // rebuilds cell and atom normals from the camera-space corners. These
    // take the path chosen at start-up (render/geometry_batch.h); the scalar
    // ones are the reference, whose results every path gives to the bit.
    static void SwimRigid();
    static void SwimDeforming();
    static void SwimRigidScalar();
    static void SwimDeformingScalar();

    Matrix matrix;                     // object to camera, written every frame
    std::uint32_t atomCount = 0;
    Atom* atoms = nullptr;             // owned
    std::uint32_t cellCount = 0;
    Cell* cells = nullptr;             // owned
    std::uint32_t materialCount = 0;
    Material* materials = nullptr;     // owned
    std::uint32_t isStatic = 0;        // 1: the transform never changes (scene loader)
};
