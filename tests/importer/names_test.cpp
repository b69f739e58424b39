// Names from a model are never trusted: whatever a node, mesh, material or
// picture is called, the importer's stem of it stays one plain file name in
// its folder, short, and unique without regard to case; the scene's own
// name must be a plain path inside the tree.
#include "tools/importer/names.h"

#include <gtest/gtest.h>

namespace {

using importer::SafeStem;

TEST(ImportNames, AnUntrustedNameBecomesAPlainShortStem)
{
    const struct {
        std::string untrusted;
        std::string stem;
    } CASES[] = {
        {"Cube.001", "cube_001"},
        {"../../etc/passwd", "etc_passwd"},
        {"C:\\Windows\\win.ini", "c_windows_win_ini"},
        {std::string("bell\a\x01tab\t") + "\xC3\xA9t\xC3\xA9", "bell_tab_t"},
        {"...", "object"},
        {"", "object"},
        {std::string(300, 'x'), std::string(importer::MAX_STEM, 'x')},
    };
    for (const auto& c : CASES)
        EXPECT_EQ(SafeStem(c.untrusted, "object"), c.stem) << c.untrusted;
}

TEST(ImportNames, StemsOfOneFolderAreUniqueWithoutRegardToCase)
{
    importer::UniqueStems stems;
    EXPECT_EQ(stems.Take("wheel"), "wheel");
    EXPECT_EQ(stems.Take("Wheel"), "wheel_2");
    EXPECT_EQ(stems.Take("wheel_2"), "wheel_2_2");
    EXPECT_EQ(stems.Take("wheel"), "wheel_3");
}

TEST(ImportNames, TheScenesNameIsAPlainPathWhoseNeighboursHoldTheMeshesAndPictures)
{
    importer::SceneNames names;
    std::string why;
    ASSERT_TRUE(importer::ParseSceneName("data/mine/scenes/Mine.scn", names, why)) << why;
    EXPECT_EQ(names.scene, "data\\mine\\scenes\\Mine.scn");
    EXPECT_EQ(names.objects, "data\\mine\\objects\\");
    EXPECT_EQ(names.pictures, "data\\mine\\pictures\\");
    EXPECT_EQ(importer::DiskPath("tree", names.objects + "a.vob"), "tree/data/mine/objects/a.vob");
    for (const char* refused :
         {"mine.scn", "scenes\\mine.scn", "data\\..\\scenes\\mine.scn", "/data/mine/scenes/mine.scn",
          "data\\mine\\scenes\\mine.vob", "C:\\data\\scenes\\mine.scn", "data\\mine\\scenes\\.scn"}) {
        EXPECT_FALSE(importer::ParseSceneName(refused, names, why)) << refused;
        EXPECT_FALSE(why.empty());
    }
}

}  // namespace
