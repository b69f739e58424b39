// Screenshots: runs inside the frame loop, where the GL context is current and
// the frame just drawn is in the back buffer.
#include "image/screenshot.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/opengllib.h"
#include "image/tga.h"
#include "platform/platform.h"

namespace {
constexpr int SAVED_BITS = 24;
constexpr int FILE_NAME_SIZE = Screenshot::PREFIX_SIZE + 16;
}  // namespace

Screenshot::Screenshot(const char* name)
{
    type = TYPE;
    std::snprintf(prefix, sizeof prefix, "%s", name);
}

void Screenshot::Swim()
{
    const std::uint16_t f10 = platform::Os().GetAsyncKeyState(platform::VK_F10);
    if ((f10 & platform::KEY_PRESSED_SINCE_LAST_QUERY) == 0)
        return;
    auto* shot = static_cast<Screenshot*>(gAquarium.currentObject);
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[FrameBlockSize()]);
    if (!block) {
        Error::Report(1, "Screenshot::Swim: Error allocating memory\n");
        gAquarium.quit = 1;
        return;
    }
    ReadFrame(block.get());
    char fileName[FILE_NAME_SIZE];
    std::snprintf(fileName, sizeof fileName, "%s%d%s", shot->prefix, shot->counter, ".tga");
    ++shot->counter;
    if (!TGA::Save(block.get(), fileName, gAquarium.width, gAquarium.height, SAVED_BITS)) {
        gAquarium.quit = 1;
        Error::Report(1, "Screenshot::Swim: Error writing .tga-file\n");
    }
}

std::size_t Screenshot::FrameBlockSize()
{
    return static_cast<std::size_t>(gAquarium.width) * static_cast<std::size_t>(gAquarium.height) * 4;
}

void Screenshot::ReadFrame(std::uint8_t* block)
{
    OpenGLLib::glReadPixels(0, 0, gAquarium.width, gAquarium.height, GL_RGB, GL_UNSIGNED_BYTE, block);
}
