// The global objects that exist before the entry point runs, defined here
// alone so that they are made in this order (and destroyed in the reverse
// one): the Timeline, the lists, the system objects, then the vector-handle
// table, the Aquarium, the default material and the renderer's constants.
#include <new>

#include "host/aquarium.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "image/screenshot.h"
#include "image/texture.h"
#include "render/matrix.h"
#include "scene/vectorhandle.h"

// Owned by the timeline carrier once start-up attaches it there.
Timeline* const gTimeline = new (std::nothrow) Timeline;
Fishes gObjectLists[SCENE_COUNT];
Fishes gLightLists[SCENE_COUNT];

EscapeKey gEscapeKey;
BufferSwap gBufferSwap;
ClearScreen gClearScreen;
OrderTableReset gOrderTableReset;
OrderTableDraw gOrderTableDraw;
PluginRunner gPluginRunner;
OrderTableSort gOrderTableSort;
Clock gClock;
MessagePump gMessagePump;
Screenshot gScreenshot("shot");
TimelineCarrier gTimelineCarrier;
FadeScreen gFadeScreen;

VectorHandleTable gVectorHandles;
Aquarium gAquarium;
Material gDefaultMaterial;
const RenderConstants gRenderConstants = {1.0f, 0.0f, 0.5f};

namespace {

// The renderer's float mode is in place before main, with its constants.
struct RenderFloatModeAtStart {
    RenderFloatModeAtStart() { SetRenderFloatMode(); }
};

const RenderFloatModeAtStart renderFloatModeAtStart;

}  // namespace
