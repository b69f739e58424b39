// The scene table, the command line and the Timeline plugin.
#include "host/timeline.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "host/aquarium.h"
#include "scene/scenerecords.h"

const char SCENE_TABLE[SCENE_COUNT][SCENE_PATH_SIZE] = {
    "data\\intro\\scenes\\cut1.scn",
    "data\\intro\\scenes\\cut2.scn",
    "data\\startpit\\scenes\\cut1.scn",
    "data\\startpit\\scenes\\cut2.scn",
    "data\\startpit\\scenes\\cut3.scn",
    "data\\canyon\\scenes\\cut1.scn",
    "data\\canyon\\scenes\\cut2.scn",
    "data\\canyon\\scenes\\cut3.scn",
    "data\\canyon\\scenes\\cut4.scn",
    "data\\canyon\\scenes\\cut5.scn",
    "data\\canyon\\scenes\\cut6.scn",
    "data\\canyon\\scenes\\cut7.scn",
    "data\\canyon\\scenes\\cut8.scn",
    "data\\canyon\\scenes\\cut9.scn",
    "data\\canyon\\scenes\\cut10.scn",
    "data\\overlay5\\scenes\\cut1.scn",
    "data\\podrace_bigwall\\scenes\\cut1.scn",
    "data\\podrace_bigwall\\scenes\\cut2.scn",
    "data\\podrace_bigwall\\scenes\\cut3.scn",
    "data\\podrace_bigwall\\scenes\\cut4.scn",
    "data\\overlay5\\scenes\\cut2.scn",
    "data\\city1\\scenes\\cut1.scn",
    "data\\city1\\scenes\\cut1b.scn",
    "data\\city1\\scenes\\cut2.scn",
    "data\\city1\\scenes\\cut3.scn",
    "data\\city1\\scenes\\cut4.scn",
    "data\\city1\\scenes\\cut5.scn",
    "data\\city1\\scenes\\cut6.scn",
    "data\\city1\\scenes\\cut8.scn",
    "data\\garage\\scenes\\cut1.scn",
    "data\\garage\\scenes\\cut2.scn",
    "data\\garage\\scenes\\cut3.scn",
    "data\\garage\\scenes\\cut3b.scn",
    "data\\garage\\scenes\\cut4.scn",
    "data\\garage\\scenes\\cut5.scn",
    "data\\garage\\scenes\\cut6.scn",
    "data\\garage\\scenes\\cut7.scn",
    "data\\garage\\scenes\\cut8.scn",
    "data\\garage\\scenes\\cut9.scn",
    "data\\garage\\scenes\\cut10.scn",
    "data\\garage\\scenes\\cut11.scn",
    "data\\goal\\scenes\\cut1.scn",
    "data\\goal\\scenes\\cut2.scn",
    "data\\goal\\scenes\\cut5.scn",
    "data\\goal\\scenes\\cut3.scn",
    "data\\goal\\scenes\\cut4.scn",
    "data\\goal\\scenes\\cut6.scn",
    "data\\goal\\scenes\\cut7.scn",
    "data\\goal\\scenes\\cut8.scn",
    "data\\goal\\scenes\\cut9.scn",
    "data\\scrolltext\\scenes\\scr03.scn",
};

const std::uint32_t SCENE_END_TIMES[SCENE_COUNT] = {
    32000,  37000,  44000,  48000,  51200,  53400,  57400,  59400,  63900,  68000,
    72000,  73700,  76800,  83400,  87600,  97400,  102400, 105400, 111400, 117400,
    124000, 128000, 131000, 134000, 137000, 142000, 145000, 150000, 153600, 162600,
    170600, 179600, 188600, 191600, 194100, 197100, 199100, 200600, 202100, 207400,
    211200, 214200, 215700, 218700, 221700, 226400, 228400, 232800, 236800, 247400,
    297400,
};

SceneRange gSceneRange;
Scene* gSceneObjects[SCENE_COUNT] = {};

namespace {

// The decimal value at text: leading white space skipped, reading stops at the
// first non-digit; a value beyond 32 bits saturates, which every caller then
// treats as out of range.
std::int32_t DecimalAt(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < 0)
        return 0;
    return static_cast<std::int32_t>(value);
}

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

}  // namespace

SceneRange ParseCommandLine(const char* commandLine)
{
    SceneRange range;
    if (IsEmpty(commandLine))
        return range;
    range.firstScene = DecimalAt(commandLine);
    if (range.firstScene >= SCENE_COUNT)
        range.firstScene = 0;
    if (const char* space = std::strchr(commandLine, ' ')) {
        range.lastScene = DecimalAt(space + 1);
        if (range.lastScene < range.firstScene)
            range.lastScene = range.firstScene;
        if (range.lastScene >= SCENE_COUNT)
            range.lastScene = LAST_SCENE;
    }
    if (range.firstScene > 0)
        range.startTime = static_cast<std::int32_t>(SCENE_END_TIMES[range.firstScene - 1]);
    return range;
}

Timeline::Timeline()
{
    function = Tick;
    std::memcpy(endTimes, SCENE_END_TIMES, sizeof SCENE_END_TIMES);
}

void Timeline::Tick()
{
    Timeline* const timeline = static_cast<Timeline*>(gAquarium.currentPlugin);
    const std::int32_t current = timeline->currentScene;
    if (current == timeline->sceneCount)
        return;
    const std::uint32_t elapsed = gAquarium.currentTime - timeline->baseTime;
    if (elapsed < timeline->endTimes[current])
        return;
    if (current >= gSceneRange.lastScene) {
        gAquarium.quit = 1;
        return;
    }
    const std::int32_t next = current + 1;
    gAquarium.currentObjectList = gObjectLists[next];
    gAquarium.currentLightList = gLightLists[next];
    // The scheduled switch time, not the clock's, so the animation never drifts by a frame.
    gSceneObjects[next]->startTime = timeline->baseTime + timeline->endTimes[current];
    timeline->currentScene = next;
}
