// Pixel format, GL contexts and buffer swaps of the real backend. Every
// window offers one pixel format (RGBA 8-8-8-8, depth 24, stencil 8, double
// buffer), multisampled when the picture asks for it. A context made current
// on a window whose drawable is not the frame's size, may change size, or
// lacks the samples asked for, draws into an offscreen frame that every swap
// shows on the window; otherwise the window is drawn directly.
// Main thread; SDL video is running.
#pragma once

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/frame_presenter.h"
#include "platform/platform.h"
#include "platform/sdl_windows.h"

namespace platform {

// The one pixel format, as DescribePixelFormat fills it in.
PixelFormatDescriptor OnlyPixelFormat();
// SDL picks the GL visual from these when the window is created; samples
// above 1 ask for a multisampled one.
void ApplyGlAttributes(const PixelFormatDescriptor& pfd, int samples);

class SdlContexts {
public:
    // A context on window's SDL window; the current context stays current.
    GLContextHandle Create(SDL_Window* window);
    // Makes context current on window (1) or, for a null context, releases
    // the current one; 0 when either is unknown.
    int MakeCurrent(const WindowRecord* window, GLContextHandle context);
    int Delete(GLContextHandle context);
    // Shows the frame drawn on window: blitted when drawn offscreen.
    void Swap(const WindowRecord& window);
    // The refresh period of window's display when the current context's swaps
    // wait for it, else 0 (the driver swaps at once, or the display says no rate).
    static std::int64_t SyncedRefreshMicroseconds(SDL_Window* window);
    // Makes the current context's frame readable (a multisampled one resolved).
    void ResolveCurrentFrame() const;
    void DeleteAll();

private:
    struct ContextRecord {
        SDL_GLContext sdl;
        FramePresenter frame;  // started when the window needs scaling
    };

    ContextRecord* Find(GLContextHandle context) const;
    ContextRecord* CurrentOn(const WindowRecord& window) const;

    std::vector<std::unique_ptr<ContextRecord>> contexts_;
};

}  // namespace platform
