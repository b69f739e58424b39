// aqtool mesh: a mesh comes out as the demo loads it, one JSON object whose
// floats read back exactly, with maps by upper-cased name and the glass bump
// map's words; a bad mesh fails with the loader's messages.
#include <gtest/gtest.h>

#include <string>

#include "tests/scene/vector_fixture.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/pakwriter.h"
#include "tools/writers/tgawriter.h"

namespace {

using mesh_test::Bytes;
using mesh_test::MaterialRecord;
using mesh_test::Triangle;
using mesh_test::Vertex;
using test_support::Aqtool;
using test_support::AqtoolOutcome;

class MeshCommand : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

bool Holds(const std::string& text, const std::string& fragment)
{
    return text.find(fragment) != std::string::npos;
}

TEST_F(MeshCommand, PrintsASmallMeshAsOneJsonObject)
{
    MeshContent content = Triangle();
    content.vertices[0] = Vertex(0.1f, -2.5f, 0);
    content.faces[0].uv[1] = 0.1f;
    content.materials[0].colour[1] = 0.5f;
    content.materials[0].further1 = 0.25f;
    ASSERT_TRUE(WriteBytesFile("tri.vob", MeshEncode(MeshLayout(content))));
    const AqtoolOutcome outcome = Aqtool({"mesh", "tri.vob"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // The cell normal's y is 0 × -0.1 - 0.9 × 0, a negative zero: it prints
    // as -0 and reads back as the same float.
    EXPECT_EQ(outcome.out,
              "{\"atoms\": [{\"position\": [0.100000001, -2.5, 0], \"normal\": [0, 0, 1]}, "
              "{\"position\": [1, 0, 0], \"normal\": [0, 0, 1]}, "
              "{\"position\": [0, 1, 0], \"normal\": [0, 0, 1]}], "
              "\"cells\": [{\"corners\": [0, 1, 2], \"normal\": [0, -0, 1], \"type\": 7, \"priority\": 250, "
              "\"uv\": [0, 0.100000001, 0, 0, 0, 0], \"material\": 0}], "
              "\"materials\": [{\"flags\": 0, \"colour\": [1, 0.5, 1], \"fourth\": 1, \"further\": [0, 0.25], "
              "\"map_width\": 0, \"map_height\": 0, \"u_mask\": 0, \"v_mask\": 0, \"width_shift\": 0, "
              "\"colour_map\": null, \"bump_map\": null, \"bump_words\": null}]}\n");
    EXPECT_EQ(outcome.err, "");
}

TEST_F(MeshCommand, ReadsTheDemosArchiveAndShowsItsMaps)
{
    TgaPicture wall;
    wall.width = 4;
    wall.height = 2;
    wall.pixels = Bytes(4 * 2 * 3, 100);
    TgaPicture bump;
    bump.width = 2;
    bump.height = 1;
    bump.topFirst = true;
    bump.pixels = {0, 0, 0, 255, 255, 255};
    VECTOR_FILE_Material material = MaterialRecord(Material::COLOUR_MAP | Material::ADDITIVE | Material::BUMP_PICTURE);
    MeshSetName(material.colourMapName, "pics\\wall.tga");
    MeshSetName(material.bumpPictureName, "pics\\bump.tga");
    MeshContent content = Triangle();
    content.materials = {material};
    PakWriter archive;
    ASSERT_TRUE(archive.Add("MESHES\\TRI.VOB", MeshEncode(MeshLayout(content))));
    ASSERT_TRUE(archive.Add("PICS\\WALL.TGA", TgaEncode(wall)));
    ASSERT_TRUE(archive.Add("PICS\\BUMP.TGA", TgaEncode(bump)));
    ASSERT_TRUE(archive.Write("dovra.kzp"));

    const AqtoolOutcome outcome = Aqtool({"mesh", "meshes\\tri.vob"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string& out = outcome.out;
    EXPECT_TRUE(Holds(out, "\"flags\": 53, ")) << out;
    EXPECT_TRUE(Holds(out, "\"type\": 10, \"priority\": 240")) << out;
    EXPECT_TRUE(Holds(out, "\"map_width\": 2, \"map_height\": 1, \"u_mask\": 768, \"v_mask\": 256, "
                           "\"width_shift\": 2"))
        << out;
    EXPECT_TRUE(Holds(out, "\"colour_map\": \"PICS\\\\WALL.TGA\", \"bump_map\": \"PICS\\\\BUMP.TGA\", "
                           "\"bump_words\": [288, 288]}"))
        << out;
}

TEST_F(MeshCommand, AMissingMeshFailsWithTheLoadersMessage)
{
    const AqtoolOutcome outcome = Aqtool({"mesh", "gone.vob"});
    EXPECT_NE(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(Holds(outcome.err, "Vector::Load: Error reading fish from disk. ( gone.vob )\n")) << outcome.err;
}

TEST_F(MeshCommand, ABrokenMeshFailsWithTheInnerMessageFirst)
{
    Bytes bytes = MeshEncode(MeshLayout(Triangle()));
    bytes[0] ^= 1;
    ASSERT_TRUE(WriteBytesFile("bad.vob", bytes));
    const AqtoolOutcome outcome = Aqtool({"mesh", "bad.vob"});
    EXPECT_NE(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(Holds(outcome.err, "Vector::Load: Checksum failure.\n"
                                   "Vector::Load: Error running Vector::Load.( bad.vob )\n"))
        << outcome.err;
}

}  // namespace
