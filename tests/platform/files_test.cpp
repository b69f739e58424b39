// Data-file names on the disk: Windows names with back-slashes, found as
// spelled or, failing that, component by component without regard to case.
// Each test works in a scratch directory of its own, its working directory.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scratch_directory.h"

namespace platform {
namespace {

class DataFiles : public ::testing::Test {
protected:
    static void Write(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // The content of the file OpenDataFile opens for name; "(none)" when none.
    static std::string Content(const char* name)
    {
        std::FILE* const file = OpenDataFile(name);
        if (file == nullptr)
            return "(none)";
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;)
            text += static_cast<char>(c);
        std::fclose(file);
        return text;
    }

    test_support::ScratchDirectory scratch_;
};

TEST_F(DataFiles, BackSlashesBecomeDirectories)
{
    EXPECT_EQ(DiskName("data\\intro\\scenes\\cut1.scn"), "data/intro/scenes/cut1.scn");
    EXPECT_EQ(DiskName("Already/Unix"), "Already/Unix");
    Write("data/intro/scenes/cut1.scn", "cut one");
    EXPECT_EQ(FindDataFile("data\\intro\\scenes\\cut1.scn"), "data/intro/scenes/cut1.scn");
    EXPECT_EQ(Content("data\\intro\\scenes\\cut1.scn"), "cut one");
}

TEST_F(DataFiles, EveryComponentIsMatchedWithoutRegardToCase)
{
    Write("data/textures/water.tga", "water");
    EXPECT_EQ(FindDataFile("DATA\\TEXTURES\\WATER.TGA"), "data/textures/water.tga");
    EXPECT_EQ(FindDataFile("Data/Textures/water.TGA"), "data/textures/water.tga");
    EXPECT_EQ(FindDataFile((scratch_.Path() + "\\DATA\\TEXTURES\\WATER.TGA").c_str()),
              scratch_.Path() + "/data/textures/water.tga")
        << "absolute names too";
    EXPECT_EQ(FindDataFile("DATA\\\\TEXTURES\\.\\..\\TEXTURES\\WATER.TGA"),
              "data/textures/./../textures/water.tga");
    EXPECT_EQ(FindDataFile("DATA\\TEXTURES\\WATER.TGAX"), "");
    EXPECT_EQ(FindDataFile("DATA\\TEXTURE\\WATER.TGA"), "");
    EXPECT_EQ(Content("DATA\\TEXTURES\\MISSING.TGA"), "(none)");
}

TEST_F(DataFiles, AmongSeveralSpellingsTheNameAsGivenWinsThenByteOrder)
{
    Write("data/file.txt", "lower");
    Write("DATA/FILE.TXT", "upper");
    Write("data/only.txt", "only in lower");
    EXPECT_EQ(Content("data\\file.txt"), "lower");
    EXPECT_EQ(Content("DATA\\FILE.TXT"), "upper");
    EXPECT_EQ(Content("Data\\File.txt"), "upper") << "'D' sorts before 'd'";
    EXPECT_EQ(Content("data\\FILE.TXT"), "lower") << "the directory as spelled comes first";
    EXPECT_EQ(Content("Data\\ONLY.TXT"), "only in lower") << "a dead end is left for the next spelling";
}

// A repeated lookup is answered from memory only while the answer holds.
TEST_F(DataFiles, ARepeatedLookupFollowsAFileThatWasRenamedOrAWorkingDirectoryThatChanged)
{
    Write("data/show.kzp", "first");
    EXPECT_EQ(Content("DATA\\SHOW.KZP"), "first");
    std::filesystem::rename("data/show.kzp", "data/Show.kzp");
    EXPECT_EQ(FindDataFile("DATA\\SHOW.KZP"), "data/Show.kzp");
    Write("elsewhere/data/Show.kzp", "second");  // the remembered path, true here too
    ASSERT_EQ(chdir("elsewhere"), 0);
    Write("Data/Show.kzp", "third");
    EXPECT_EQ(Content("DATA\\SHOW.KZP"), "third") << "'D' sorts before 'd' here, not the answer of the other directory";
}

TEST_F(DataFiles, OnlyRegularFilesAreDataFiles)
{
    ASSERT_EQ(mkdir("folder", 0755), 0);
    EXPECT_EQ(FindDataFile("folder"), "");
    EXPECT_EQ(FindDataFile("FOLDER"), "");
    EXPECT_EQ(OpenDataFile("folder"), nullptr);
    EXPECT_EQ(FindDataFile(""), "");
}

}  // namespace
}  // namespace platform
