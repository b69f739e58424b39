// A scene's slot in the show, from the scene table's end times: when it
// starts in music time and how long it plays, in milliseconds.
#pragma once

#include <cstdint>

#include "host/timeline.h"

namespace aqtool {

inline std::uint32_t SlotStart(int scene) { return scene == 0 ? 0u : SCENE_END_TIMES[scene - 1]; }
inline std::uint32_t SlotLength(int scene) { return SCENE_END_TIMES[scene] - SlotStart(scene); }

// The first scene plays on the fading screen: a frame shows the trails of the
// frames before it. This many passes, this far apart, lead up to a frame of it.
constexpr int TRAIL_LEAD_IN_PASSES = 60;
constexpr std::uint32_t TRAIL_LEAD_IN_STEP_MS = 16;

}  // namespace aqtool
