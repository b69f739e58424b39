// The whole frame loop on the real backends, headless: a full-screen Aquarium
// on SDL's offscreen driver with libGL.so.1, frames until a scripted Escape,
// a scripted F10 on the way, and the orderly end with status 1. The offscreen
// display has no 640 x 480 mode, so the frame is scaled and the change's
// message is the only one.
// SDL is used here only to push the key events a user would make.
#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/systemobjects.h"
#include "image/screenshot.h"
#include "tests/support/demo_fill.h"
#include "tests/support/scratch_directory.h"

namespace {

constexpr std::uint32_t SCREENSHOT_FRAME = 2;
constexpr std::uint32_t ESCAPE_FRAME = 3;

void PushKey(SDL_Keycode key, Uint32 type)
{
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// Plays the user: F10 in one frame, Escape in a later one.
class ScriptedUser : public Plugin {
public:
    ScriptedUser() { function = Act; }

    static void Act()
    {
        const std::uint32_t frame = gAquarium.frameCounter;
        if (frame == SCREENSHOT_FRAME) {
            PushKey(SDLK_F10, SDL_KEYDOWN);
            PushKey(SDLK_F10, SDL_KEYUP);
        }
        if (frame == ESCAPE_FRAME)
            PushKey(SDLK_ESCAPE, SDL_KEYDOWN);
    }
};

long FileSize(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// In the death test's child, in the test's scratch directory, where the shot lands.
void PlayUntilEscape()
{
    test_support::FillAsTheDemoDoes();
    static Fishes frame;
    static TimelineCarrier user;
    Fish::AttachPlugin(&user, new ScriptedUser, false);
    for (Fish* object : {static_cast<Fish*>(&gClearScreen), static_cast<Fish*>(&gOrderTableReset),
                         static_cast<Fish*>(&gOrderTableSort), static_cast<Fish*>(&gOrderTableDraw),
                         static_cast<Fish*>(&user), static_cast<Fish*>(&gScreenshot),
                         static_cast<Fish*>(&gBufferSwap), static_cast<Fish*>(&gClock),
                         static_cast<Fish*>(&gEscapeKey), static_cast<Fish*>(&gMessagePump)})
        Fishes::InsertObject(&frame, object, false);
    gAquarium.currentObjectList = frame;
    Mainloop mainloop(&gAquarium, true);
    mainloop.Feed();
    std::fprintf(stderr, "frames %u, shot0.tga %ld bytes, error text [%s]\n",
                 gAquarium.frameCounter, FileSize("shot0.tga"), Error::Text());
    Aquarium::Shutdown(Error::Text());
}

TEST(HeadlessRunDeathTest, FramesRunUntilEscapeAndTheProgramEndsWithStatusOne)
{
    test_support::ScratchDirectory scratch;
    EXPECT_EXIT(PlayUntilEscape(), ::testing::ExitedWithCode(1),
                "frames 3, shot0.tga 921618 bytes, error text \\[ChangeResolution: The video mode "
                "640x480x32-bit color is not supported\n\\]\n");
}

}  // namespace
