// The whole program on scripted platforms: "10 5" plays exactly scene 10 from
// its music time to its end and quits by itself, and a demo without archive
// or loose files ends at once naming the missing music. The clock is the fake
// counter, so nothing here waits on real time.
#include "host/demo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/timeline.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "platform/fake_music.h"
#include "scene/vectorhandle.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/show_archive.h"

namespace {

constexpr std::int64_t COUNTER_FREQUENCY = 1000000;
constexpr std::int64_t COUNTER_STEP = 16000;  // 16 ms per clock reading

platform::FakeMusic* gMusic = nullptr;

// What the child tells its parent as the process ends: the music calls, the
// scene and music time the show ended at, how many meshes were loaded, and
// the error text.
void ReportAtShutdown()
{
    std::string calls;
    if (gMusic != nullptr) {
        for (const std::string& call : gMusic->log)
            calls += call + ";";
    }
    std::fprintf(stderr, "music [%s] scene %d at %u ms, meshes %u, error text [%s]\n", calls.c_str(),
                 gTimeline->currentScene, gAquarium.currentTime - gTimeline->baseTime,
                 gVectorHandles.count, Error::Text());
}

// In the death test's child, in the test's scratch directory: the demo's
// shutdown ends the child by exit, past the destructor of every local here,
// so none of them may own a file.
[[noreturn]] void RunDemo(const char* commandLine, bool withArchive)
{
    platform::FakeBackend backend;
    backend.displayModes = {{0, 32, 640, 480, 60}};
    backend.frequency = COUNTER_FREQUENCY;
    backend.counterStep = COUNTER_STEP;
    backend.AddLibrary("opengl32.dll", platform::FakeGLExports());
    backend.AddLibrary("glu32.dll", platform::FakeGLUExports());
    platform::FakeGLSetLogging(false);
    platform::Install(&backend);
    // Without the archive the real library (on SDL's silent driver) judges the missing track.
    platform::FakeMusic music;
    if (withArchive) {
        gMusic = &music;
        platform::InstallMusic(&music);
        test_support::WriteShowArchive("dovra.kzp", std::vector<std::uint8_t>(64, 0xFF));
    }
    Aquarium::RegShutdownCallback(ReportAtShutdown);
    WinMain(backend.ProgramInstance(), nullptr, commandLine, platform::SW_SHOWNORMAL);
    std::fprintf(stderr, "the Aquarium could not be filled\n");
    std::exit(2);
}

TEST(DemoDeathTest, OneChosenScenePlaysFromItsMusicTimeAndTheDemoQuitsAtItsEnd)
{
    test_support::ScratchDirectory scratch;
    EXPECT_EXIT(RunDemo("10 5", true), ::testing::ExitedWithCode(1),
                "music \\[SetOutput 2;Init 44100 32 0;Stream_OpenFile 40960 64;"
                "Stream_SetTime 68000;Stream_Play 0;\\] scene 10 at 72000 ms, meshes 1, "
                "error text \\[\\]\n");
}

TEST(DemoDeathTest, WithoutArchiveOrLooseFilesTheMissingMusicIsNamed)
{
    test_support::ScratchDirectory scratch;
    EXPECT_EXIT(RunDemo("", false), ::testing::ExitedWithCode(1),
                "error text \\[.*PAK::ReadFile: File not found. \\(themusic.mp3\\)\n"
                "PAK::FileSize: File not found.\\(themusic.mp3\\)\n"
                "Game::SetupSound: FMOD error File not found\n\\]");
}

}  // namespace
