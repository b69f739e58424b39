// Mesh loading: the file frame (id, version, checksum over the free text), the
// chunk scan, what lands in atoms, cells and materials, normals, colour maps,
// glass bump maps, and the draw modes that material flags choose.
#include "scene/vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/error.h"
#include "image/texture.h"
#include "tests/scene/vector_fixture.h"
#include "tools/writers/meshwriter.h"

namespace {

using mesh_test::Bytes;
using mesh_test::BuildExact;
using mesh_test::Face;
using mesh_test::MaterialRecord;
using mesh_test::MeshTest;
using mesh_test::PutPicture;
using mesh_test::Triangle;
using mesh_test::Vertex;
using mesh_test::WordsOf;

void ExpectVector3(const float* actual, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(actual[0], x);
    EXPECT_FLOAT_EQ(actual[1], y);
    EXPECT_FLOAT_EQ(actual[2], z);
}

// --- The file frame --------------------------------------------------------

using VectorFrame = MeshTest;

TEST_F(VectorFrame, ASoundFileLoadsEveryRecordWhereItBelongs)
{
    MeshContent content = Triangle();
    content.faces[0].uv[0] = 0.25f;
    content.faces[0].uv[5] = 0.75f;
    VECTOR_FILE_Material& record = content.materials[0];
    record.flags = Material::SMOOTH;
    record.colour[0] = 0.5f;
    record.colour[1] = 0.25f;
    record.colour[2] = 0.125f;
    record.further0 = 0.1f;
    record.fourth = 0.2f;
    record.further1 = 0.3f;
    const std::unique_ptr<Vector> vector = LoadFile("tri.vob", MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_STREQ(Error::Text(), "");
    EXPECT_EQ(vector->type, Vector::TYPE);
    ASSERT_EQ(vector->atomCount, 3u);
    ASSERT_EQ(vector->cellCount, 1u);
    ASSERT_EQ(vector->materialCount, 1u);
    ExpectVector3(vector->atoms[1].position, 1, 0, 0);
    const Cell& cell = vector->cells[0];
    EXPECT_EQ(cell.corners[0], &vector->atoms[0]);
    EXPECT_EQ(cell.corners[2], &vector->atoms[2]);
    EXPECT_EQ(cell.material, &vector->materials[0]);
    EXPECT_EQ(cell.uv[0], 0.25f);
    EXPECT_EQ(cell.uv[5], 0.75f);
    const Material& material = vector->materials[0];
    EXPECT_EQ(material.flags, Material::SMOOTH);
    ExpectVector3(material.colour, 0.5f, 0.25f, 0.125f);
    EXPECT_EQ(material.further[0], 0.1f) << "offset 24 is the first further value";
    EXPECT_EQ(material.fourth, 0.2f) << "offset 28 is the fourth colour value";
    EXPECT_EQ(material.further[1], 0.3f) << "offset 32 is the second further value";
    EXPECT_EQ(vector->isStatic, 0u);
}

TEST_F(VectorFrame, TheChecksumCoversTheFreeTextAndEveryByteUpToTheFileSize)
{
    MeshFile file = MeshLayout(Triangle());
    std::memcpy(file.header.text, "made by hand", 12);
    const Bytes sound = MeshEncode(file);
    ASSERT_NE(BuildExact(sound), nullptr) << Error::Text();

    for (const std::size_t offset : {std::size_t{0}, std::size_t{255}, sound.size() - 1}) {
        Error::Reset();
        Bytes changed = sound;
        changed[offset] ^= 0x40;
        EXPECT_EQ(BuildExact(changed), nullptr) << "byte " << offset;
        EXPECT_STREQ(Error::Text(), "Vector::Load: Checksum failure.\n");
    }
}

TEST_F(VectorFrame, BytesPastTheFileSizeAreNeitherSummedNorScanned)
{
    Bytes bytes = MeshEncode(MeshLayout(Triangle()));
    const MeshChunk stray = MeshFacesChunk({Face(7, 7, 7)});
    bytes.insert(bytes.end(), {'F', 'A', 'C', 'E', 40, 0, 0, 0});
    bytes.insert(bytes.end(), stray.data.begin(), stray.data.end());
    const std::unique_ptr<Vector> vector = BuildExact(bytes);
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(vector->cells[0].corners[0], &vector->atoms[0]);
}

TEST_F(VectorFrame, Version302IsTheFirstAccepted)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.version = 301;
    EXPECT_EQ(BuildExact(MeshEncode(file)), nullptr);
    EXPECT_STREQ(Error::Text(), "Vector::Load: Incompatible fileversions.\n");

    for (const std::uint32_t version : {302u, 303u}) {
        file.header.version = version;
        EXPECT_NE(BuildExact(MeshEncode(file)), nullptr) << version << ": " << Error::Text();
    }
}

TEST_F(VectorFrame, AnotherFileIdIsRefused)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.fileId = PAK_Tag("SCEN");
    EXPECT_EQ(BuildExact(MeshEncode(file)), nullptr);
    EXPECT_STREQ(Error::Text(), "Vector::Load: Corrupt VECTOR_FILE_ID.\n");
}

TEST_F(VectorFrame, ALoadFailureNamesTheInnerFaultThenTheFile)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.version = 1;
    EXPECT_EQ(LoadFile("old.vob", MeshEncode(file)), nullptr);
    EXPECT_STREQ(Error::Text(),
                 "Vector::Load: Incompatible fileversions.\n"
                 "Vector::Load: Error running Vector::Load.( old.vob )\n");
}

TEST_F(VectorFrame, AMissingFileIsReportedByName)
{
    EXPECT_EQ(Vector::Load("gone.vob"), nullptr);
    EXPECT_NE(std::string(Error::Text()).find("Vector::Load: Error reading fish from disk. ( gone.vob )\n"),
              std::string::npos)
        << Error::Text();
}

TEST_F(VectorFrame, AMeshWithNothingInItLoadsWithoutChunks)
{
    MeshFile file;
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(file));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(vector->atomCount, 0u);
    EXPECT_EQ(vector->cellCount, 0u);
    EXPECT_EQ(vector->materialCount, 0u);
}

// --- The chunk scan ---------------------------------------------------------

using VectorChunks = MeshTest;

TEST_F(VectorChunks, UnknownTagsAreSkipped)
{
    MeshFile file = MeshLayout(Triangle());
    const MeshChunk unknown{PAK_Tag("NOTE"), Bytes(13, 0xEE), {}};
    file.chunks.insert(file.chunks.begin(), unknown);
    file.chunks.insert(file.chunks.begin() + 2, unknown);
    file.chunks.push_back(unknown);
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(file));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->atoms[2].position, 0, 1, 0);
}

TEST_F(VectorChunks, TheLastChunkOfATagCounts)
{
    MeshFile file = MeshLayout(Triangle());
    file.chunks.push_back(MeshVerticesChunk({Vertex(5, 0, 0), Vertex(6, 0, 0), Vertex(7, 0, 0)}));
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(file));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(vector->atoms[0].position[0], 5.0f);
    EXPECT_EQ(vector->atoms[2].position[0], 7.0f);
}

TEST_F(VectorChunks, ALongerHeaderMovesTheFirstChunk)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.headerLength = 40;
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(file));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->atoms[1].position, 1, 0, 0);
}

TEST_F(VectorChunks, RecordsBeyondTheCountAreIgnored)
{
    MeshFile file = MeshLayout(Triangle());
    file.header.atomCount = 2;
    file.header.cellCount = 0;
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(file));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(vector->atomCount, 2u);
    EXPECT_EQ(vector->cellCount, 0u);
}

// --- Normals ----------------------------------------------------------------

using VectorNormals = MeshTest;

TEST_F(VectorNormals, AFlatQuadGivesAllFourAtomsTheCellNormal)
{
    MeshContent content;
    content.vertices = {Vertex(0, 0, 2), Vertex(3, 0, 2), Vertex(3, 3, 2), Vertex(0, 3, 2)};
    content.faces = {Face(0, 1, 2), Face(0, 2, 3)};
    content.materials = {MaterialRecord(0)};
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    for (std::uint32_t i = 0; i < vector->cellCount; ++i)
        ExpectVector3(vector->cells[i].normal, 0, 0, 1);
    for (std::uint32_t i = 0; i < vector->atomCount; ++i)
        ExpectVector3(vector->atoms[i].normal, 0, 0, 1);
}

TEST_F(VectorNormals, TheWindingChoosesTheSideAndSizeDoesNotMatter)
{
    MeshContent content;
    content.vertices = {Vertex(0, 0, 0), Vertex(0, 5, 0), Vertex(0, 0, 7)};
    content.faces = {Face(0, 1, 2), Face(0, 2, 1)};
    content.materials = {MaterialRecord(0)};
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->cells[0].normal, 1, 0, 0);
    ExpectVector3(vector->cells[1].normal, -1, 0, 0);
}

TEST_F(VectorNormals, AnAtomSharedByTwoFacesGetsTheirNormalisedSum)
{
    MeshContent content;
    // A fold along the x axis: one cell faces +z, the other +y.
    content.vertices = {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0), Vertex(0, 0, -1)};
    content.faces = {Face(0, 1, 2), Face(0, 1, 3)};
    content.materials = {MaterialRecord(0)};
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->cells[0].normal, 0, 0, 1);
    ExpectVector3(vector->cells[1].normal, 0, 1, 0);
    const float half = std::sqrt(0.5f);
    ExpectVector3(vector->atoms[0].normal, 0, half, half);
    ExpectVector3(vector->atoms[1].normal, 0, half, half);
    ExpectVector3(vector->atoms[2].normal, 0, 0, 1);
    ExpectVector3(vector->atoms[3].normal, 0, 1, 0);
}

TEST_F(VectorNormals, ADegenerateCellHasNoNormalAndAddsNothing)
{
    MeshContent content;
    content.vertices = {Vertex(1, 1, 1), Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0)};
    content.faces = {Face(0, 0, 0), Face(1, 2, 3), Face(1, 2, 2)};
    content.materials = {MaterialRecord(0)};
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->cells[0].normal, 0, 0, 0);
    ExpectVector3(vector->cells[2].normal, 0, 0, 0);
    ExpectVector3(vector->atoms[0].normal, 0, 0, 0);
    ExpectVector3(vector->atoms[1].normal, 0, 0, 1);
    ExpectVector3(vector->atoms[2].normal, 0, 0, 1);
}

TEST_F(VectorNormals, AnAtomNoCellUsesKeepsAFiniteZeroNormal)
{
    MeshContent content = Triangle();
    content.vertices.push_back(Vertex(9, 9, 9));
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(vector, nullptr) << Error::Text();
    ExpectVector3(vector->atoms[3].normal, 0, 0, 0);
}

// --- Draw modes -------------------------------------------------------------

struct DrawModeRow {
    std::uint32_t flags;
    std::int32_t type;
    std::uint32_t priority;
    std::uint32_t flagsAfter;
};

// A mesh of one cell per row, built in memory: SetupDrawModes needs no file.
class VectorDrawModes : public ::testing::Test {
protected:
    void Use(const std::vector<DrawModeRow>& rows)
    {
        vector_.cellCount = vector_.materialCount = static_cast<std::uint32_t>(rows.size());
        vector_.cells = new Cell[rows.size()];
        vector_.materials = new Material[rows.size()];
        for (std::size_t i = 0; i < rows.size(); ++i) {
            vector_.materials[i].flags = rows[i].flags;
            vector_.cells[i].material = &vector_.materials[i];
        }
    }

    void ExpectRows(const std::vector<DrawModeRow>& rows)
    {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << rows[i].flags);
            EXPECT_EQ(vector_.cells[i].node.type, rows[i].type);
            EXPECT_EQ(vector_.cells[i].node.priority, rows[i].priority);
            EXPECT_EQ(vector_.materials[i].flags, rows[i].flagsAfter);
        }
    }

    Vector vector_;
};

const std::vector<DrawModeRow> OUTCOMES = {
    {0x00, 7, 250, 0x00},   {0x02, 7, 250, 0x02},   {0x04, 7, 250, 0x04},   {0x20, 7, 250, 0x20},
    {0x01, 9, 240, 0x01},   {0x03, 9, 240, 0x03},   {0x21, 9, 240, 0x21},   {0x10, 8, 250, 0x10},
    {0x08, 8, 250, 0x08},   {0x18, 8, 250, 0x18},   {0x12, 8, 250, 0x12},   {0x05, 14, 240, 0x05},
    {0x27, 14, 240, 0x27},  {0x11, 11, 240, 0x11},  {0x09, 11, 240, 0x09},  {0x19, 11, 240, 0x19},
    {0x14, 10, 240, 0x15},  {0x0C, 10, 240, 0x0D},  {0x15, 10, 240, 0x15},  {0x1D, 10, 240, 0x1D},
    {0x1C, 10, 240, 0x1D},
};

TEST_F(VectorDrawModes, EveryFlagCombinationGetsItsDrawerAndPriority)
{
    Use(OUTCOMES);
    for (std::uint32_t i = 0; i < vector_.cellCount; ++i)
        EXPECT_EQ(vector_.cells[i].node.type, DrawMode::INITIAL);
    vector_.SetupDrawModes();
    ExpectRows(OUTCOMES);
}

TEST_F(VectorDrawModes, RunningItAgainChangesNothing)
{
    Use(OUTCOMES);
    vector_.SetupDrawModes();
    vector_.SetupDrawModes();
    ExpectRows(OUTCOMES);
}

TEST_F(VectorDrawModes, ACellFollowsItsMaterialWhenTheFlagsChange)
{
    Use({{0x10, 8, 250, 0x10}});
    vector_.SetupDrawModes();
    vector_.materials[0].flags |= Material::TRANSPARENT;
    vector_.SetupDrawModes();
    ExpectRows({{0x11, 11, 240, 0x11}});
    vector_.materials[0].flags &= ~Material::TRANSPARENT;
    vector_.SetupDrawModes();
    ExpectRows({{0x10, 8, 250, 0x10}});
}

TEST(VectorObject, ANewVectorIsAnEmptyMeshOfType13)
{
    const Vector vector;
    EXPECT_EQ(vector.type, 13);
    EXPECT_EQ(vector.atoms, nullptr);
    EXPECT_EQ(vector.cells, nullptr);
    EXPECT_EQ(vector.materials, nullptr);
    EXPECT_EQ(vector.isStatic, 0u);
    EXPECT_EQ(vector.matrix.m[0], 1.0f);
    const Cell cell;
    EXPECT_EQ(reinterpret_cast<const PolygonNode*>(&cell), &cell.node);
    EXPECT_EQ(cell.node.type, 1);
    const Atom atom;
    EXPECT_EQ(atom.reciprocalDepth, 1.0f);
    ExpectVector3(atom.normal, 0, 0, 1);
    ExpectVector3(atom.colour, 1, 1, 1);
}

// --- Colour maps and glass bump maps ----------------------------------------

using VectorMaps = MeshTest;

const Bytes BLACK_WHITE = {0, 0, 0, 255, 255, 255};

MeshContent WithMaterial(const VECTOR_FILE_Material& material)
{
    MeshContent content = Triangle();
    content.materials = {material};
    return content;
}

TEST_F(VectorMaps, AColourMapSetsTheMapSizeAndMasks)
{
    PutPicture("stone.tga", 4, 2, Bytes(4 * 2 * 3, 9));
    VECTOR_FILE_Material record = MaterialRecord(Material::COLOUR_MAP);
    MeshSetName(record.colourMapName, "stone.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    const Material& material = vector->materials[0];
    ASSERT_NE(material.colourMap, nullptr);
    EXPECT_STREQ(material.colourMap->name, "STONE.TGA");
    EXPECT_EQ(material.mapWidth, 4);
    EXPECT_EQ(material.mapHeight, 2);
    EXPECT_EQ(material.uMask, 0x300u);
    EXPECT_EQ(material.vMask, 0x100u);
    EXPECT_EQ(material.widthShift, 2u);
    EXPECT_EQ(vector->cells[0].node.type, DrawMode::OPAQUE_MAPPED);
}

TEST_F(VectorMaps, AnAdditiveMappedMaterialBecomesTransparent)
{
    PutPicture("glow.tga", 1, 1, {1, 2, 3});
    VECTOR_FILE_Material record = MaterialRecord(0x14);
    MeshSetName(record.colourMapName, "glow.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(vector->materials[0].flags, 0x15u);
    EXPECT_EQ(vector->cells[0].node.type, 10);
    EXPECT_EQ(vector->cells[0].node.priority, 240u);
}

TEST_F(VectorMaps, TheEnvironmentMapReplacesTheColourMapAndGivesItBack)
{
    PutPicture("first.tga", 2, 2, Bytes(12, 1));
    PutPicture("chrome.tga", 8, 1, Bytes(24, 2));
    VECTOR_FILE_Material record = MaterialRecord(Material::COLOUR_MAP | Material::ENVIRONMENT);
    MeshSetName(record.colourMapName, "first.tga");
    MeshSetName(record.secondMapName, "chrome.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    const Material& material = vector->materials[0];
    ASSERT_NE(material.colourMap, nullptr);
    EXPECT_STREQ(material.colourMap->name, "CHROME.TGA");
    EXPECT_EQ(material.mapWidth, 8);
    EXPECT_EQ(material.widthShift, 3u);
    for (const Texture* texture = Texture::First(); texture != nullptr; texture = texture->next)
        EXPECT_STRNE(texture->name, "FIRST.TGA") << "the replaced map is given back, not leaked";
}

TEST_F(VectorMaps, AMapThatIsNoPowerOfTwoIsRefused)
{
    PutPicture("odd.tga", 3, 2, Bytes(18, 1));
    VECTOR_FILE_Material record = MaterialRecord(Material::COLOUR_MAP);
    MeshSetName(record.colourMapName, "odd.tga");
    EXPECT_EQ(LoadFile("odd.vob", MeshEncode(MeshLayout(WithMaterial(record)))), nullptr);
    EXPECT_STREQ(Error::Text(),
                 "Material::SetupMap: Map doesn't have 2^n width.\n"
                 "Vector::Load: Error loading texture. ( odd.tga )\n"
                 "Vector::Load: Error running Vector::Load.( odd.vob )\n");
}

TEST_F(VectorMaps, AMissingPictureIsNamedAfterTheTexturesOwnMessages)
{
    VECTOR_FILE_Material record = MaterialRecord(Material::ENVIRONMENT);
    MeshSetName(record.colourMapName, "unused.tga");
    MeshSetName(record.secondMapName, "gone.tga");
    EXPECT_EQ(BuildExact(MeshEncode(MeshLayout(WithMaterial(record)))), nullptr);
    const std::string text = Error::Text();
    EXPECT_NE(text.find("Texture::Load: Error loading picture. ( gone.tga)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Vector::Load: Error loading texture. ( gone.tga )\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("unused"), std::string::npos) << "only the flagged name is loaded";
}

TEST_F(VectorMaps, ABlackAndWhiteBumpPictureBecomesTwoGradientWords)
{
    PutPicture("bump.tga", 2, 1, BLACK_WHITE);
    VECTOR_FILE_Material record = MaterialRecord(Material::BUMP_PICTURE);
    MeshSetName(record.bumpPictureName, "bump.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    const Material& material = vector->materials[0];
    ASSERT_NE(material.bumpMap, nullptr);
    EXPECT_EQ(material.bumpMap->use, Texture::USE_BUMP_SOURCE);
    EXPECT_EQ(material.bumpMap->bits, 32);
    EXPECT_EQ(material.mapWidth, 2);
    EXPECT_EQ(material.mapHeight, 1);
    EXPECT_EQ(material.colourMap, nullptr);
    // Low byte: a single row compares each texel with itself (32). High byte:
    // left minus right plus 32, the edge texel standing in for its missing neighbour.
    EXPECT_EQ(WordsOf(*material.bumpMap), (std::vector<std::uint16_t>{0x0120, 0x0120}));
}

TEST_F(VectorMaps, BumpHeightsAverageTheTopFiveBitsOfEachColour)
{
    // Heights 0, (1 + 2 + 31) / 3 = 11 and 31 in one row.
    PutPicture("ramp.tga", 3, 1, {0, 0, 0, 8, 16, 255, 255, 255, 255});
    VECTOR_FILE_Material record = MaterialRecord(Material::BUMP_PICTURE);
    MeshSetName(record.bumpPictureName, "ramp.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(WordsOf(*vector->materials[0].bumpMap),
              (std::vector<std::uint16_t>{(0 - 11 + 32) << 8 | 32, (0 - 31 + 32) << 8 | 32,
                                          (11 - 31 + 32) << 8 | 32}));
}

TEST_F(VectorMaps, ColumnsGiveTheVerticalGradientInTheLowByte)
{
    PutPicture("column.tga", 1, 2, BLACK_WHITE);
    VECTOR_FILE_Material record = MaterialRecord(Material::BUMP_PICTURE);
    MeshSetName(record.bumpPictureName, "column.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    EXPECT_EQ(WordsOf(*vector->materials[0].bumpMap), (std::vector<std::uint16_t>{0x2001, 0x2001}));
}

TEST_F(VectorMaps, ASharedBumpPictureIsConvertedOnce)
{
    PutPicture("shared.tga", 2, 1, BLACK_WHITE);
    VECTOR_FILE_Material record = MaterialRecord(Material::BUMP_PICTURE);
    MeshSetName(record.bumpPictureName, "shared.tga");
    MeshContent content = WithMaterial(record);
    content.materials.push_back(record);
    const std::unique_ptr<Vector> first = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(first, nullptr) << Error::Text();
    const std::unique_ptr<Vector> second = BuildExact(MeshEncode(MeshLayout(content)));
    ASSERT_NE(second, nullptr) << Error::Text();
    const Texture* const bump = second->materials[1].bumpMap;
    EXPECT_EQ(bump, first->materials[0].bumpMap);
    EXPECT_EQ(bump->references, 4u);
    EXPECT_EQ(WordsOf(*bump), (std::vector<std::uint16_t>{0x0120, 0x0120}));
}

TEST_F(VectorMaps, ABumpPictureKeepsTheColourMapsMasks)
{
    PutPicture("paint.tga", 4, 4, Bytes(48, 7));
    PutPicture("dent.tga", 2, 1, BLACK_WHITE);
    VECTOR_FILE_Material record = MaterialRecord(Material::COLOUR_MAP | Material::BUMP_PICTURE);
    MeshSetName(record.colourMapName, "paint.tga");
    MeshSetName(record.bumpPictureName, "dent.tga");
    const std::unique_ptr<Vector> vector = BuildExact(MeshEncode(MeshLayout(WithMaterial(record))));
    ASSERT_NE(vector, nullptr) << Error::Text();
    const Material& material = vector->materials[0];
    EXPECT_EQ(material.mapWidth, 2) << "the bump picture's size is the last copied";
    EXPECT_EQ(material.mapHeight, 1);
    EXPECT_EQ(material.uMask, 0x300u);
    EXPECT_EQ(material.vMask, 0x300u);
    EXPECT_STREQ(material.colourMap->name, "PAINT.TGA");
    EXPECT_STREQ(material.bumpMap->name, "DENT.TGA");
}

}  // namespace
