// aqtool preview: scenes FIRST to LAST played in a loop with their music in
// a window, from the loose files under the working directory before the
// archive's, and loaded again when their files change. The demo's own
// start-up steps, loaders, lists, timeline and frame loop do the work; the
// preview runs one pass of the main loop at a time and, between passes,
// takes its keys, takes up what changed on the disk and keeps its status line.
#include <cstdio>
#include <string>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/mainloop.h"
#include "host/sound.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "pak/pak.h"
#include "platform/sdl_backend.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/options.h"
#include "tools/aqtool/preview_backend.h"
#include "tools/aqtool/preview_player.h"
#include "tools/aqtool/preview_show.h"
#include "tools/aqtool/preview_status.h"
#include "tools/aqtool/render_frame.h"

namespace aqtool {

namespace {

constexpr const char* USAGE = "usage: aqtool preview FIRST [LAST] [--size WxH] [--samples N]\n";

struct PreviewPlan {
    SceneRange range;
    platform::PictureChoice picture;
};

int UsageError(const char* text, const char* argument)
{
    std::fprintf(stderr, "aqtool preview: %s: %s\n%s", text, argument, USAGE);
    return EXIT_USAGE;
}

bool IsOption(const char* argument) { return argument[0] == '-' && argument[1] == '-'; }

// Reads FIRST [LAST] and the options into plan; a usage error's status, else EXIT_OK.
int ReadPlan(char* const* arguments, PreviewPlan& plan)
{
    std::uint32_t first = 0;
    if (!ParseWholeNumber(arguments[0], LAST_SCENE, first))
        return UsageError("FIRST is not a scene number from 0 to 50", arguments[0]);
    std::uint32_t last = first;
    char* const* options = arguments + 1;
    if (*options != nullptr && !IsOption(*options)) {
        if (!ParseWholeNumber(*options, LAST_SCENE, last) || last < first)
            return UsageError("LAST is not a scene number from FIRST to 50", *options);
        ++options;
    }
    ToolOptions read;
    if (ReadOptions("preview", options, {SIZE_OPTION, SAMPLES_OPTION}, read) != EXIT_OK) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    plan.range = ParseCommandLine((std::to_string(first) + " " + std::to_string(last)).c_str());
    plan.picture = read.picture;
    return EXIT_OK;
}

struct KeyAction {
    int key;
    void (*act)(PreviewPlayer& player);
};

// F10 and Escape are the demo's own: its screenshot and its Escape key are in every list.
const KeyAction KEY_ACTIONS[] = {
    {platform::VK_SPACE, [](PreviewPlayer& player) { player.TogglePause(); }},
    {platform::VK_LEFT, [](PreviewPlayer& player) { player.Skip(-PreviewPlayer::SKIP_MS); }},
    {platform::VK_RIGHT, [](PreviewPlayer& player) { player.Skip(PreviewPlayer::SKIP_MS); }},
    {platform::VK_PRIOR, [](PreviewPlayer& player) { player.SkipScenes(-1); }},
    {platform::VK_NEXT, [](PreviewPlayer& player) { player.SkipScenes(1); }},
    {platform::VK_HOME, [](PreviewPlayer& player) { player.Restart(); }},
};

void TakeKeys(PreviewPlayer& player)
{
    for (const KeyAction& action : KEY_ACTIONS) {
        if ((platform::Os().GetAsyncKeyState(action.key) & platform::KEY_PRESSED_SINCE_LAST_QUERY) != 0)
            action.act(player);
    }
}

// What the error text holds goes to the terminal, and the process ends with
// status, through the demo's shutdown.
[[noreturn]] void End(PreviewStatus& status, PreviewBackend& backend, int exitStatus)
{
    status.Break();
    std::fputs(Error::Text(), stderr);
    Error::Reset();
    backend.SetExitStatus(exitStatus);
    Aquarium::Shutdown(Error::Text());
}

// The demo's start-up steps, up to its first frame.
bool StartUp(PreviewPlayer& player, PreviewShow& show)
{
    gTimelineCarrier.type = TimelineCarrier::TYPE;
    Fish::AttachPlugin(&gTimelineCarrier, gTimeline, false);
    if (!player.AttachLoop() || !Game::SetupSound() || !FillDemoAquarium(ModeSwitch::NONE))
        return false;
    ClearScreen::Swim();
    BufferSwap::Swim();
    return show.Load();
}

// Passes of the demo's frame loop until the quit flag: Escape, or a
// screenshot that could not be written.
void Play(PreviewPlayer& player, PreviewShow& show, PreviewStatus& status)
{
    player.Start();
    Mainloop pass(&gAquarium, false);
    for (;;) {
        pass.Feed();
        if (gAquarium.quit)
            return;
        TakeKeys(player);
        const Reload reload = show.TakeUpChanges(gAquarium.currentTime);
        if (reload.scenes || player.Paused())
            player.Replace();
        if (reload.music)
            player.ReplaceMusic();
        status.ShowFailing(show.Failing());
        status.Show(player, gAquarium.currentTime);
    }
}

// Never returns: the process ends through the demo's shutdown.
[[noreturn]] void Run(const PreviewPlan& plan)
{
    PreviewStatus status;
    PreviewBackend backend(platform::RealBackend(), status);
    platform::Install(&backend);
    gSceneRange = plan.range;
    PreviewPlayer player(plan.range);
    PreviewShow show(plan.range, status);
    if (!StartUp(player, show))
        End(status, backend, EXIT_FAILED);
    // Nothing that went before is a failure: what it said goes to the terminal now.
    std::fputs(Error::Text(), stderr);
    Error::Reset();
    status.ShowFailing(false);
    Play(player, show, status);
    End(status, backend, Error::Text()[0] == '\0' ? EXIT_OK : EXIT_FAILED);
}

}  // namespace

int Preview(char* const* arguments)
{
    PreviewPlan plan;
    const int usage = ReadPlan(arguments, plan);
    if (usage != EXIT_OK)
        return usage;
    PAK::SetLooseFilesFirst(true);
    if (!OpenDemoArchive())
        return Fail();
    platform::SetPictureChoice(plan.picture);
    platform::UseResizableWindow();
    Run(plan);
}

}  // namespace aqtool
