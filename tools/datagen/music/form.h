// The show's form as the music follows it: the music time at which each of
// the 51 scenes ends (scene i+1 begins there, scene 0 at 0), and the acts the
// scenes make, each with the loudness the master aims at.
#pragma once

#include <array>
#include <cstdint>

#include "host/timeline.h"

// Milliseconds of music at which each scene ends, in play order: the scene
// table's end times (host/timeline.h), which the scenes are timed to as well.
inline const std::array<std::int32_t, SCENE_COUNT> SCENE_END_MS = [] {
    std::array<std::int32_t, SCENE_COUNT> ends{};
    for (int i = 0; i < SCENE_COUNT; ++i)
        ends[i] = static_cast<std::int32_t>(SCENE_END_TIMES[i]);
    return ends;
}();

inline std::int32_t SceneStartMs(int scene) { return scene == 0 ? 0 : SCENE_END_MS[scene - 1]; }

// The track rings on past the last scene's end and then stops.
constexpr std::int32_t TRACK_LENGTH_MS = 301500;

struct Act {
    const char* name;
    int firstScene;
    int lastScene;       // inclusive
    double plannedLufs;  // integrated loudness of the act's stretch of the track
};

constexpr std::array<Act, 10> ACTS = {{
    {"intro", 0, 1, -19.0},
    {"start pit", 2, 4, -15.0},
    {"canyon run", 5, 14, -13.0},
    {"first interlude", 15, 15, -18.0},
    {"big wall", 16, 19, -13.0},
    {"second interlude", 20, 20, -18.0},
    {"city at night", 21, 28, -15.0},
    {"garage", 29, 40, -12.5},
    {"goal", 41, 49, -12.0},
    {"credits", 50, 50, -17.0},
}};

// Where an act's stretch of the track ends: its last scene's end, or for the
// last act the end of the track with the final chord's ringing.
inline std::int32_t ActEndMs(const Act& act)
{
    return act.lastScene == SCENE_COUNT - 1 ? TRACK_LENGTH_MS : SCENE_END_MS[act.lastScene];
}

// The act that scene belongs to.
inline const Act& ActOf(int scene)
{
    for (const Act& act : ACTS) {
        if (scene <= act.lastScene)
            return act;
    }
    return ACTS.back();
}
