// Window classes and the one window of the real backend, as the host knows
// them: a record made by CreateWindow whose SDL window appears only when the
// pixel format is set (SDL fixes the GL visual then). Main thread only.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform {

// A device context is known by its address alone.
struct DeviceContextTag {};

struct WindowRecord {
    std::string title;
    std::uint32_t style = 0;       // WS_* bits as asked
    int x = 0, y = 0;              // outer position as asked
    int width = 0, height = 0;     // outer size as asked: the frame the system draws
    WindowProc procedure = nullptr;
    DeviceContextTag dc;           // CS_OWNDC: one device context for the window's life
    bool shown = false;            // ShowWindow's wish, applied once the SDL window exists
    int pixelFormat = 0;           // 0 until SetPixelFormat
    bool resizable = false;        // the user may change its size: the frame is scaled
    SDL_Window* sdl = nullptr;     // made by SetPixelFormat; owned by this record's holder
};

inline bool IsPopup(const WindowRecord& window) { return (window.style & WS_POPUP) != 0; }

class SdlWindows {
public:
    bool RegisterClass(const WindowClass& windowClass);
    bool UnregisterClass(const char* className);
    // The record of a window of a registered class; null when a window
    // exists already (the program has one) or the class is unknown.
    WindowHandle Create(const WindowParams& wanted);
    WindowRecord* Of(WindowHandle window) const;
    WindowRecord* Of(DeviceContextHandle dc) const;
    WindowRecord* Only() const { return window_.get(); }
    WindowHandle Handle() const;
    DeviceContextHandle GetDC(WindowHandle window) const;
    // Destroys the SDL window, if any, and forgets the record.
    void Destroy();

private:
    // Class name to window procedure; CS_OWNDC needs nothing, every window owns its DC.
    std::map<std::string, WindowProc> classes_;
    std::unique_ptr<WindowRecord> window_;
};

}  // namespace platform
