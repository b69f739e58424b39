// Frames of one scene drawn by the demo's own frame loop. Single-threaded;
// between FillDemoAquarium and EmptyDemoAquarium the Aquarium's GL context is
// current.
#include "tools/aqtool/render_frame.h"

#include <cstring>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "host/scenelists.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "image/screenshot.h"
#include "platform/picture.h"

namespace aqtool {

namespace {

// Reads the frame at the buffer swap's turn, before the swap: afterwards the
// back buffer's contents are undefined. Enabled only for a pass that asked.
class FrameReader : public Plugin {
public:
    FrameReader()
    {
        enabled = 0;
        function = Read;
    }

    static void Read()
    {
        FrameReader* const reader = static_cast<FrameReader*>(gAquarium.currentPlugin);
        if (reader->pixels != nullptr)
            Screenshot::ReadFrame(reader->pixels);
        else
            OpenGLLib::glFinish();
        reader->read = true;
    }

    std::uint8_t* pixels = nullptr;  // borrowed for one pass; null: only wait for the frame
    bool read = false;
};

// Owned by the buffer swap's plugin chain once attached.
FrameReader* frameReader = nullptr;

bool AttachFrameReader()
{
    if (frameReader != nullptr)
        return true;
    frameReader = new (std::nothrow) FrameReader;
    if (frameReader == nullptr) {
        Error::Report(1, "FillDemoAquarium: Not enough memory for the frame reader.\n");
        return false;
    }
    Fish::AttachPlugin(&gBufferSwap, frameReader, true);
    return true;
}

}  // namespace

bool FillDemoAquarium(ModeSwitch modeSwitch)
{
    if (modeSwitch == ModeSwitch::NONE) {
        platform::PictureChoice picture = platform::ChosenPicture();
        picture.desktopKept = true;
        platform::SetPictureChoice(picture);
    }
    Demo::RequestDemoMode();
    if (!gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, platform::Os().ProgramInstance()))
        return false;
    return AttachFrameReader();
}

void EmptyDemoAquarium() { Aquarium::GLShutdown(); }

std::size_t FrameBufferSize() { return Screenshot::FrameBlockSize(); }

SceneFrames::~SceneFrames()
{
    if (gAquarium.currentObjectList.items == objects_.items)
        gAquarium.currentObjectList = FishList{};
    if (gAquarium.currentLightList.items == lights_.items)
        gAquarium.currentLightList = FishList{};
}

bool SceneFrames::Load(const char* name)
{
    const bool firstScene = std::strcmp(name, SCENE_TABLE[0]) == 0;
    return Demo::LoadScene(&scene_, name, firstScene, objects_, lights_);
}

bool SceneFrames::Render(std::uint32_t time, std::uint8_t* pixels)
{
    gAquarium.currentObjectList = objects_;
    gAquarium.currentLightList = lights_;
    scene_.startTime = gAquarium.currentTime - time;
    frameReader->pixels = pixels;
    frameReader->read = false;
    frameReader->enabled = 1;
    Mainloop onePass(&gAquarium, false);
    onePass.Feed();
    frameReader->enabled = 0;
    frameReader->pixels = nullptr;
    if (!frameReader->read) {
        Error::Report(1, "SceneFrames::Render: The frame ended before its buffer swap.\n");
        return false;
    }
    return true;
}

}  // namespace aqtool
