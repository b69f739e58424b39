// aqtool render refuses what it cannot draw or write: a missing scene, a TIME
// that is not a clock value, an OUT that cannot be written. Each ends with a
// status and the error text on stderr, and leaves no picture behind; like the
// other headless commands, it has no display mode to report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/render/golden_scene.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"
#include "tools/writers/pakwriter.h"

namespace {

using test_support::Aqtool;
using test_support::AqtoolOutcome;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

class RenderCommand : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

TEST_F(RenderCommand, AMissingSceneFailsWithTheLoadersMessages)
{
    const AqtoolOutcome outcome = Aqtool({"render", "missing.scn", "0", "frame.tga"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, EndsWith("PAK::ReadFile: File not found. (missing.scn)\n"
                                      "Scene::Load: Error reading .scn-file. ( missing.scn )\n"));
    EXPECT_FALSE(std::filesystem::exists("frame.tga"));
}

TEST_F(RenderCommand, ATimeThatIsNotAClockValueIsRefusedBeforeAnythingIsDrawn)
{
    golden::WriteScene();
    for (const char* time : {"", "-5", "+5", " 5", "12x", "1.5", "4294967296", "99999999999999999999999"}) {
        SCOPED_TRACE(time);
        const AqtoolOutcome outcome = Aqtool({"render", golden::SCENE_FILE, time, "frame.tga"});
        EXPECT_EQ(outcome.status, 2);
        EXPECT_THAT(outcome.err, HasSubstr("TIME is not a number of milliseconds"));
        EXPECT_FALSE(std::filesystem::exists("frame.tga"));
    }
    EXPECT_EQ(Aqtool({"render", golden::SCENE_FILE, "4294967295", "frame.tga"}).status, 0);
    EXPECT_EQ(std::filesystem::file_size("frame.tga"), 18u + 640u * 480u * 3u);
}

TEST_F(RenderCommand, AnUnwritableOutFailsWithTheWritersMessage)
{
    golden::WriteScene();
    const AqtoolOutcome outcome = Aqtool({"render", golden::SCENE_FILE, "0", "no/such/folder/frame.tga"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, EndsWith("TGA::Save: Error opening file (no/such/folder/frame.tga)\n"));
}

TEST_F(RenderCommand, OptionsItCannotUseAreRefusedNamingThemAsGiven)
{
    golden::WriteScene();
    struct Case {
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        {{"--size", "640x481"}, "aqtool render: --size: '640x481' is not a 4:3 size from 320x240 to 8192x6144\n"},
        {{"--size", "16384x12288"},
         "aqtool render: --size: '16384x12288' is not a 4:3 size from 320x240 to 8192x6144\n"},
        {{"--samples", "x"}, "aqtool render: --samples: 'x' is not a number of samples from 1 to 32\n"},
        {{"--music", "m.wav"}, "aqtool render: no option '--music'\n"},
        {{"--size", "640x480", "--samples"}, "aqtool render: the option --samples needs a value\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> arguments = {"render", golden::SCENE_FILE, "0", "frame.tga"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const AqtoolOutcome outcome = Aqtool(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_FALSE(std::filesystem::exists("frame.tga"));
    }
}

// More samples than the renderer has draws with what it has, and says so.
TEST_F(RenderCommand, MultisamplingThatCannotBeHadIsSaidAndTheFrameDrawnAllTheSame)
{
    golden::WriteScene();
    const AqtoolOutcome outcome =
        Aqtool({"render", golden::SCENE_FILE, "0", "frame.tga", "--samples", "32", "--size", "320x240"});
    EXPECT_EQ(outcome.status, 0);
    if (!outcome.err.empty()) {
        EXPECT_THAT(outcome.err, ::testing::StartsWith("Multisampling: 32 samples cannot be had here; drawing "));
    }
    EXPECT_EQ(std::filesystem::file_size("frame.tga"), 18u + 320u * 240u * 3u);
}

// The commands that draw headless ask no display for a mode, at the demo's
// size or another, so a failure says only what went wrong: here the scene
// that could not be read from an archive that holds the music alone.
TEST_F(RenderCommand, TheHeadlessCommandsFailWithTheirOwnMessagesAlone)
{
    PakWriter musicOnly;
    ASSERT_TRUE(musicOnly.Add("THEMUSIC.MP3", test_support::ShortMp3(1)));
    ASSERT_TRUE(musicOnly.Write("dovra.kzp"));
    const char* const firstScene = "PAK::ReadFile: File not found. (data\\intro\\scenes\\cut1.scn)\n";
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"render", "missing.scn", "0", "frame.tga"}, "PAK::ReadFile: File not found. (missing.scn)\n"},
        {{"render", "missing.scn", "0", "frame.tga", "--size", "800x600"}, "(missing.scn)\n"},
        {{"sheet", "sheet.png"}, firstScene},
        {{"capture", "0", "0", "10", "frames"}, firstScene},
        {{"capture", "0", "0", "10", "frames", "--size", "800x600"}, firstScene},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments.back());
        const AqtoolOutcome outcome = Aqtool(c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_THAT(outcome.err, HasSubstr(c.message));
        EXPECT_THAT(outcome.err, Not(HasSubstr("ChangeResolution")));
    }
}

}  // namespace
