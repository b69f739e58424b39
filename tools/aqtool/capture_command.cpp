// aqtool capture: the demo recorded offline, frame by frame. The demo's own
// start-up, lists, timeline and frame loop run on the capture's platform and
// music library; every frame the demo swaps once its music plays is written
// with the music of its time, until the demo ends and the files are finished.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/aquarium.h"
#include "host/demo.h"
#include "host/error.h"
#include "host/timeline.h"
#include "platform/music.h"
#include "platform/sdl_backend.h"
#include "tools/aqtool/capture_backend.h"
#include "tools/aqtool/capture_music.h"
#include "tools/aqtool/capture_session.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/options.h"

namespace aqtool {

namespace {

constexpr std::uint32_t MAX_FRAMES_PER_SECOND = 1000;  // beyond, frames would share a clock reading
constexpr const char* MUSIC_FILE = "music.wav";

int UsageError(const char* text, const char* argument)
{
    std::fprintf(stderr, "aqtool capture: %s: %s\n", text, argument);
    return EXIT_USAGE;
}

// Reads FIRST LAST FPS OUTDIR and the options into plan; a usage error's
// status, else EXIT_OK.
int ReadPlan(char* const* arguments, CapturePlan& plan)
{
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (!ParseWholeNumber(arguments[0], LAST_SCENE, first))
        return UsageError("FIRST is not a scene number from 0 to 50", arguments[0]);
    if (!ParseWholeNumber(arguments[1], LAST_SCENE, last) || last < first)
        return UsageError("LAST is not a scene number from FIRST to 50", arguments[1]);
    if (!ParseWholeNumber(arguments[2], MAX_FRAMES_PER_SECOND, plan.framesPerSecond) || plan.framesPerSecond == 0)
        return UsageError("FPS is not a number of frames a second from 1 to 1000", arguments[2]);
    plan.range = ParseCommandLine((std::string(arguments[0]) + " " + arguments[1]).c_str());
    plan.outDir = arguments[3];
    ToolOptions options;
    const int usage = ReadOptions("capture", arguments + 4, {MUSIC_OPTION, SIZE_OPTION, SAMPLES_OPTION}, options);
    if (usage != EXIT_OK)
        return usage;
    if (options.music.empty() && plan.Raw())
        return UsageError("frames on standard output need --music FILE for the music", arguments[3]);
    plan.musicPath = options.music.empty() ? plan.outDir + "/" + MUSIC_FILE : options.music;
    plan.picture = options.picture;
    return EXIT_OK;
}

}  // namespace

// Never returns: the demo ends the process, with the capture's status.
int Capture(char* const* arguments)
{
    CapturePlan plan;
    const int usage = ReadPlan(arguments, plan);
    if (usage != EXIT_OK)
        return usage;
    // Never destroyed: the demo's exit reaches them to the very end.
    CaptureMusic music;
    CaptureSession session(plan, music);
    CaptureBackend backend(platform::RealBackend(), session, plan.framesPerSecond);
    if (!session.Open())
        return Fail();
    // A reader that goes away makes the next frame's write fail, which ends the show.
    std::signal(SIGPIPE, SIG_IGN);
    platform::UseOffscreenVideo();
    platform::SetPictureChoice(plan.picture);
    platform::InstallMusic(&music);
    platform::Install(&backend);
    const std::string commandLine = std::string(arguments[0]) + " " + arguments[1];
    WinMain(backend.ProgramInstance(), nullptr, commandLine.c_str(), platform::SW_SHOWNORMAL);
    Aquarium::Shutdown(Error::Text());
}

}  // namespace aqtool
