// The data generator makes the same archive on every run: a second run into a
// scratch folder gives the build's archive byte for byte, the show's 51
// scenes with their meshes and pictures as well as the music.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "pak/pak.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"

namespace {

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(DataGenerator, MakesTheSameArchiveOnEveryRun)
{
    test_support::ScratchDirectory scratch;
    const std::string command = test_support::ShellQuote(AQDATA_PATH) + " show again.kzp > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<char> again = FileBytes("again.kzp");
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again == FileBytes(SHOW_ARCHIVE)) << "the second run's archive differs from the build's";
    PAK* const archive = PAK::Open("again.kzp");
    ASSERT_NE(archive, nullptr);
    for (const char* scene : SCENE_TABLE)
        EXPECT_NE(archive->FindEntry(scene), nullptr) << scene;
    PAK::CloseAll();  // the scratch archive goes with its folder; later tests open the build's
}

}  // namespace
