// The show's scenes as text: each of the 51 comes back from its text byte for
// byte, every chunk shown by its fields; and aqtool scenes tells where each
// slot's file goes, when it plays and who holds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/error.h"
#include "host/timeline.h"
#include "pak/pak.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/aqtool/scene_text.h"
#include "tools/writers/bytesfile.h"

namespace {

using aqtool::Json;

std::vector<std::uint8_t> ShowFile(const char* name)
{
    if (PAK::First() == nullptr) {
        EXPECT_NE(PAK::Open(SHOW_ARCHIVE), nullptr) << Error::Text();
    }
    std::size_t length = 0;
    const std::unique_ptr<std::uint8_t[]> buffer(PAK::ReadFile(name, &length));
    EXPECT_NE(buffer, nullptr) << name;
    return buffer ? std::vector<std::uint8_t>(buffer.get(), buffer.get() + length) : std::vector<std::uint8_t>{};
}

TEST(ShowText, EverySceneComesBackFromItsTextByteForByte)
{
    for (int scene = 0; scene < SCENE_COUNT; ++scene) {
        const std::vector<std::uint8_t> file = ShowFile(SCENE_TABLE[scene]);
        std::string failure;
        const std::optional<Json> text = aqtool::SceneFileText(file, failure);
        ASSERT_TRUE(text.has_value()) << scene << ": " << failure;
        EXPECT_EQ(text->at("header").size(), 7u) << scene << ": the file's size, checksum and counts are its own";
        for (const Json& chunk : text->at("chunks"))
            EXPECT_FALSE(chunk.contains("data") || chunk.contains("bytes")) << scene << ": " << chunk.dump();
        std::string mistake;
        const std::optional<std::vector<std::uint8_t>> built =
            aqtool::BuildSceneFile(Json::parse(aqtool::JsonText(*text, aqtool::SCENE_TEXT_LAYOUT)), mistake);
        ASSERT_TRUE(built.has_value()) << scene << ": " << mistake;
        EXPECT_TRUE(*built == file) << scene << ": " << SCENE_TABLE[scene];
    }
}

// The line of aqtool scenes for one slot.
std::string SlotLine(const std::string& table, int scene)
{
    std::istringstream lines(table);
    std::string line;
    for (int i = 0; i <= scene + 1 && std::getline(lines, line); ++i) {
    }
    return line;
}

TEST(ShowText, TheSceneTableSaysWhereEachSlotsFileIsAndWhenItPlays)
{
    test_support::ScratchDirectory scratch;
    const test_support::AqtoolOutcome empty = test_support::Aqtool({"scenes"});
    ASSERT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(std::count(empty.out.begin(), empty.out.end(), '\n'), SCENE_COUNT + 1);
    EXPECT_NE(SlotLine(empty.out, 0).find("missing"), std::string::npos) << SlotLine(empty.out, 0);

    std::filesystem::create_symlink(SHOW_ARCHIVE, "dovra.kzp");
    std::string loose = SCENE_TABLE[10];
    std::replace(loose.begin(), loose.end(), '\\', '/');
    std::filesystem::create_directories(std::filesystem::path(loose).parent_path());
    ASSERT_TRUE(WriteBytesFile(loose, ShowFile(SCENE_TABLE[10])));
    const test_support::AqtoolOutcome held = test_support::Aqtool({"scenes"});
    ASSERT_EQ(held.status, 0) << held.err;
    const std::string tenth = SlotLine(held.out, 10);
    EXPECT_EQ(tenth.rfind("   10  " + std::string(SCENE_TABLE[10]), 0), 0u) << tenth;
    const std::string length = std::to_string(SCENE_END_TIMES[10] - SCENE_END_TIMES[9]);
    EXPECT_NE(tenth.find(length + "  archive, loose"), std::string::npos) << tenth;
    const std::string first = SlotLine(held.out, 0);
    EXPECT_EQ(first.substr(first.size() - 9), "  archive") << first;
}

}  // namespace
