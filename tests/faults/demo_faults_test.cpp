// What the user meets when something is wrong, the demo program run as a user
// runs it (headless unless a case needs keys or a window on an X server of
// its own): the error text on stderr, or the show going on where the design
// says so, and an exit status of 1 either way. Nothing crashes and nothing
// hangs: a run that outlives its patience is killed and fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/faults/fault_show.h"
#include "tests/support/child_processes.h"
#include "tests/support/demo_shots.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/shutdown_box.h"
#include "tests/support/x_windows.h"
#include "tests/support/xvfb.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

using test_support::Environment;

constexpr int PATIENCE_MS = 30000;
constexpr const char* SHORT_SCENE = "5 5";  // 2.2 s after the 2 s pause
constexpr int SHORT_SCENE_RUN_MS = 4200;    // no run that plays it ends sooner: the clock is real
constexpr const char* LONG_SCENE = "50";    // 50 s: ends only when made to
constexpr const char* REFUSED_MODE = "ChangeResolution: The video mode 640x480x32-bit color is not supported\n";

struct DemoRun {
    int status;       // exit status, -1 for a signal, test_support::HUNG
    std::string err;  // stderr
    int waitedMs;     // from the start of the wait to the end
};

pid_t StartDemo(const char* scenes, const Environment& environment)
{
    return test_support::StartProgram({AQUARIUM_PATH, scenes}, environment, "demo.err");
}

// Headless: no box can show, so the end is the exit status alone.
DemoRun RunDemo(const char* scenes, const Environment& environment = {})
{
    const auto started = std::chrono::steady_clock::now();
    const int status = test_support::AwaitChild(StartDemo(scenes, environment), PATIENCE_MS);
    return {status, test_support::FileText("demo.err"),
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - started).count())};
}

class DemoFaults : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

// Libraries may say things of their own on stderr first (ALSA looking for a
// card); the error text is what stderr ends with.
TEST_F(DemoFaults, WithoutArchiveOrLooseFilesItEndsAtOnceNamingWhatIsMissing)
{
    const DemoRun run = RunDemo(SHORT_SCENE);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, EndsWith("PAK_FILE_Header::Verify: Couldn't open PAK-file(dovra.kzp)\n"
                                  "PAK::Open: PAK_FILE_Header::Verify() returned an error (dovra.kzp)\n"
                                  "PAK::ReadFile: File not found. (themusic.mp3)\n"
                                  "PAK::FileSize: File not found.(themusic.mp3)\n"
                                  "Game::SetupSound: FMOD error File not found\n"));
}

TEST_F(DemoFaults, ACorruptEntryEndsTheStartUpWithTheChainOfMessagesThatLeadsToIt)
{
    const std::string sceneFailed = "Scene::Load: Error running Scene::Load ( data\\canyon\\scenes\\cut1.scn )\n";
    struct Case {
        const char* entry;
        const char* requested;  // the name the demo asked for
        std::string loader;     // what the entry's loader says of it
        std::string last;       // how the error text ends
    };
    const Case cases[] = {
        {"DATA\\CANYON\\SCENES\\CUT1.SCN", "data\\canyon\\scenes\\cut1.scn",
         "Scene::Load: Error reading .scn-file. ( data\\canyon\\scenes\\cut1.scn )\n",
         "Scene::Load: Error reading .scn-file. ( data\\canyon\\scenes\\cut1.scn )\n"},
        {fault_test::MESH, "WALL.VOB", "Vector::Load: Error reading fish from disk. ( WALL.VOB )\n", sceneFailed},
        {fault_test::PICTURE, "WALL.TGA", "Texture::Load: Error loading picture. ( WALL.TGA)\n", sceneFailed},
        {fault_test::MUSIC, "themusic.mp3", "Game::SetupSound: FMOD error File not found\n",
         "Game::SetupSound: FMOD error File not found\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        fault_test::WriteFaultShow(c.entry);
        const DemoRun run = RunDemo(SHORT_SCENE);
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, HasSubstr(std::string("PAK_ReadFile: Corrupt data (checksum error extracting ") +
                                       c.entry + " from DOVRA.KZP)\n" +
                                       "PAK::ReadFile: PAK::ReadFile returned an error(" + c.requested + ")\n"));
        EXPECT_THAT(run.err, HasSubstr(c.loader));
        EXPECT_THAT(run.err, EndsWith(c.last));
    }
}

TEST_F(DemoFaults, ASceneCutShortAtAnyChunkBoundaryIsRefusedByItsLoader)
{
    for (const std::size_t length : fault_test::SceneOfSixChunks().chunkStarts) {
        SCOPED_TRACE(length);
        fault_test::WriteFaultShow("", length);
        const DemoRun run = RunDemo(SHORT_SCENE);
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, EndsWith("Scene::Load: File size runs past the end of the file.\n"
                                      "Scene::Load: Error setting up sceneheader.\n"
                                      "Scene::Load: Error running Scene::Load ( data\\canyon\\scenes\\cut1.scn )\n"));
    }
}

// A picture the user chose that cannot be had stops the demo before anything
// starts, naming the choice as it was given.
TEST_F(DemoFaults, AnUnusablePictureChoiceEndsItWithStatusTwoBeforeItStarts)
{
    struct Case {
        const char* variable;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"AQUARIUM_RESOLUTION", "1920x1080",
         "aquarium: AQUARIUM_RESOLUTION: '1920x1080' is not a 4:3 size from 320x240 to 8192x6144\n"},
        {"AQUARIUM_RESOLUTION", "full", "aquarium: AQUARIUM_RESOLUTION: 'full' is not a 4:3 size from 320x240 to 8192x6144\n"},
        {"AQUARIUM_SAMPLES", "64", "aquarium: AQUARIUM_SAMPLES: '64' is not a number of samples from 1 to 32\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const DemoRun run = RunDemo(SHORT_SCENE, {{c.variable, c.value}});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.message);
    }
}

// The device's failure is silent by design: the music keeps time on no output.
TEST_F(DemoFaults, WithNoAudioDeviceTheShowPlaysToItsEndInSilence)
{
    fault_test::WriteFaultShow();
    for (const char* driver : {"no_such_driver", "alsa"}) {
        SCOPED_TRACE(driver);
        const DemoRun run = RunDemo(SHORT_SCENE, {{"SDL_AUDIODRIVER", driver}, {"AUDIODEV", "/no/such/device"}});
        EXPECT_EQ(run.status, 1);
        EXPECT_GE(run.waitedMs, SHORT_SCENE_RUN_MS) << "the scene played to its end";
        EXPECT_THAT(run.err, EndsWith(REFUSED_MODE));
    }
}

TEST_F(DemoFaults, ADisplayThatRefusesTheModePlaysTheShowAndSaysSoAtTheEnd)
{
    fault_test::WriteFaultShow();
    const DemoRun run = RunDemo(SHORT_SCENE);
    EXPECT_EQ(run.status, 1);
    EXPECT_GE(run.waitedMs, SHORT_SCENE_RUN_MS) << "the scene played to its end";
    EXPECT_THAT(run.err, EndsWith(REFUSED_MODE));
}

// Keys and windows need an X server: the demo runs on one of the test's own.
class DemoFaultsOnX : public DemoFaults {
protected:
    void SetUp() override
    {
        if (server_.Display().empty())
            GTEST_SKIP() << "Xvfb did not start";
        fault_test::WriteFaultShow();
    }

    pid_t Start() { return StartDemo(LONG_SCENE, {{"DISPLAY", server_.Display()}, {"SDL_VIDEODRIVER", "x11"}}); }

    test_support::Ending Finish(pid_t demo) const
    {
        return test_support::AwaitEnding(demo, server_.Display(), "demo.err", PATIENCE_MS);
    }

    bool Xdotool(const std::string& arguments) const { return test_support::Xdotool(server_.Display(), arguments); }

    test_support::Xvfb server_{1024, 768};
};

TEST_F(DemoFaultsOnX, F10InAWorkingDirectoryThatCannotBeWrittenEndsTheShowWithBothMessages)
{
    if (geteuid() == 0)
        ASSERT_EQ(mkdir("shot0.tga", 0755), 0) << "root writes anywhere; a folder takes the name";
    else
        ASSERT_EQ(chmod(scratch_.Path().c_str(), 0555), 0);
    const pid_t demo = Start();
    EXPECT_TRUE(Xdotool("search --sync --name '^Aquarium$' windowfocus --sync %1 key F10"));
    const test_support::Ending run = Finish(demo);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.errorText, EndsWith(std::string(REFUSED_MODE) + "TGA::Save: Error opening file (shot0.tga)\n"
                                                              "Screenshot::Swim: Error writing .tga-file\n"));
}

TEST_F(DemoFaultsOnX, ClosingTheWindowInTheMiddleOfTheShowEndsItAtOnceWithTheErrorText)
{
    const pid_t demo = Start();
    // A shot is taken only by the main loop: once it is written the show plays.
    ASSERT_TRUE(Xdotool("search --sync --name '^Aquarium$' windowfocus --sync %1 key F10"));
    ASSERT_TRUE(test_support::ShotWritten("shot0.tga"));
    EXPECT_TRUE(test_support::AskToClose(server_.Display(), "Aquarium"));
    const test_support::Ending run = Finish(demo);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.errorText, EndsWith(REFUSED_MODE));
}

}  // namespace
