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
    : real_(real), session_(session), ticksPerMillisecond_(framesPerSecond)
{
}

platform::ResourceHandle CaptureBackend::LoadIcon(platform::InstanceHandle instance, const char* name)
{
    return real_.LoadIcon(instance, name);
}

platform::ResourceHandle CaptureBackend::LoadCursor(platform::InstanceHandle instance, int id)
{
    return real_.LoadCursor(instance, id);
}

bool CaptureBackend::RegisterClass(const platform::WindowClass& windowClass)
{
    return real_.RegisterClass(windowClass);
}

bool CaptureBackend::UnregisterClass(const char* className, platform::InstanceHandle instance)
{
    return real_.UnregisterClass(className, instance);
}

platform::WindowHandle CaptureBackend::CreateWindow(const platform::WindowParams& wanted)
{
    return real_.CreateWindow(wanted);
}

void CaptureBackend::ShowWindow(platform::WindowHandle window, int command) { real_.ShowWindow(window, command); }

int CaptureBackend::ReleaseDC(platform::WindowHandle window, platform::DeviceContextHandle dc)
{
    return real_.ReleaseDC(window, dc);
}

std::intptr_t CaptureBackend::DispatchMessage(const platform::Message& message)
{
    return real_.DispatchMessage(message);
}

std::intptr_t CaptureBackend::DefWindowProc(const platform::Message& message)
{
    return real_.DefWindowProc(message);
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

int CaptureBackend::ChoosePixelFormat(platform::DeviceContextHandle dc, const platform::PixelFormatDescriptor* pfd)
{
    return real_.ChoosePixelFormat(dc, pfd);
}

int CaptureBackend::DescribePixelFormat(platform::DeviceContextHandle dc, int format, unsigned size,
                                        platform::PixelFormatDescriptor* pfd)
{
    return real_.DescribePixelFormat(dc, format, size, pfd);
}

bool CaptureBackend::SetPixelFormat(platform::DeviceContextHandle dc, int format,
                                    const platform::PixelFormatDescriptor* pfd)
{
    return real_.SetPixelFormat(dc, format, pfd);
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

void CaptureBackend::MessageBox(platform::WindowHandle owner, const char* text, const char* caption)
{
    real_.MessageBox(owner, text, caption);
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

platform::Proc CaptureBackend::GetProcAddress(platform::ModuleHandle module, const char* name)
{
    return real_.GetProcAddress(module, name);
}

}  // namespace aqtool
