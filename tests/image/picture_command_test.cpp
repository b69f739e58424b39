// aqtool picture: a picture comes out as the demo's texture loader makes it,
// 32 bits blue-green-red-alpha, top row first, from the disk or the archive.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/pakwriter.h"
#include "tools/writers/tgawriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::Aqtool;
using test_support::AqtoolOutcome;

Bytes ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A 2 x 2 picture, 24 bits, stored bottom row first.
Bytes BottomUpPicture()
{
    TgaPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    return TgaEncode(picture);
}

const Bytes EXPECTED = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x28,
                        1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255};

class PictureCommand : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

TEST_F(PictureCommand, WritesTheTexturesPixelsTopRowFirstWithAlpha)
{
    ASSERT_TRUE(WriteBytesFile("flag.tga", BottomUpPicture()));
    const AqtoolOutcome outcome = Aqtool({"picture", "flag.tga", "out.tga"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(ReadFile("out.tga"), EXPECTED);
}

TEST_F(PictureCommand, ReadsTheDemosArchiveWhenPresent)
{
    PakWriter archive;
    archive.Add("PICS\\FLAG.TGA", BottomUpPicture());
    ASSERT_TRUE(archive.Write("dovra.kzp"));
    const AqtoolOutcome outcome = Aqtool({"picture", "pics\\flag.tga", "out.tga"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(ReadFile("out.tga"), EXPECTED);
}

TEST_F(PictureCommand, AMissingPictureFailsWithTheLoadersMessages)
{
    const AqtoolOutcome outcome = Aqtool({"picture", "gone.jpg", "out.tga"});
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.err.find("Texture::Load: Error loading picture. ( gone.jpg)\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_TRUE(ReadFile("out.tga").empty());
}

}  // namespace
