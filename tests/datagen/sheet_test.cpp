// aqtool sheet and aqtool speed over the show the build made: the contact
// sheet holds a numbered cell for every scene at every moment asked, and
// both refuse arguments they cannot use.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"

namespace {

// Width and height from a PNG file's header; 0, 0 when it is not one.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 24 || bytes[1] != 'P' || bytes[2] != 'N' || bytes[3] != 'G')
        return {0, 0};
    const auto word = [&](int at) {
        return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) | (std::uint32_t{bytes[at + 2]} << 8) |
               bytes[at + 3];
    };
    return {word(16), word(20)};
}

class ShowTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(symlink(SHOW_ARCHIVE, "dovra.kzp"), 0); }

    test_support::ScratchDirectory scratch_;
};

TEST_F(ShowTool, SheetHasACellForEverySceneAtEveryMoment)
{
    const test_support::AqtoolOutcome outcome = test_support::Aqtool({"sheet", "sheet.png", "0.25", "0.75"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // 102 cells of 160 x 120, eight to a row, 4 pixels apart and round the edge.
    EXPECT_EQ(PngSize("sheet.png"), std::make_pair(8u * 164u + 4u, 13u * 124u + 4u));
}

TEST_F(ShowTool, SheetAndSpeedRefuseWhatTheyCannotUse)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"sheet"}, {"sheet", "out.png", "1.5"}, {"sheet", "out.png", "half"},
          {"speed", "0"}, {"speed", "12", "13"}}) {
        const test_support::AqtoolOutcome outcome = test_support::Aqtool(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
    }
    EXPECT_EQ(PngSize("out.png"), std::make_pair(0u, 0u));
}

}  // namespace
