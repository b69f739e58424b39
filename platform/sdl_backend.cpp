// The real backend: one SdlBackend that answers platform.h's calls through
// its services (video, keys, windows and messages, display modes, contexts
// and swaps, libraries), each in its own file. Every call comes from the
// program's main thread; SDL video starts on the first call that needs it and
// closes at process exit.
#include "platform/sdl_backend.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/frame_timing.h"
#include "platform/music.h"
#include "platform/picture.h"
#include "platform/sdl_display.h"
#include "platform/sdl_gl.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_libraries.h"
#include "platform/sdl_messages.h"
#include "platform/sdl_video.h"
#include "platform/sdl_windows.h"

namespace platform {
namespace {

constexpr int ONLY_PIXEL_FORMAT = 1;
constexpr int PIXEL_FORMAT_COUNT = 1;
constexpr int SHOW_HIDE = 0;  // SW_HIDE; every other command shows
constexpr ResourceHandle RESOURCE_TOKEN = 1;

bool debuggerOutput = false;

GLContextHandle WglCreateContext(DeviceContextHandle dc);
int WglMakeCurrent(DeviceContextHandle dc, GLContextHandle context);
int WglDeleteContext(GLContextHandle context);

Proc WglGetProcAddress(const char* name)
{
    return reinterpret_cast<Proc>(SDL_GL_GetProcAddress(name));
}

void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);

class SdlBackend final : public Backend {
public:
    SdlBackend()
        : libraries_(GlModuleFunctions{&WglCreateContext, &WglMakeCurrent, &WglDeleteContext,
                                       &WglGetProcAddress, &ReadPixels})
    {
    }

    // Puts the display back and lets go of SDL and the libraries; the backend
    // itself lives on, answering calls made later in the process's exit.
    void Close();

    InstanceHandle ProgramInstance() override;
    ResourceHandle LoadIcon(InstanceHandle, const char*) override { return RESOURCE_TOKEN; }
    ResourceHandle LoadCursor(InstanceHandle, int) override { return RESOURCE_TOKEN; }
    ResourceHandle GetStockObject(int) override { return RESOURCE_TOKEN; }
    bool RegisterClass(const WindowClass& windowClass) override;
    bool UnregisterClass(const char* className, InstanceHandle) override;
    WindowHandle CreateWindow(const WindowParams& wanted) override;
    void ShowWindow(WindowHandle window, int command) override;
    // SDL has no paint messages to flush.
    void UpdateWindow(WindowHandle) override {}
    DeviceContextHandle GetDC(WindowHandle window) override { return windows_.GetDC(window); }
    int ReleaseDC(WindowHandle window, DeviceContextHandle dc) override;
    // The desktop's size; the window manager draws frames and captions
    // outside the client area, so those measure 0.
    int GetSystemMetrics(int index) override;
    bool PeekMessage(Message& message) override;
    void TranslateMessage(const Message& message) override { messages_.Translate(message); }
    std::intptr_t DispatchMessage(const Message& message) override;
    std::intptr_t DefWindowProc(const Message&) override { return 0; }
    WindowHandle GetFocus() override { return windows_.Handle(); }
    bool SetWindowText(WindowHandle window, const char* title) override;

    bool EnumDisplaySettings(std::uint32_t index, DisplayMode& mode) override;
    int ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) override;

    int ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd) override;
    int DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size,
                            PixelFormatDescriptor* pfd) override;
    bool SetPixelFormat(DeviceContextHandle dc, int format,
                        const PixelFormatDescriptor* pfd) override;
    bool SwapBuffers(DeviceContextHandle dc) override;

    std::uint16_t GetAsyncKeyState(int virtualKey) override;
    int ShowCursor(bool show) override;
    void MessageBox(WindowHandle owner, const char* text, const char* caption) override;
    void OutputDebugString(const char* text) override;

    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    void Sleep(std::uint32_t milliseconds) override { SDL_Delay(milliseconds); }
    std::int64_t PictureLatencyMicroseconds() override;

    ModuleHandle LoadLibrary(const char* name) override { return libraries_.Load(name); }
    Proc GetProcAddress(ModuleHandle module, const char* name) override;
    bool FreeLibrary(ModuleHandle module) override { return libraries_.Free(module); }

    // What the GL module exports under its wgl names.
    GLContextHandle CreateContext(DeviceContextHandle dc);
    int MakeCurrent(DeviceContextHandle dc, GLContextHandle context);
    int DeleteContext(GLContextHandle context) { return contexts_.Delete(context); }
    void ResolveFrame() const { contexts_.ResolveCurrentFrame(); }

private:
    bool VideoReady();

    SdlVideo video_;
    SdlKeys keys_;
    SdlWindows windows_;
    SdlMessages messages_;
    SdlDisplay display_;
    SdlContexts contexts_;
    SdlLibraries libraries_;
    FrameTiming frames_;                  // of the swaps so far
    DeviceContextHandle lastSwapped_ = nullptr;  // of the latest swap's window
    int cursorCount_ = 0;  // the cursor shows while >= 0
};

void CloseAtExit();

// Never destroyed: globals destroyed after it (the Aquarium among them) still
// call it while the process exits.
SdlBackend& TheBackend()
{
    static SdlBackend* const backend = [] {
        auto* created = new SdlBackend;
        std::atexit(CloseAtExit);
        return created;
    }();
    return *backend;
}

void CloseAtExit()
{
    TheBackend().Close();
}

GLContextHandle WglCreateContext(DeviceContextHandle dc)
{
    return TheBackend().CreateContext(dc);
}

int WglMakeCurrent(DeviceContextHandle dc, GLContextHandle context)
{
    return TheBackend().MakeCurrent(dc, context);
}

int WglDeleteContext(GLContextHandle context)
{
    return TheBackend().DeleteContext(context);
}

// The GL module's glReadPixels: a multisampled frame is resolved first, so
// that a screenshot or a capture reads what was drawn.
void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    using ReadPixelsProc = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    static const auto read = reinterpret_cast<ReadPixelsProc>(SDL_GL_GetProcAddress("glReadPixels"));
    TheBackend().ResolveFrame();
    if (read != nullptr)
        read(x, y, width, height, format, type, pixels);
}

// ---- lifetime ----

void SdlBackend::Close()
{
    if (windows_.Only() != nullptr)
        display_.Change(nullptr, windows_.Only());
    contexts_.DeleteAll();
    windows_.Destroy();
    messages_.Clear();
    keys_.Unwatch();
    video_.Close();
    SDL_Quit();
    libraries_.FreeAll();
}

bool SdlBackend::VideoReady()
{
    if (!video_.Ready())
        return false;
    keys_.Watch();
    return true;
}

// ---- windows and messages ----

InstanceHandle SdlBackend::ProgramInstance()
{
    static char programTag;
    return reinterpret_cast<InstanceHandle>(&programTag);
}

bool SdlBackend::RegisterClass(const WindowClass& windowClass)
{
    return VideoReady() && windows_.RegisterClass(windowClass);
}

bool SdlBackend::UnregisterClass(const char* className, InstanceHandle)
{
    return windows_.UnregisterClass(className);
}

WindowHandle SdlBackend::CreateWindow(const WindowParams& wanted)
{
    return VideoReady() ? windows_.Create(wanted) : nullptr;
}

void SdlBackend::ShowWindow(WindowHandle handle, int command)
{
    WindowRecord* const window = windows_.Of(handle);
    if (window == nullptr)
        return;
    window->shown = command != SHOW_HIDE;
    display_.Show(*window);
}

int SdlBackend::ReleaseDC(WindowHandle window, DeviceContextHandle dc)
{
    return windows_.Of(window) != nullptr && windows_.Of(dc) != nullptr ? 1 : 0;
}

bool SdlBackend::PeekMessage(Message& message)
{
    return VideoReady() && messages_.Peek(windows_.Handle(), message);
}

std::intptr_t SdlBackend::DispatchMessage(const Message& message)
{
    const WindowRecord* const window = windows_.Of(message.window);
    if (window == nullptr || window->procedure == nullptr)
        return 0;
    return window->procedure(message.window, message.kind, message.wParam, message.lParam);
}

bool SdlBackend::SetWindowText(WindowHandle handle, const char* title)
{
    WindowRecord* const window = windows_.Of(handle);
    if (window == nullptr)
        return false;
    window->title = title != nullptr ? title : "";
    if (window->sdl != nullptr)
        SDL_SetWindowTitle(window->sdl, window->title.c_str());
    return true;
}

// ---- display modes ----

bool SdlBackend::EnumDisplaySettings(std::uint32_t index, DisplayMode& mode)
{
    return VideoReady() && display_.Enumerate(index, mode);
}

int SdlBackend::ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t)
{
    if (mode != nullptr && !VideoReady())
        return DISP_CHANGE_FAILED;
    return display_.Change(mode, windows_.Only());
}

// ---- pixel format, swap and contexts ----

int SdlBackend::ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd)
{
    const bool supported =
        pfd != nullptr && (pfd->flags & PFD_SUPPORT_OPENGL) != 0 && pfd->pixelType == PFD_TYPE_RGBA;
    return windows_.Of(dc) != nullptr && supported ? ONLY_PIXEL_FORMAT : 0;
}

// A null descriptor asks only how many formats there are, as on Windows.
int SdlBackend::DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size,
                                    PixelFormatDescriptor* pfd)
{
    if (windows_.Of(dc) == nullptr || format != ONLY_PIXEL_FORMAT)
        return 0;
    if (pfd == nullptr)
        return PIXEL_FORMAT_COUNT;
    if (size < sizeof(PixelFormatDescriptor))
        return 0;
    *pfd = OnlyPixelFormat();
    return PIXEL_FORMAT_COUNT;
}

// The SDL window is made only now because SDL fixes the GL visual then.
bool SdlBackend::SetPixelFormat(DeviceContextHandle dc, int format,
                                const PixelFormatDescriptor* pfd)
{
    WindowRecord* const window = windows_.Of(dc);
    if (window == nullptr || format != ONLY_PIXEL_FORMAT)
        return false;
    if (window->pixelFormat != 0)
        return window->pixelFormat == format;
    if (!VideoReady() || !video_.GlLibraryReady())
        return false;
    const PixelFormatDescriptor& descriptor = pfd != nullptr ? *pfd : OnlyPixelFormat();
    const int samples = ChosenPicture().samples;
    ApplyGlAttributes(descriptor, samples);
    if (!display_.Open(*window)) {
        // A display without a multisampled visual still gets its window; the
        // frame may then be multisampled offscreen.
        if (samples <= 1)
            return false;
        ApplyGlAttributes(descriptor, 0);
        if (!display_.Open(*window))
            return false;
    }
    window->pixelFormat = format;
    return true;
}

bool SdlBackend::SwapBuffers(DeviceContextHandle dc)
{
    const WindowRecord* const window = windows_.Of(dc);
    if (window == nullptr || window->sdl == nullptr)
        return false;
    const std::int64_t start = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    contexts_.Swap(*window);
    frames_.Swapped(start, static_cast<std::int64_t>(SDL_GetPerformanceCounter()));
    lastSwapped_ = dc;
    PictureShown();
    return true;
}

std::int64_t SdlBackend::PictureLatencyMicroseconds()
{
    const WindowRecord* const window = windows_.Of(lastSwapped_);
    return frames_.LatencyMicroseconds(static_cast<std::int64_t>(SDL_GetPerformanceFrequency()),
                                       SdlContexts::SyncedRefreshMicroseconds(window ? window->sdl : nullptr));
}

GLContextHandle SdlBackend::CreateContext(DeviceContextHandle dc)
{
    const WindowRecord* const window = windows_.Of(dc);
    if (window == nullptr || window->sdl == nullptr)
        return nullptr;
    return contexts_.Create(window->sdl);
}

int SdlBackend::MakeCurrent(DeviceContextHandle dc, GLContextHandle context)
{
    return contexts_.MakeCurrent(windows_.Of(dc), context);
}

// ---- input, user interface, time, libraries ----

std::uint16_t SdlBackend::GetAsyncKeyState(int virtualKey)
{
    if (VideoReady())
        SDL_PumpEvents();
    return keys_.Query(virtualKey);
}

int SdlBackend::GetSystemMetrics(int index)
{
    SDL_DisplayMode desktop;
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !VideoReady() ||
        SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return 0;
    return index == SM_CXSCREEN ? desktop.w : desktop.h;
}

int SdlBackend::ShowCursor(bool show)
{
    cursorCount_ += show ? 1 : -1;
    if (VideoReady())
        SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount_;
}

// The text always reaches stderr; when video would not start, SDL's reason
// follows it there, since the text alone cannot say what is missing.
void SdlBackend::MessageBox(WindowHandle owner, const char* text, const char* caption)
{
    const char* const body = text != nullptr ? text : "";
    std::fputs(body, stderr);
    const std::size_t length = std::strlen(body);
    if (length == 0 || body[length - 1] != '\n')
        std::fputc('\n', stderr);
    if (!video_.RealDisplay()) {
        if (!video_.StartFailure().empty())
            std::fprintf(stderr, "SDL could not start video: %s\n", video_.StartFailure().c_str());
        return;
    }
    const WindowRecord* const window = windows_.Of(owner);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption != nullptr ? caption : "", body,
                             window != nullptr ? window->sdl : nullptr);
}

void SdlBackend::OutputDebugString(const char* text)
{
    if (debuggerOutput && text != nullptr)
        std::fputs(text, stderr);
}

bool SdlBackend::QueryPerformanceCounter(std::int64_t& count)
{
    count = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    return true;
}

bool SdlBackend::QueryPerformanceFrequency(std::int64_t& frequency)
{
    frequency = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    return true;
}

Proc SdlBackend::GetProcAddress(ModuleHandle module, const char* name)
{
    return libraries_.Find(module, name);
}

}  // namespace

Backend& RealBackend()
{
    return TheBackend();
}

void SetDebuggerOutput(bool on)
{
    debuggerOutput = on;
}

void UseOffscreenVideo()
{
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
}

void UseResizableWindow() { ChooseWindow(); }

}  // namespace platform
