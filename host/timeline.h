// The demo's timeline: the scene table (the play order) with the music time at
// which each scene ends, the per-scene lists, and the Timeline plugin that
// switches the current lists to the next scene on the clock. The Timeline
// runs once per main-loop pass, as the last plugin of the pass.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/fish.h"

class Scene;

constexpr std::int32_t SCENE_COUNT = 51;
constexpr std::int32_t LAST_SCENE = SCENE_COUNT - 1;
constexpr std::size_t SCENE_PATH_SIZE = 100;  // bytes of a table row, NUL included

// Archive path of each scene file, in play order.
extern const char SCENE_TABLE[SCENE_COUNT][SCENE_PATH_SIZE];
// Music position in milliseconds at which scene i ends and scene i + 1 begins.
extern const std::uint32_t SCENE_END_TIMES[SCENE_COUNT];

// Which scenes play, from the command line; the start time is the music
// position at which the first of them begins.
struct SceneRange {
    std::int32_t firstScene = 0;
    std::int32_t lastScene = LAST_SCENE;
    std::int32_t startTime = 0;
};

// Up to two decimal numbers, the first and the last scene. Out-of-range values
// are corrected as the demo always has (a first scene past the table plays
// from 0, a last one before the first plays only the first); negative values
// count as 0 so that no table is indexed below its start.
SceneRange ParseCommandLine(const char* commandLine);

extern SceneRange gSceneRange;
// Each scene's objects, and its two lists; lists never own what they hold.
extern Scene* gSceneObjects[SCENE_COUNT];
extern Fishes gObjectLists[SCENE_COUNT];
extern Fishes gLightLists[SCENE_COUNT];

class Timeline : public Plugin {
public:
    static constexpr std::int32_t END_TIME_CAPACITY = 100;

    Timeline();

    // Switches to the next scene once the music time passes the current
    // scene's end, one scene per pass; quits after the last chosen scene.
    static void Tick();

    std::int32_t sceneCount = SCENE_COUNT;
    std::int32_t currentScene = 0;               // whose lists are current
    std::uint32_t endTimes[END_TIME_CAPACITY] = {};
    std::uint32_t baseTime = 0;                  // clock value at music position 0
};

// Made before main; owned by the timeline carrier once attached to it, which
// destroys it at exit.
extern Timeline* const gTimeline;
