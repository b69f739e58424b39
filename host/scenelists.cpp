// Loading one scene and building its lists. Runs at start-up, with the
// Aquarium filled and its GL context current.
#include "host/scenelists.h"

#include <iterator>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "image/screenshot.h"
#include "platform/picture.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

bool AppendAll(Fishes& list, Fish* const* objects, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!Fishes::InsertObject(&list, objects[i], false))
            return false;
    }
    return true;
}

// The frame's order: clear (or fade), reset the ordering table, animate, run
// the light plugins, the meshes in record order, sort, draw, screenshot, swap,
// clock, Escape, window messages, and last the Timeline's carrier.
bool FillObjectList(Scene* scene, bool fade, Fishes& list)
{
    Fish* const opening[] = {fade ? static_cast<Fish*>(&gFadeScreen) : &gClearScreen,
                             &gOrderTableReset, scene, &gPluginRunner};
    if (!AppendAll(list, opening, std::size(opening)))
        return false;
    for (std::uint32_t i = 0; i < scene->objectCount; ++i) {
        if (!Fishes::InsertObject(&list, scene->objects[i].vector, false))
            return false;
    }
    Fish* const closing[] = {&gOrderTableSort, &gOrderTableDraw, &gScreenshot, &gBufferSwap,
                             &gClock,          &gEscapeKey,      &gMessagePump, &gTimelineCarrier};
    return AppendAll(list, closing, std::size(closing));
}

bool FillLightList(const Scene* scene, Fishes& list)
{
    for (std::uint32_t i = 0; i < scene->lightCount; ++i) {
        if (!Fishes::InsertObject(&list, scene->lights[i].light, false))
            return false;
    }
    return true;
}

}  // namespace

bool Demo::LoadScene(Scene* scene, const char* name, bool fade, Fishes& objectList,
                     Fishes& lightList)
{
    if (!scene->LoadFile(name, 0))
        return false;
    if (!scene->SetupOpenGL()) {
        Error::Report(1, "Main: Error setting up scene for OpenGL\n");
        return false;
    }
    return FillObjectList(scene, fade, objectList) && FillLightList(scene, lightList);
}

bool Demo::LoadScenes(const SceneRange& range)
{
    for (std::int32_t i = range.firstScene; i <= range.lastScene; ++i) {
        Scene* const scene = new (std::nothrow) Scene;
        if (scene == nullptr) {
            Error::Report(1, "Main: Not enough memory for scene.\n");
            return false;
        }
        gSceneObjects[i] = scene;
        if (!LoadScene(scene, SCENE_TABLE[i], i == 0, gObjectLists[i], gLightLists[i]))
            return false;
    }
    return true;
}

void Demo::RequestDemoMode()
{
    const platform::PictureSize size = platform::PictureSizeToFill();
    gAquarium.width = size.width;
    gAquarium.height = size.height;
    gAquarium.colourDepth = DEMO_COLOUR_DEPTH;
    gAquarium.fullScreen = 1;
}
