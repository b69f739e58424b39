// The demo's entry point. Fills the global Aquarium (display mode, window, GL
// libraries and context), then runs frames over the system objects until
// Escape or a closed window, and ends through Aquarium::Shutdown.
#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/systemobjects.h"
#include "image/screenshot.h"
#include "platform/platform.h"

namespace {
constexpr std::int32_t SCREEN_WIDTH = 640;
constexpr std::int32_t SCREEN_HEIGHT = 480;
constexpr std::int32_t SCREEN_COLOUR_DEPTH = 32;

// Lives until the process ends; the Aquarium borrows its array.
Fishes frameList;

bool BuildFrameList()
{
    Fish* const objects[] = {&gClearScreen, &gOrderTableReset, &gOrderTableSort,
                             &gOrderTableDraw, &gScreenshot, &gBufferSwap,
                             &gClock, &gEscapeKey, &gMessagePump};
    for (Fish* object : objects) {
        if (!Fishes::InsertObject(&frameList, object, false))
            return false;
    }
    return true;
}

void ShowBlackFrame()
{
    ClearScreen::Swim();
    BufferSwap::Swim();
}
}  // namespace

int main()
{
    gAquarium.width = SCREEN_WIDTH;
    gAquarium.height = SCREEN_HEIGHT;
    gAquarium.colourDepth = SCREEN_COLOUR_DEPTH;
    gAquarium.fullScreen = 1;
    // A failed fill is shown like every other failure rather than ending silently.
    if (!gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST,
                              platform::Os().ProgramInstance()))
        Aquarium::Shutdown(Error::Text());
    ShowBlackFrame();
    if (!BuildFrameList())
        Aquarium::Shutdown(Error::Text());
    gAquarium.currentObjectList = frameList;
    Clock::Swim();
    Mainloop mainloop(&gAquarium, true);
    mainloop.Feed();
    Aquarium::Shutdown(Error::Text());
}
