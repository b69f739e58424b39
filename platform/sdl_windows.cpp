// Window classes and the window record; see sdl_windows.h.
#include "platform/sdl_windows.h"

namespace platform {
namespace {

WindowHandle HandleOf(WindowRecord* window)
{
    return reinterpret_cast<WindowHandle>(window);
}

DeviceContextHandle HandleOf(DeviceContextTag* dc)
{
    return reinterpret_cast<DeviceContextHandle>(dc);
}

}  // namespace

bool SdlWindows::RegisterClass(const WindowClass& windowClass)
{
    if (windowClass.className == nullptr)
        return false;
    return classes_.emplace(windowClass.className, windowClass.procedure).second;
}

bool SdlWindows::UnregisterClass(const char* className)
{
    return className != nullptr && classes_.erase(className) == 1;
}

WindowHandle SdlWindows::Create(const WindowParams& wanted)
{
    if (wanted.className == nullptr || window_)
        return nullptr;
    const auto found = classes_.find(wanted.className);
    if (found == classes_.end())
        return nullptr;
    window_ = std::make_unique<WindowRecord>();
    window_->title = wanted.title != nullptr ? wanted.title : "";
    window_->style = wanted.style;
    window_->x = wanted.x;
    window_->y = wanted.y;
    window_->width = wanted.width;
    window_->height = wanted.height;
    window_->procedure = found->second;
    return HandleOf(window_.get());
}

WindowRecord* SdlWindows::Of(WindowHandle window) const
{
    return window_ && window == HandleOf(window_.get()) ? window_.get() : nullptr;
}

WindowRecord* SdlWindows::Of(DeviceContextHandle dc) const
{
    return window_ && dc == HandleOf(&window_->dc) ? window_.get() : nullptr;
}

WindowHandle SdlWindows::Handle() const
{
    return HandleOf(window_.get());
}

DeviceContextHandle SdlWindows::GetDC(WindowHandle handle) const
{
    WindowRecord* const window = Of(handle);
    return window != nullptr ? HandleOf(&window->dc) : nullptr;
}

void SdlWindows::Destroy()
{
    if (window_ && window_->sdl)
        SDL_DestroyWindow(window_->sdl);
    window_.reset();
}

}  // namespace platform
