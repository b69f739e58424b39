// aqtool render: shows a data maker one frame of a scene exactly as the demo
// draws it, written as a 24-bit TGA file like the demo's screenshots, at the
// demo's size or at another one.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "host/aquarium.h"
#include "host/error.h"
#include "image/tga.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/options.h"
#include "tools/aqtool/render_frame.h"

namespace aqtool {

namespace {

constexpr std::int32_t SAVED_BITS = 24;

// The whole of text as decimal milliseconds that the demo's 32-bit clock holds.
bool ParseTime(const char* text, std::uint32_t& time)
{
    if (*text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*end != '\0' || errno != 0 || value > std::numeric_limits<std::uint32_t>::max())
        return false;
    time = static_cast<std::uint32_t>(value);
    return true;
}

// With the Aquarium filled: the scene loaded, one pass drawn and saved.
bool RenderToFile(const char* name, std::uint32_t time, const char* outPath)
{
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[FrameBufferSize()]);
    if (!pixels) {
        Error::Report(1, "aqtool render: Not enough memory for the frame.\n");
        return false;
    }
    SceneFrames frames;
    return frames.Load(name) && frames.Render(time, pixels.get()) &&
           TGA::Save(pixels.get(), outPath, gAquarium.width, gAquarium.height, SAVED_BITS);
}

}  // namespace

int Render(char* const* arguments)
{
    const std::string name = DemoName(arguments[0]);
    std::uint32_t time = 0;
    if (!ParseTime(arguments[1], time)) {
        std::fprintf(stderr, "aqtool render: TIME is not a number of milliseconds from 0 to 4294967295: %s\n",
                     arguments[1]);
        return EXIT_USAGE;
    }
    ToolOptions options;
    const int usage = ReadOptions("render", arguments + 3, {SIZE_OPTION, SAMPLES_OPTION}, options);
    if (usage != EXIT_OK)
        return usage;
    platform::SetPictureChoice(options.picture);
    if (!OpenDemoArchive() || !FillDemoAquarium(ModeSwitch::NONE))
        return Fail();
    const bool rendered = RenderToFile(name.c_str(), time, arguments[2]);
    EmptyDemoAquarium();
    return rendered ? EXIT_OK : Fail();
}

}  // namespace aqtool
