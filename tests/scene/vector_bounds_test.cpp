// Files that lie about their own shape: sizes, headers and chunks past their
// ends, counts without records, indices past the arrays, unterminated names.
// Each is refused by message after reading only inside an exact heap buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "host/error.h"
#include "scene/vector.h"
#include "tests/scene/vector_fixture.h"
#include "tools/writers/meshwriter.h"

namespace {

using mesh_test::Bytes;
using mesh_test::BuildExact;
using mesh_test::Face;
using mesh_test::MaterialRecord;
using mesh_test::MeshTest;
using mesh_test::Triangle;

using VectorBounds = MeshTest;

void ExpectRefused(const Bytes& bytes, const char* message)
{
    Error::Reset();
    EXPECT_EQ(BuildExact(bytes), nullptr);
    EXPECT_STREQ(Error::Text(), message);
}

TEST_F(VectorBounds, AFileTooShortForTheHeaderFields)
{
    const Bytes sound = MeshEncode(MeshFile());
    ExpectRefused(Bytes(), "Vector::Load: File too short for its header.\n");
    ExpectRefused(Bytes(sound.begin(), sound.end() - 1), "Vector::Load: File too short for its header.\n");
}

TEST_F(VectorBounds, AFileSizeBeyondTheBuffer)
{
    Bytes bytes = MeshEncode(MeshLayout(Triangle()));
    bytes.pop_back();
    ExpectRefused(bytes, "Vector::Load: File size runs past the end of the file.\n");
}

TEST_F(VectorBounds, AHeaderShorterThanItsFields)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.headerLength = 23;
    ExpectRefused(MeshEncode(file), "Vector::Load: Header shorter than its fields.\n");
}

TEST_F(VectorBounds, AHeaderLengthThatPutsTheFirstChunkPastTheFileSize)
{
    for (const std::uint32_t length : {25u, 0xFFFFFFFFu}) {
        Bytes bytes = MeshEncode(MeshFile());
        std::memcpy(bytes.data() + offsetof(VECTOR_FILE_Header, headerLength), &length, sizeof length);
        MeshSeal(bytes);
        ExpectRefused(bytes, "Vector::Load: Header runs past the file size.\n");
    }
}

// A file of one chunk of tag, its head cut 4 bytes short by the file size.
Bytes WithCutChunkHead(std::uint32_t tag)
{
    MeshFile file;
    file.chunks = {MeshChunk{tag, {}, {}}};
    Bytes bytes = MeshEncode(file);
    bytes.resize(bytes.size() - 4);
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(bytes.data() + offsetof(VECTOR_FILE_Header, fileSize), &size, 4);
    MeshSeal(bytes);
    return bytes;
}

TEST_F(VectorBounds, AKnownChunkHeadCutByTheFileSize)
{
    ExpectRefused(WithCutChunkHead(VECTOR_VERTICES_TAG), "Vector::Load: Chunk runs past the file size.\n");
}

TEST_F(VectorBounds, AnUnknownChunkRunningPastTheFileSizeEndsTheScan)
{
    Error::Reset();
    EXPECT_NE(BuildExact(WithCutChunkHead(PAK_Tag("NOTE"))), nullptr) << Error::Text();

    // The chunks before it count; a known chunk after it is never reached.
    MeshFile file = MeshLayout(Triangle());
    file.chunks.insert(file.chunks.end() - 1, MeshChunk{PAK_Tag("NOTE"), {1, 2, 3}, 0xFFFFFFF0u});
    Error::Reset();
    const std::unique_ptr<Vector> cut(BuildExact(MeshEncode(file)));
    EXPECT_EQ(cut, nullptr);
    EXPECT_STREQ(Error::Text(), "Vector::Load: Missing MSPC chunk.\n");
    std::rotate(file.chunks.begin() + 2, file.chunks.begin() + 3, file.chunks.end());  // NOTE last
    Error::Reset();
    EXPECT_NE(BuildExact(MeshEncode(file)), nullptr) << Error::Text();
}

TEST_F(VectorBounds, AChunkLengthPastTheFileSize)
{
    MeshFile file = MeshLayout(Triangle());
    file.chunks[2].declaredLength = static_cast<std::uint32_t>(file.chunks[2].data.size() + 1);
    ExpectRefused(MeshEncode(file), "Vector::Load: Chunk runs past the file size.\n");
    file.chunks[2].declaredLength = 0xFFFFFFFF;
    ExpectRefused(MeshEncode(file), "Vector::Load: Chunk runs past the file size.\n");
}

TEST_F(VectorBounds, AChunkWithTooFewRecordsForItsCount)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.atomCount = 4;
    ExpectRefused(MeshEncode(file), "Vector::Load: Too few records in VERT chunk.\n");

    file = MeshLayout(Triangle());
    file.chunks[1].data.pop_back();
    ExpectRefused(MeshEncode(file), "Vector::Load: Too few records in FACE chunk.\n");

    file = MeshLayout(Triangle());
    file.header.materialCount = 0xFFFFFFFF;
    ExpectRefused(MeshEncode(file), "Vector::Load: Too few records in MSPC chunk.\n");
}

TEST_F(VectorBounds, AMissingChunkWhoseCountIsNotZero)
{
    const char* const tags[] = {"VERT", "FACE", "MSPC"};  // in MeshLayout's chunk order
    for (int dropped = 0; dropped < 3; ++dropped) {
        MeshFile file = MeshLayout(Triangle());
        file.chunks.erase(file.chunks.begin() + dropped);
        const std::string message = std::string("Vector::Load: Missing ") + tags[dropped] + " chunk.\n";
        ExpectRefused(MeshEncode(file), message.c_str());
    }
}

TEST_F(VectorBounds, CornerAndMaterialIndicesOutOfRange)
{
    for (const std::uint32_t corner : {0u, 1u, 2u}) {
        MeshContent content = Triangle();
        content.faces[0].corners[corner] = 3;
        ExpectRefused(MeshEncode(MeshLayout(content)), "Vector::Load: Corner index out of range.\n");
    }
    MeshContent content = Triangle();
    content.faces[0].material = 1;
    ExpectRefused(MeshEncode(MeshLayout(content)), "Vector::Load: Material index out of range.\n");
    content.faces[0].material = 0;
    content.materials.clear();
    ExpectRefused(MeshEncode(MeshLayout(content)), "Vector::Load: Material index out of range.\n");
}

TEST_F(VectorBounds, AUsedMapNameMustEndInsideItsField)
{
    for (const std::uint32_t flag : {Material::COLOUR_MAP, Material::ENVIRONMENT, Material::BUMP_PICTURE}) {
        MeshContent content = Triangle();
        VECTOR_FILE_Material& record = content.materials[0];
        std::memset(record.colourMapName, 'A', VECTOR_NAME_SIZE);
        std::memset(record.secondMapName, 'B', VECTOR_NAME_SIZE);
        std::memset(record.bumpPictureName, 'C', VECTOR_NAME_SIZE);
        record.flags = flag;
        ExpectRefused(MeshEncode(MeshLayout(content)), "Vector::Load: Map name not terminated.\n");
        record.flags = Material::SMOOTH;
        Error::Reset();
        EXPECT_NE(BuildExact(MeshEncode(MeshLayout(content))), nullptr)
            << "an unused name is never read: " << Error::Text();
    }
}

// Every float the loader takes is finite, or the file is refused, named by
// the chunk that holds it; the loader's caller then names the file.
TEST_F(VectorBounds, ANumberThatIsNotFiniteIsRefusedWhereverItStands)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        void (*spoil)(MeshContent&, float);
        const char* message;
    };
    const Case cases[] = {
        {"a vertex", [](MeshContent& c, float v) { c.vertices[2].z = v; },
         "Vector::Load: Number that is not finite in VERT chunk.\n"},
        {"a map coordinate", [](MeshContent& c, float v) { c.faces[0].uv[5] = v; },
         "Vector::Load: Number that is not finite in FACE chunk.\n"},
        {"a colour", [](MeshContent& c, float v) { c.materials[0].colour[1] = v; },
         "Vector::Load: Number that is not finite in MSPC chunk.\n"},
        {"the first further value", [](MeshContent& c, float v) { c.materials[0].further0 = v; },
         "Vector::Load: Number that is not finite in MSPC chunk.\n"},
        {"the fourth colour value", [](MeshContent& c, float v) { c.materials[0].fourth = v; },
         "Vector::Load: Number that is not finite in MSPC chunk.\n"},
        {"the transparency", [](MeshContent& c, float v) { c.materials[0].further1 = v; },
         "Vector::Load: Number that is not finite in MSPC chunk.\n"},
    };
    for (const Case& test : cases) {
        for (const float value : {inf, -inf, nan}) {
            SCOPED_TRACE(std::string(test.what) + " " + std::to_string(value));
            MeshContent content = Triangle();
            test.spoil(content, value);
            ExpectRefused(MeshEncode(MeshLayout(content)), test.message);
        }
    }
    MeshContent huge = Triangle();
    huge.vertices[1].x = std::numeric_limits<float>::max();
    Error::Reset();
    EXPECT_NE(BuildExact(MeshEncode(MeshLayout(huge))), nullptr) << "the largest finite number is a number";
}

TEST_F(VectorBounds, EveryCutOfASoundFileIsRefused)
{
    MeshContent content = Triangle();
    content.faces.push_back(Face(2, 1, 0));
    content.materials.push_back(MaterialRecord(Material::TRANSPARENT));
    content.faces[1].material = 1;
    const Bytes sound = MeshEncode(MeshLayout(content));
    for (std::size_t length = 0; length < sound.size(); ++length) {
        Error::Reset();
        EXPECT_EQ(BuildExact(Bytes(sound.begin(), sound.begin() + length)), nullptr) << length;
        if (length < sizeof(VECTOR_FILE_Header))
            continue;
        Bytes resized(sound.begin(), sound.begin() + length);
        const std::uint32_t size = static_cast<std::uint32_t>(length);
        std::memcpy(resized.data() + offsetof(VECTOR_FILE_Header, fileSize), &size, 4);
        MeshSeal(resized);
        Error::Reset();
        EXPECT_EQ(BuildExact(resized), nullptr) << "file size " << length;
        EXPECT_EQ(std::string(Error::Text()).rfind("Vector::Load: ", 0), 0u) << Error::Text();
    }
}

TEST_F(VectorBounds, ARefusedFileLeavesNoTextureBehind)
{
    MeshContent content = Triangle();
    content.materials[0].flags = Material::COLOUR_MAP;
    MeshSetName(content.materials[0].colourMapName, "never.tga");
    content.faces[0].corners[1] = 9;
    ExpectRefused(MeshEncode(MeshLayout(content)), "Vector::Load: Corner index out of range.\n");
    EXPECT_EQ(Texture::First(), nullptr) << "the file is checked whole before any map is loaded";
}

}  // namespace
