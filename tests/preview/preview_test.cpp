// aqtool preview as a data maker uses it, on an X server of the test's own:
// a small tree of loose files over an archive, the picture read back with
// F10, files rewritten while it plays, its keys pressed with xdotool and its
// status lines read from stderr. Nothing waits for a set time: every wait
// polls, with patience to spare. The reload's latency is measured and
// reported, not asserted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/scene/vector_fixture.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/child_processes.h"
#include "tests/support/demo_shots.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"
#include "tests/support/x_windows.h"
#include "tests/support/xvfb.h"
#include "tools/writers/bytesfile.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/pakwriter.h"
#include "tools/writers/scenewriter.h"

namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr const char* SCENE = "15";  // 9.8 s from 87.6 s of the music
constexpr const char* SCENE_PATH = "data/overlay5/scenes/cut1.scn";
constexpr const char* SCENE_NAME = "data\\overlay5\\scenes\\cut1.scn";
constexpr const char* NEXT_SCENE_PATH = "data/podrace_bigwall/scenes/cut1.scn";
constexpr const char* WALL = "data/overlay5/objects/wall.vob";
constexpr const char* WALL_NAME = "data\\overlay5\\objects\\wall.vob";
constexpr const char* OTHER_WALL = "data/overlay5/objects/other.vob";
constexpr const char* OTHER_WALL_NAME = "data\\overlay5\\objects\\other.vob";
constexpr std::uint32_t SLOT_FRAMES = 245;  // 9.8 s at 25 frames a second

constexpr int PATIENCE_MS = 30000;
constexpr int POLL_MS = 20;

constexpr std::uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF;

// A 4 x 4 wall at z = 0 facing the camera, lit by its own ambient value alone.
Bytes WallMesh(std::uint32_t colour)
{
    using mesh_test::Face;
    using mesh_test::Vertex;
    MeshContent content;
    content.vertices = {Vertex(-2, -2, 0), Vertex(2, -2, 0), Vertex(2, 2, 0), Vertex(-2, 2, 0)};
    content.faces = {Face(0, 2, 1), Face(0, 3, 2)};
    VECTOR_FILE_Material paint = mesh_test::MaterialRecord(0);
    for (int channel = 0; channel < 3; ++channel)
        paint.colour[channel] = static_cast<float>((colour >> (16 - 8 * channel)) & 0xFF) / 255.0f;
    paint.further0 = 1.0f;
    content.materials = {paint};
    return MeshEncode(MeshLayout(content));
}

// The wall slides sideways across the whole slot, the camera ten units before it.
SceneWriter WallScene(const char* mesh)
{
    SceneWriter scene;
    scene.header.lastFrame = SLOT_FRAMES;
    SceneObjectChunk wall;
    wall.name = mesh;
    wall.keys.resize(2);
    wall.keys[0].value[KeyChannel::POSITION_X] = -0.5f;
    wall.keys[1].frame = static_cast<float>(SLOT_FRAMES);
    wall.keys[1].value[KeyChannel::POSITION_X] = 0.5f;
    scene.AddObject(wall);
    SceneCameraChunk camera;
    camera.keys.resize(1);
    camera.keys[0].value[KeyChannel::POSITION_Z] = -10.0f;
    scene.AddCamera(camera);
    return scene;
}

// 0xRRGGBB of the middle pixel of a 640 x 480 shot (24-bit TGA: blue, green, red).
std::uint32_t MiddleOf(const std::string& shot)
{
    const std::size_t middle = 18 + (240 * 640 + 320) * 3;
    if (shot.size() != static_cast<std::size_t>(test_support::SHOT_BYTES))
        return 0xFFFFFFFF;
    const auto byte = [&](std::size_t at) { return std::uint32_t(static_cast<unsigned char>(shot[at])); };
    return byte(middle + 2) << 16 | byte(middle + 1) << 8 | byte(middle);
}

// Writes bytes to path in the tree, making its folders.
bool Put(const std::string& path, const Bytes& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return WriteBytesFile(path, bytes);
}

int MillisecondsSince(Clock::time_point start)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class PreviewOnX : public ::testing::Test {
protected:
    // The loose tree holds the red wall and its scene; the archive a green
    // wall under the same name, which the loose one hides, and the music.
    void SetUp() override
    {
        if (server_.Display().empty())
            GTEST_SKIP() << "Xvfb did not start";
        ASSERT_TRUE(Put(WALL, WallMesh(RED)));
        ASSERT_TRUE(Put(SCENE_PATH, WallScene(WALL_NAME).Bytes()));
        ASSERT_TRUE(Put(NEXT_SCENE_PATH, WallScene(WALL_NAME).Bytes()));
        PakWriter archive;
        ASSERT_TRUE(archive.Add("DATA\\OVERLAY5\\OBJECTS\\WALL.VOB", WallMesh(GREEN)));
        ASSERT_TRUE(archive.Add("THEMUSIC.MP3", test_support::ShortMp3(1)));
        ASSERT_TRUE(archive.Write("dovra.kzp"));
    }

    void Start(const std::vector<std::string>& scenes)
    {
        std::vector<std::string> command = {AQTOOL_PATH, "preview"};
        command.insert(command.end(), scenes.begin(), scenes.end());
        preview_ = test_support::StartProgram(command, {{"DISPLAY", server_.Display()}, {"SDL_VIDEODRIVER", "x11"}},
                                              "preview.err");
        ASSERT_TRUE(Said("scene " + scenes[0] + " ")) << Err();
    }

    bool Press(const char* key) const
    {
        return test_support::Xdotool(server_.Display(),
                                     std::string("search --sync --name '^Aquarium preview' windowfocus --sync %1 key ") + key);
    }

    // F10, and the shot it made once it is whole.
    std::string Shot()
    {
        const std::string path = "shot" + std::to_string(shots_++) + ".tga";
        EXPECT_TRUE(Press("F10"));
        EXPECT_TRUE(test_support::ShotWritten(path)) << path;
        return test_support::FileText(path);
    }

    // Shots until one shows colour in its middle, or none does in time.
    bool ShowsInTime(std::uint32_t colour)
    {
        const Clock::time_point start = Clock::now();
        while (MillisecondsSince(start) < PATIENCE_MS) {
            if (MiddleOf(Shot()) == colour)
                return true;
        }
        return false;
    }

    std::string Err() const { return test_support::FileText("preview.err"); }

    // Waits until stderr holds text after its first from bytes.
    bool Said(const std::string& text, std::size_t from = 0) const
    {
        for (int waited = 0; waited < PATIENCE_MS; waited += POLL_MS) {
            if (Err().find(text, from) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
        }
        return false;
    }

    bool TitleIs(const char* title) const
    {
        return test_support::Xdotool(server_.Display(), std::string("search --sync --name '^") + title + "$' >/dev/null");
    }

    int Finish() { return test_support::AwaitChild(preview_, PATIENCE_MS); }

    test_support::ScratchDirectory scratch_;
    test_support::Xvfb server_{1024, 768};
    pid_t preview_ = -1;
    int shots_ = 0;
};

// The edit is measured from the end of the write to the line that says the
// scene was loaded again, and to the first shot that shows it.
TEST_F(PreviewOnX, ItPlaysTheLooseTreeOverTheArchiveAndTakesUpARewrittenMeshAtOnce)
{
    Start({SCENE});
    EXPECT_EQ(MiddleOf(Shot()), RED) << "the loose wall hides the archive's";

    ASSERT_TRUE(Put(WALL, WallMesh(BLUE)));
    const Clock::time_point written = Clock::now();
    ASSERT_TRUE(Said("aqtool preview: scene 15 loaded again (data\\overlay5\\scenes\\cut1.scn)\n")) << Err();
    const int reloadMs = MillisecondsSince(written);
    EXPECT_TRUE(ShowsInTime(BLUE));
    const int pictureMs = MillisecondsSince(written);
    RecordProperty("reload_ms", reloadMs);
    RecordProperty("picture_ms", pictureMs);
    std::printf("[ preview  ] mesh written: loaded again after %d ms, seen in a shot after %d ms\n", reloadMs,
                pictureMs);

    EXPECT_TRUE(Press("Escape"));
    EXPECT_EQ(Finish(), 0) << Err();
}

TEST_F(PreviewOnX, ABrokenSceneLeavesTheLastGoodPictureUntilItIsMended)
{
    Start({SCENE});
    ASSERT_TRUE(TitleIs("Aquarium preview"));
    SceneWriter broken = WallScene(WALL_NAME);
    broken.header.checksum = 12345;
    ASSERT_TRUE(Put(SCENE_PATH, broken.Bytes()));
    ASSERT_TRUE(Said(std::string("aqtool preview: ") + SCENE_NAME +
                     " failed to load; the last good one plays on:\n"
                     "Scene::SetupHeader: Checksum failure.n\n"
                     "Scene::Load: Error setting up sceneheader.\n"
                     "Scene::Load: Error running Scene::Load ( " + SCENE_NAME + " )\n"))
        << Err();
    EXPECT_TRUE(TitleIs("Aquarium preview - the load failed"));
    EXPECT_EQ(MiddleOf(Shot()), RED) << "the last good scene plays on";

    ASSERT_TRUE(Put(OTHER_WALL, WallMesh(GREEN)));
    ASSERT_TRUE(Put(SCENE_PATH, WallScene(OTHER_WALL_NAME).Bytes()));
    EXPECT_TRUE(ShowsInTime(GREEN)) << Err();
    EXPECT_TRUE(TitleIs("Aquarium preview"));
    EXPECT_THAT(Err(), HasSubstr("aqtool preview: scene 15 loaded again"));

    EXPECT_TRUE(test_support::AskToClose(server_.Display(), "Aquarium preview"));
    EXPECT_EQ(Finish(), 0) << Err();
}

// Held, the status line says where, and the keys move that place exactly.
TEST_F(PreviewOnX, SpaceHoldsThePictureAndTheKeysMoveThroughTheScenes)
{
    Start({"15", "16"});
    const std::string moving = Shot();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_NE(Shot(), moving) << "the wall moves while the show plays";

    ASSERT_TRUE(Press("space"));
    ASSERT_TRUE(Said("  paused\n")) << Err();
    ASSERT_TRUE(Press("Home"));
    ASSERT_TRUE(Said("scene 15 data\\overlay5\\scenes\\cut1.scn  0.000 of 9.800 s  show 87.600 s  paused\n")) << Err();
    const std::string held = Shot();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(Shot(), held) << "two shots a second apart are the same";

    struct Move {
        const char* key;
        const char* line;  // the status line it makes
    };
    const Move moves[] = {
        {"Right", "show 88.6"},
        {"Page_Down", "scene 16 data\\podrace_bigwall\\scenes\\cut1.scn  0.000 of 5.000 s  show 97.400 s  paused\n"},
        {"Page_Down", "scene 15 data\\overlay5\\scenes\\cut1.scn  0.000 of 9.800 s  show 87.600 s  paused\n"},
        {"Page_Up", "scene 16 data\\podrace_bigwall\\scenes\\cut1.scn  0.000 of 5.000 s  show 97.400 s  paused\n"},
        {"Left", "scene 15 data\\overlay5\\scenes\\cut1.scn  8.800 of 9.800 s  show 96.400 s  paused\n"},
        {"Home", "scene 15 data\\overlay5\\scenes\\cut1.scn  0.000 of 9.800 s  show 87.600 s  paused\n"},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.key);
        const std::size_t before = Err().size();
        ASSERT_TRUE(Press(move.key));
        EXPECT_TRUE(Said(move.line, before)) << Err();
    }
    ASSERT_TRUE(Press("space"));
    EXPECT_TRUE(Said("scene 15 data\\overlay5\\scenes\\cut1.scn  0.000 of 9.800 s  show 87.600 s\n")) << Err();

    EXPECT_TRUE(Press("Escape"));
    EXPECT_EQ(Finish(), 0) << Err();
}

TEST(PreviewArguments, BadNumbersAndSizesGetTheUsageAndStatusTwo)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"x"}, "aqtool preview: FIRST is not a scene number from 0 to 50: x\n"},
        {{"51"}, "aqtool preview: FIRST is not a scene number from 0 to 50: 51\n"},
        {{"10", "9"}, "aqtool preview: LAST is not a scene number from FIRST to 50: 9\n"},
        {{"10", "--size", "100x100"},
         "aqtool preview: --size: '100x100' is not a 4:3 size from 320x240 to 8192x6144\n"},
        {{"10", "11", "--samples", "0"}, "aqtool preview: --samples: '0' is not a number of samples from 1 to 32\n"},
        {{"10", "--music", "x.wav"}, "aqtool preview: no option '--music'\n"},
    };
    test_support::ScratchDirectory scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        std::vector<std::string> arguments = {"preview"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const test_support::AqtoolOutcome outcome = test_support::Aqtool(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, std::string(c.message) + "usage: aqtool preview FIRST [LAST] [--size WxH] [--samples N]\n");
    }
}

}  // namespace
