// Pixel format, contexts and swaps of the real backend; see sdl_gl.h.
#include "platform/sdl_gl.h"

#include <algorithm>
#include <cstdio>

#include "platform/picture.h"

namespace platform {
namespace {

constexpr std::uint16_t DESCRIPTOR_VERSION = 1;
constexpr std::uint8_t TRUE_COLOUR_BITS = 32;
constexpr std::uint8_t RGB_ONLY_BITS = 24;
constexpr std::uint8_t CHANNEL_BITS = 8;
constexpr std::uint8_t RED_SHIFT = 16;
constexpr std::uint8_t GREEN_SHIFT = 8;
constexpr std::uint8_t BLUE_SHIFT = 0;
constexpr std::uint8_t ALPHA_SHIFT = 24;
constexpr std::uint8_t DEPTH_BITS = 24;
constexpr std::uint8_t STENCIL_BITS = 8;

int SamplesAsked()
{
    const int samples = ChosenPicture().samples;
    return samples > 1 ? samples : 0;
}

// Samples of the window's own framebuffer, as its context got them.
int DrawableSamples()
{
    int buffers = 0;
    int samples = 0;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers);
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    return buffers > 0 ? samples : 0;
}

// The frame is drawn offscreen unless the drawable is the window's size as
// the system asked for it, and multisampled as asked for.
bool NeedsOffscreenFrame(const WindowRecord& window)
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window.sdl, &width, &height);
    // The samples are asked of the driver only when multisampling was chosen:
    // this runs after every direct swap.
    return window.resizable || width != window.width || height != window.height ||
           (SamplesAsked() > 0 && DrawableSamples() < SamplesAsked());
}

// The user hears once when the multisampling asked for cannot be had; the
// picture is drawn with what there is.
void SayWhatSamplesThereAre(int had)
{
    static bool said = false;
    const int asked = SamplesAsked();
    if (said || had >= asked)
        return;
    said = true;
    if (had > 1)
        std::fprintf(stderr, "Multisampling: %d samples cannot be had here; drawing with %d\n", asked, had);
    else
        std::fprintf(stderr, "Multisampling: %d samples cannot be had here; drawing without it\n", asked);
}

// Draws offscreen from now on, multisampled as asked where the context can.
void StartOffscreenFrame(FramePresenter& frame, const WindowRecord& window)
{
    frame.Start(window.width, window.height, SamplesAsked(), ChosenPicture().sizeChosen);
    SayWhatSamplesThereAre(frame.Active() ? frame.Samples() : DrawableSamples());
}

// Frames never tear: adaptive sync where the driver has it, else every refresh;
// a driver that refuses both swaps at once.
void SwapOnRefresh()
{
    if (SDL_GL_SetSwapInterval(-1) != 0)
        SDL_GL_SetSwapInterval(1);
}

}  // namespace

PixelFormatDescriptor OnlyPixelFormat()
{
    PixelFormatDescriptor pfd{};
    pfd.size = sizeof(PixelFormatDescriptor);
    pfd.version = DESCRIPTOR_VERSION;
    pfd.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.pixelType = PFD_TYPE_RGBA;
    pfd.colorBits = TRUE_COLOUR_BITS;
    pfd.redBits = pfd.greenBits = pfd.blueBits = pfd.alphaBits = CHANNEL_BITS;
    pfd.redShift = RED_SHIFT;
    pfd.greenShift = GREEN_SHIFT;
    pfd.blueShift = BLUE_SHIFT;
    pfd.alphaShift = ALPHA_SHIFT;
    pfd.depthBits = DEPTH_BITS;
    pfd.stencilBits = STENCIL_BITS;
    pfd.layerType = PFD_MAIN_PLANE;
    return pfd;
}

void ApplyGlAttributes(const PixelFormatDescriptor& pfd, int samples)
{
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 1 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 1 ? samples : 0);
    const bool rgbOnly = pfd.colorBits == RGB_ONLY_BITS;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, rgbOnly ? pfd.alphaBits : CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pfd.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pfd.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (pfd.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);
}

GLContextHandle SdlContexts::Create(SDL_Window* window)
{
    SDL_Window* const previousWindow = SDL_GL_GetCurrentWindow();
    const SDL_GLContext previous = SDL_GL_GetCurrentContext();
    const SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr)
        return nullptr;
    // SDL makes the new context current; wglCreateContext leaves the current one alone.
    SDL_GL_MakeCurrent(previousWindow, previous);
    contexts_.push_back(std::make_unique<ContextRecord>(ContextRecord{context, {}}));
    return static_cast<GLContextHandle>(context);
}

int SdlContexts::MakeCurrent(const WindowRecord* window, GLContextHandle context)
{
    if (context == nullptr) {
        if (SDL_GL_GetCurrentContext() == nullptr)
            return 1;
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? 1 : 0;
    }
    ContextRecord* const record = Find(context);
    if (window == nullptr || window->sdl == nullptr || record == nullptr ||
        SDL_GL_MakeCurrent(window->sdl, record->sdl) != 0)
        return 0;
    SwapOnRefresh();
    // Without framebuffer objects the frame is drawn into the window unscaled.
    if (NeedsOffscreenFrame(*window))
        StartOffscreenFrame(record->frame, *window);
    else
        SayWhatSamplesThereAre(DrawableSamples());
    return 1;
}

int SdlContexts::Delete(GLContextHandle context)
{
    const auto known = std::find_if(contexts_.begin(), contexts_.end(), [context](const auto& r) {
        return static_cast<GLContextHandle>(r->sdl) == context;
    });
    if (context == nullptr || known == contexts_.end())
        return 0;
    SDL_GL_DeleteContext((*known)->sdl);  // releases it first when current
    contexts_.erase(known);
    return 1;
}

std::int64_t SdlContexts::SyncedRefreshMicroseconds(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    if (window == nullptr || SDL_GL_GetSwapInterval() == 0 || SDL_GetWindowDisplayMode(window, &mode) != 0 ||
        mode.refresh_rate <= 0)
        return 0;
    return 1000000 / mode.refresh_rate;
}

void SdlContexts::Swap(const WindowRecord& window)
{
    ContextRecord* const current = CurrentOn(window);
    if (current != nullptr && current->frame.Active()) {
        current->frame.Present(window.sdl);
        return;
    }
    SDL_GL_SwapWindow(window.sdl);
    // The mode may have been lost since (a refused switch, a size change):
    // the next frame is drawn offscreen and scaled.
    if (current != nullptr && NeedsOffscreenFrame(window))
        StartOffscreenFrame(current->frame, window);
}

void SdlContexts::ResolveCurrentFrame() const
{
    const SDL_GLContext context = SDL_GL_GetCurrentContext();
    const ContextRecord* const record = context != nullptr ? Find(static_cast<GLContextHandle>(context)) : nullptr;
    if (record != nullptr && record->frame.Active())
        record->frame.Resolve();
}

void SdlContexts::DeleteAll()
{
    for (const auto& record : contexts_)
        SDL_GL_DeleteContext(record->sdl);
    contexts_.clear();
}

SdlContexts::ContextRecord* SdlContexts::Find(GLContextHandle context) const
{
    for (const auto& record : contexts_) {
        if (static_cast<GLContextHandle>(record->sdl) == context)
            return record.get();
    }
    return nullptr;
}

SdlContexts::ContextRecord* SdlContexts::CurrentOn(const WindowRecord& window) const
{
    if (SDL_GL_GetCurrentWindow() != window.sdl)
        return nullptr;
    return Find(static_cast<GLContextHandle>(SDL_GL_GetCurrentContext()));
}

}  // namespace platform
