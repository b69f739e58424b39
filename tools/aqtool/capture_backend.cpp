// The capture's platform; see capture_backend.h. Everything but the clock,
// the display modes, the keys and the swap goes to the real backend as it is.
#include "tools/aqtool/capture_backend.h"

#include "host/scenelists.h"
#include "platform/picture.h"

namespace aqtool {

namespace {
constexpr std::int64_t TICKS_PER_FRAME = 1000;
constexpr std::uint32_t DEMO_BITS = DEMO_COLOUR_DEPTH;

// The capture's mode: the demo's colour depth at the picture's size.
bool IsCaptureMode(const platform::DisplayMode& mode)
{
    const platform::PictureSize size = platform::ChosenPicture().size;
    return mode.width == static_cast<std::uint32_t>(size.width) &&
           mode.height == static_cast<std::uint32_t>(size.height) && mode.bitsPerPel == DEMO_BITS;
}
}  // namespace

CaptureBackend::CaptureBackend(platform::Backend& real, CaptureSession& session, std::uint32_t framesPerSecond)
    : ForwardingBackend(real), session_(session), ticksPerMillisecond_(framesPerSecond)
{
}

// The frames are files of the picture's size; the real display is never switched.
bool CaptureBackend::EnumDisplaySettings(std::uint32_t index, platform::DisplayMode& mode)
{
    if (index != 0)
        return false;
    const platform::PictureSize size = platform::ChosenPicture().size;
    mode = platform::DisplayMode{};
    mode.width = static_cast<std::uint32_t>(size.width);
    mode.height = static_cast<std::uint32_t>(size.height);
    mode.bitsPerPel = DEMO_BITS;
    return true;
}

int CaptureBackend::ChangeDisplaySettings(const platform::DisplayMode* mode, std::uint32_t)
{
    return mode == nullptr || IsCaptureMode(*mode) ? platform::DISP_CHANGE_SUCCESSFUL : platform::DISP_CHANGE_BADMODE;
}

// Nothing is presented: nobody watches, and scaling every frame onto the
// headless desktop would cost more than drawing it. The frame stays where it
// was drawn, so the trails of a fading scene build on it as on the screen.
bool CaptureBackend::SwapBuffers(platform::DeviceContextHandle)
{
    if (!session_.Recording())
        return true;
    session_.TakeFrame();
    ticks_ += TICKS_PER_FRAME;
    return true;
}

bool CaptureBackend::QueryPerformanceCounter(std::int64_t& count)
{
    count = ticks_;
    return true;
}

bool CaptureBackend::QueryPerformanceFrequency(std::int64_t& frequency)
{
    frequency = ticksPerMillisecond_ * 1000;
    return true;
}

// Time passes for the demo; nobody waits for it.
void CaptureBackend::Sleep(std::uint32_t milliseconds) { ticks_ += milliseconds * ticksPerMillisecond_; }

}  // namespace aqtool
