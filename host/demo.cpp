// The start-up in its steps. Runs on the one thread of the program, before
// and after the main loop.
#include "host/demo.h"

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/scenelists.h"
#include "host/sound.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "pak/pak.h"
#include "platform/music.h"
#include "scene/scenerecords.h"

namespace {

constexpr std::uint32_t PAUSE_BEFORE_MUSIC_MS = 2000;
constexpr int MUSIC_CHANNEL = 0;

void ShowBlackFrame()
{
    ClearScreen::Swim();
    BufferSwap::Swim();
}

// Music and clock start together: the scenes follow the clock from here on.
void StartMusicAndClock(const SceneRange& range)
{
    platform::FSOUND_Stream_SetTime(gMusicStream, range.startTime);
    platform::FSOUND_Stream_Play(MUSIC_CHANNEL, gMusicStream);
    Clock::Swim();
    const std::uint32_t now = gAquarium.currentTime;
    gSceneObjects[range.firstScene]->startTime = now;
    gTimeline->baseTime = now - static_cast<std::uint32_t>(range.startTime);
    gTimeline->currentScene = range.firstScene;
}

void DestroyScenes()
{
    for (Scene*& scene : gSceneObjects) {
        delete scene;
        scene = nullptr;
    }
}

}  // namespace

int WinMain(platform::InstanceHandle instance, platform::InstanceHandle, const char* commandLine,
            int)
{
    gSceneRange = ParseCommandLine(commandLine);
    // Without the archive every read goes to loose files; its message stays in the text.
    PAK::Open(DEMO_ARCHIVE_NAME);
    gTimelineCarrier.type = TimelineCarrier::TYPE;
    Fish::AttachPlugin(&gTimelineCarrier, gTimeline, false);
    if (!Game::SetupSound())
        Aquarium::Shutdown(Error::Text());
    Demo::RequestDemoMode();
    if (!gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, instance))
        return 0;
    ShowBlackFrame();
    for (Scene*& scene : gSceneObjects)
        scene = nullptr;
    if (!Demo::LoadScenes(gSceneRange))
        Aquarium::Shutdown(Error::Text());
    gAquarium.currentObjectList = gObjectLists[gSceneRange.firstScene];
    gAquarium.currentLightList = gLightLists[gSceneRange.firstScene];
    ShowBlackFrame();
    platform::Os().Sleep(PAUSE_BEFORE_MUSIC_MS);
    StartMusicAndClock(gSceneRange);
    Mainloop mainloop(&gAquarium, true);
    mainloop.Feed();
    DestroyScenes();
    Aquarium::Shutdown(Error::Text());
}
