// One scene of the demo made ready to play: loaded, its maps uploaded, and
// its two lists filled in frame order. The start-up uses it for every chosen
// scene; the tools that render a scene use it so that they draw exactly what
// the demo draws.
#pragma once

#include <cstdint>

#include "host/fish.h"

class Scene;
struct SceneRange;

constexpr std::int32_t DEMO_WIDTH = 640;
constexpr std::int32_t DEMO_HEIGHT = 480;
constexpr std::int32_t DEMO_COLOUR_DEPTH = 32;
constexpr const char* DEMO_ARCHIVE_NAME = "dovra.kzp";

namespace Demo {

// Loads the scene file name into scene (flags 0, meshes through the vector
// handles), uploads its maps (a GL context is current), and appends to
// objectList the objects of one frame in their order, opened by the fading
// trails when fade is set (the first scene) and by a clear otherwise, and to
// lightList its Lights. False when a step fails (reported); what was made
// stays with scene and the lists.
bool LoadScene(Scene* scene, const char* name, bool fade, Fishes& objectList, Fishes& lightList);

// Loads the scenes of range, first to last, each into its own Scene object
// and the two lists of its row, the scene table's first row fading. False
// when one fails (reported); the scenes loaded so far stay.
bool LoadScenes(const SceneRange& range);

// Sets the global Aquarium's requested mode: 640 x 480 x 32 (or the size the
// user or a tool chose, platform/picture.h), full screen.
void RequestDemoMode();

}  // namespace Demo
