// The real backend: SDL2 for window, events, display modes and GL context,
// dlopen for libGL and libGLU. Every call comes from the program's main thread;
// SDL video starts on the first call that needs it and closes at process exit.
#include "platform/sdl_backend.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

// The one pixel format every window offers.
constexpr int ONLY_PIXEL_FORMAT = 1;
constexpr int PIXEL_FORMAT_COUNT = 1;
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

constexpr int DISPLAY = 0;    // the demo plays on the primary display
constexpr int SHOW_HIDE = 0;  // SW_HIDE; every other command shows
constexpr ResourceHandle RESOURCE_TOKEN = 1;
constexpr std::uintptr_t SIZE_RESTORED = 0;
constexpr std::intptr_t WORD_MASK = 0xFFFF;
constexpr int HIGH_WORD_SHIFT = 16;
constexpr std::intptr_t KEY_REPEAT_COUNT = 1;
constexpr std::intptr_t KEY_WAS_DOWN = std::intptr_t{1} << 30;
constexpr std::size_t KEY_COUNT = 256;  // virtual-key codes are one byte
constexpr std::uint32_t BITS_OF_FOUR_BYTE_PIXEL = 32;
constexpr unsigned char FIRST_NON_ASCII = 0x80;
constexpr int DLOPEN_FLAGS = RTLD_NOW | RTLD_LOCAL;
constexpr char GLU_FILE[] = "libGLU.so.1";

// Virtual-key codes the host does not name itself.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SPACE = 0x20;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;

struct NamedKey {
    SDL_Keycode key;
    int virtualKey;
};
constexpr std::array<NamedKey, 16> NAMED_KEYS{{
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_TAB, VK_TAB},
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
}};

// Keys whose WM_KEYDOWN TranslateMessage follows with a WM_CHAR, as Windows
// does; SDL text input never reports these control characters.
constexpr std::array<int, 4> CONTROL_CHARACTER_KEYS{{VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE}};

// 0 when the key has no virtual-key code the host could ask about.
int VirtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    for (const NamedKey& named : NAMED_KEYS) {
        if (named.key == key)
            return named.virtualKey;
    }
    return 0;
}

// Libraries have Windows file names; only these two have Linux counterparts.
enum class Library { Gl, Glu };
struct LibraryName {
    const char* windowsName;
    const char* linuxFile;
    Library library;
};
constexpr std::array<LibraryName, 2> LIBRARIES{{
    {"opengl32.dll", "libGL.so.1", Library::Gl},
    {"glu32.dll", GLU_FILE, Library::Glu},
}};

// Windows file names ignore case.
bool SameFileName(const char* a, const char* b)
{
    const std::size_t length = std::strlen(a);
    return length == std::strlen(b) && std::equal(a, a + length, b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A device context is known by its address alone.
struct DeviceContextTag {};

struct WindowRecord {
    std::string title;
    std::uint32_t style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    WindowProc procedure = nullptr;
    DeviceContextTag dc;        // CS_OWNDC: one device context for the window's life
    bool shown = false;         // ShowWindow's wish, applied once the SDL window exists
    int pixelFormat = 0;        // 0 until SetPixelFormat
    SDL_Window* sdl = nullptr;  // made by SetPixelFormat, when the GL config is known
};

struct ModuleRecord {
    Library library;
    void* handle;  // from dlopen
};

WindowHandle HandleOf(WindowRecord* window)
{
    return reinterpret_cast<WindowHandle>(window);
}

DeviceContextHandle HandleOf(DeviceContextTag* dc)
{
    return reinterpret_cast<DeviceContextHandle>(dc);
}

ModuleHandle HandleOf(ModuleRecord* module)
{
    return reinterpret_cast<ModuleHandle>(module);
}

bool IsPopup(const WindowRecord& window)
{
    return (window.style & WS_POPUP) != 0;
}

// A 4-byte pixel counts as 32 bits whatever SDL says of its padding.
std::uint32_t BitsPerPelOf(Uint32 format)
{
    return SDL_BYTESPERPIXEL(format) == 4 ? BITS_OF_FOUR_BYTE_PIXEL : SDL_BITSPERPIXEL(format);
}

// SDL lists a zero member as "any" (the offscreen driver's one mode is all
// zeros); the desktop's value stands for it.
DisplayMode DisplayModeOf(SDL_DisplayMode sdl, const SDL_DisplayMode& desktop)
{
    if (sdl.w == 0 || sdl.h == 0) {
        sdl.w = desktop.w;
        sdl.h = desktop.h;
    }
    if (sdl.format == SDL_PIXELFORMAT_UNKNOWN)
        sdl.format = desktop.format;
    if (sdl.refresh_rate == 0)
        sdl.refresh_rate = desktop.refresh_rate;
    DisplayMode mode;
    mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.bitsPerPel = BitsPerPelOf(sdl.format);
    mode.width = static_cast<std::uint32_t>(sdl.w);
    mode.height = static_cast<std::uint32_t>(sdl.h);
    mode.frequency = static_cast<std::uint32_t>(sdl.refresh_rate);
    return mode;
}

// The pixel format of the first display mode with that depth; the desktop's
// when none has it, since X11 cannot change depth and the depth is a wish.
Uint32 FormatOfDepth(std::uint32_t bitsPerPel, Uint32 desktopFormat)
{
    const int count = SDL_GetNumDisplayModes(DISPLAY);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        const bool listed = SDL_GetDisplayMode(DISPLAY, i, &mode) == 0;
        if (listed && BitsPerPelOf(mode.format) == bitsPerPel)
            return mode.format;
    }
    return desktopFormat;
}

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

// SDL picks the GL visual from these when the window is created.
void ApplyGlAttributes(const PixelFormatDescriptor& pfd)
{
    const bool rgbOnly = pfd.colorBits == RGB_ONLY_BITS;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, rgbOnly ? pfd.alphaBits : CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pfd.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pfd.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (pfd.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);
}

bool debuggerOutput = false;

class SdlBackend final : public Backend {
public:
    // Puts the display back and lets go of SDL and the libraries; the backend
    // itself lives on, answering calls made later in the process's exit.
    void Close();

    InstanceHandle ProgramInstance() override;
    ResourceHandle LoadIcon(InstanceHandle, const char*) override { return RESOURCE_TOKEN; }
    ResourceHandle LoadCursor(InstanceHandle, int) override { return RESOURCE_TOKEN; }
    ResourceHandle GetStockObject(int) override { return RESOURCE_TOKEN; }
    bool RegisterClass(const WindowClass& windowClass) override;
    bool UnregisterClass(const char* className, InstanceHandle instance) override;
    WindowHandle CreateWindow(const WindowParams& wanted) override;
    void ShowWindow(WindowHandle window, int command) override;
    // SDL has no paint messages to flush.
    void UpdateWindow(WindowHandle) override {}
    DeviceContextHandle GetDC(WindowHandle window) override;
    int ReleaseDC(WindowHandle window, DeviceContextHandle dc) override;
    // The window manager draws frames and captions outside the client area.
    int GetSystemMetrics(int) override { return 0; }
    bool PeekMessage(Message& message) override;
    void TranslateMessage(const Message& message) override;
    std::intptr_t DispatchMessage(const Message& message) override;
    std::intptr_t DefWindowProc(const Message&) override { return 0; }
    WindowHandle GetFocus() override { return HandleOf(window_.get()); }

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

    ModuleHandle LoadLibrary(const char* name) override;
    Proc GetProcAddress(ModuleHandle module, const char* name) override;
    bool FreeLibrary(ModuleHandle module) override;

    // What the GL module exports under its wgl names.
    GLContextHandle CreateContext(DeviceContextHandle dc);
    int MakeCurrent(DeviceContextHandle dc, GLContextHandle context);
    int DeleteContext(GLContextHandle context);

private:
    static int WatchKeys(void* backend, SDL_Event* event);
    bool VideoReady();
    bool GlLibraryReady();
    bool RealDisplay();
    WindowRecord* WindowOf(WindowHandle window) const;
    WindowRecord* WindowOf(DeviceContextHandle dc) const;
    ModuleRecord* ModuleOf(ModuleHandle module) const;
    bool OpenSdlWindow(WindowRecord& window);
    bool EnterFullScreen(SDL_Window* window);
    void LeaveFullScreen();
    void Post(std::uint32_t kind, std::uintptr_t wParam, std::intptr_t lParam);
    void Translate(const SDL_Event& event);
    void TranslateWindowEvent(const SDL_WindowEvent& event);
    void NoteKey(const SDL_KeyboardEvent& event);

    bool videoStarted_ = false;
    bool glLibraryLoaded_ = false;
    // Class name to window procedure; CS_OWNDC needs nothing, every window owns its DC.
    std::map<std::string, WindowProc> classes_;
    std::unique_ptr<WindowRecord> window_;
    std::optional<SDL_DisplayMode> fullScreenMode_;  // set by ChangeDisplaySettings
    std::deque<Message> pending_;
    std::vector<SDL_GLContext> contexts_;
    std::vector<std::unique_ptr<ModuleRecord>> modules_;
    std::array<bool, KEY_COUNT> keyDown_{};
    std::array<bool, KEY_COUNT> keyPressed_{};  // since the last query of that key
    int cursorCount_ = 0;                       // the cursor shows while >= 0
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

Proc WglGetProcAddress(const char* name)
{
    return reinterpret_cast<Proc>(SDL_GL_GetProcAddress(name));
}

// Windows-only GLU call: the wide text of gluErrorString. The texts stay in a
// cache for the process so the returned pointers stay valid.
const wchar_t* GluErrorUnicodeString(unsigned int errorCode)
{
    static std::map<unsigned int, std::wstring> texts;
    const auto known = texts.find(errorCode);
    if (known != texts.end())
        return known->second.c_str();

    void* const glu = dlopen(GLU_FILE, DLOPEN_FLAGS);  // our own reference while reading
    if (glu == nullptr)
        return nullptr;
    using ErrorStringProc = const unsigned char* (*)(unsigned int);
    const auto errorString = reinterpret_cast<ErrorStringProc>(dlsym(glu, "gluErrorString"));
    const unsigned char* const text = errorString ? errorString(errorCode) : nullptr;
    std::optional<std::wstring> wide;
    if (text != nullptr) {
        wide.emplace(text, text + std::strlen(reinterpret_cast<const char*>(text)));
    }
    dlclose(glu);
    if (!wide)
        return nullptr;
    return texts.emplace(errorCode, std::move(*wide)).first->second.c_str();
}

struct Export {
    const char* name;
    Proc proc;  // null: Linux's library has no such export
};

// What the GL module answers itself rather than from libGL; the pixel-format
// and swap names are left to the GDI calls of the backend.
const std::array<Export, 8>& GlOwnExports()
{
    static constexpr CreateContextProc create = &WglCreateContext;
    static constexpr MakeCurrentProc makeCurrent = &WglMakeCurrent;
    static constexpr DeleteContextProc remove = &WglDeleteContext;
    static constexpr GetGLProcAddressProc getProcAddress = &WglGetProcAddress;
    static const std::array<Export, 8> exports{{
        {"wglCreateContext", reinterpret_cast<Proc>(create)},
        {"wglMakeCurrent", reinterpret_cast<Proc>(makeCurrent)},
        {"wglDeleteContext", reinterpret_cast<Proc>(remove)},
        {"wglGetProcAddress", reinterpret_cast<Proc>(getProcAddress)},
        {"wglSwapBuffers", nullptr},
        {"wglChoosePixelFormat", nullptr},
        {"wglDescribePixelFormat", nullptr},
        {"wglSetPixelFormat", nullptr},
    }};
    return exports;
}

Proc ExportOf(const ModuleRecord& module, const char* name)
{
    if (module.library == Library::Gl) {
        for (const Export& own : GlOwnExports()) {
            if (std::strcmp(own.name, name) == 0)
                return own.proc;
        }
    } else if (std::strcmp(name, "gluErrorUnicodeStringEXT") == 0) {
        using ErrorUnicodeStringProc = const wchar_t* (*)(unsigned int);
        constexpr ErrorUnicodeStringProc errorText = &GluErrorUnicodeString;
        return reinterpret_cast<Proc>(errorText);
    }
    return reinterpret_cast<Proc>(dlsym(module.handle, name));
}

// ---- lifetime and lookups ----

void SdlBackend::Close()
{
    if (videoStarted_) {
        LeaveFullScreen();
        for (SDL_GLContext context : contexts_)
            SDL_GL_DeleteContext(context);
        contexts_.clear();
        if (window_ && window_->sdl)
            SDL_DestroyWindow(window_->sdl);
        window_.reset();
        if (glLibraryLoaded_)
            SDL_GL_UnloadLibrary();
        glLibraryLoaded_ = false;
        SDL_DelEventWatch(&SdlBackend::WatchKeys, this);
        videoStarted_ = false;
    }
    SDL_Quit();
    for (const auto& module : modules_)
        dlclose(module->handle);
    modules_.clear();
}

bool SdlBackend::VideoReady()
{
    if (videoStarted_)
        return true;
    // One window is the whole program: its close is WM_CLOSE, not a second quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_AddEventWatch(&SdlBackend::WatchKeys, this);
    videoStarted_ = true;
    return true;
}

// SDL and the GL module must share libGL.so.1, so SDL loads it before the window.
bool SdlBackend::GlLibraryReady()
{
    if (!glLibraryLoaded_)
        glLibraryLoaded_ = SDL_GL_LoadLibrary(nullptr) == 0;
    return glLibraryLoaded_;
}

// A box nobody can see would wait forever for its OK.
bool SdlBackend::RealDisplay()
{
    if (!VideoReady())
        return false;
    const char* const driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        return false;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

WindowRecord* SdlBackend::WindowOf(WindowHandle window) const
{
    return window_ && window == HandleOf(window_.get()) ? window_.get() : nullptr;
}

WindowRecord* SdlBackend::WindowOf(DeviceContextHandle dc) const
{
    return window_ && dc == HandleOf(&window_->dc) ? window_.get() : nullptr;
}

ModuleRecord* SdlBackend::ModuleOf(ModuleHandle module) const
{
    for (const auto& record : modules_) {
        if (HandleOf(record.get()) == module)
            return record.get();
    }
    return nullptr;
}

// ---- windows ----

InstanceHandle SdlBackend::ProgramInstance()
{
    static char programTag;
    return reinterpret_cast<InstanceHandle>(&programTag);
}

bool SdlBackend::RegisterClass(const WindowClass& windowClass)
{
    if (windowClass.className == nullptr || !VideoReady())
        return false;
    return classes_.emplace(windowClass.className, windowClass.procedure).second;
}

bool SdlBackend::UnregisterClass(const char* className, InstanceHandle)
{
    return className != nullptr && classes_.erase(className) == 1;
}

WindowHandle SdlBackend::CreateWindow(const WindowParams& wanted)
{
    if (wanted.className == nullptr || window_ || !VideoReady())
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

void SdlBackend::ShowWindow(WindowHandle handle, int command)
{
    WindowRecord* const window = WindowOf(handle);
    if (window == nullptr)
        return;
    window->shown = command != SHOW_HIDE;
    if (window->sdl == nullptr)
        return;
    if (window->shown) {
        SDL_ShowWindow(window->sdl);
    } else {
        SDL_HideWindow(window->sdl);
    }
}

DeviceContextHandle SdlBackend::GetDC(WindowHandle handle)
{
    WindowRecord* const window = WindowOf(handle);
    return window != nullptr ? HandleOf(&window->dc) : nullptr;
}

int SdlBackend::ReleaseDC(WindowHandle window, DeviceContextHandle dc)
{
    return WindowOf(window) != nullptr && WindowOf(dc) != nullptr ? 1 : 0;
}

// Made only now because SDL fixes the GL visual when it creates the window.
bool SdlBackend::OpenSdlWindow(WindowRecord& window)
{
    const bool fullScreen = IsPopup(window) && fullScreenMode_.has_value();
    const int width = fullScreen ? fullScreenMode_->w : window.width;
    const int height = fullScreen ? fullScreenMode_->h : window.height;
    SDL_Window* const sdl = SDL_CreateWindow(window.title.c_str(), window.x, window.y, width,
                                             height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (sdl == nullptr)
        return false;
    if (fullScreen && !EnterFullScreen(sdl)) {
        SDL_DestroyWindow(sdl);
        return false;
    }
    window.sdl = sdl;
    if (window.shown)
        SDL_ShowWindow(sdl);
    SDL_StartTextInput();
    return true;
}

bool SdlBackend::EnterFullScreen(SDL_Window* window)
{
    return SDL_SetWindowDisplayMode(window, &*fullScreenMode_) == 0 &&
           SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

void SdlBackend::LeaveFullScreen()
{
    if (window_ && window_->sdl)
        SDL_SetWindowFullscreen(window_->sdl, 0);
}

// ---- messages ----

void SdlBackend::Post(std::uint32_t kind, std::uintptr_t wParam, std::intptr_t lParam)
{
    pending_.push_back(Message{HandleOf(window_.get()), kind, wParam, lParam});
}

bool SdlBackend::PeekMessage(Message& message)
{
    if (!VideoReady())
        return false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
        Translate(event);
    if (pending_.empty())
        return false;
    message = pending_.front();
    pending_.pop_front();
    return true;
}

void SdlBackend::Translate(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_QUIT:
            Post(WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
            if (const int virtualKey = VirtualKeyOf(event.key.keysym.sym)) {
                Post(WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey),
                     KEY_REPEAT_COUNT | (event.key.repeat != 0 ? KEY_WAS_DOWN : 0));
            }
            break;
        case SDL_TEXTINPUT:
            for (const char* byte = event.text.text; *byte != '\0'; ++byte) {
                const auto character = static_cast<unsigned char>(*byte);
                if (character < FIRST_NON_ASCII)
                    Post(WM_CHAR, character, KEY_REPEAT_COUNT);
            }
            break;
        default:
            break;
    }
}

void SdlBackend::TranslateWindowEvent(const SDL_WindowEvent& event)
{
    if (event.event == SDL_WINDOWEVENT_CLOSE) {
        Post(WM_CLOSE, 0, 0);
    } else if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        // lParam packs the client size as Windows does: height high, width low.
        const std::intptr_t width = event.data1 & WORD_MASK;
        const std::intptr_t height = event.data2 & WORD_MASK;
        Post(WM_SIZE, SIZE_RESTORED, (height << HIGH_WORD_SHIFT) | width);
    }
}

// Text input already gives printable characters; the control characters
// Windows derives from key presses are added here, ahead of later messages.
void SdlBackend::TranslateMessage(const Message& message)
{
    if (message.kind != WM_KEYDOWN)
        return;
    const auto virtualKey = static_cast<int>(message.wParam);
    const bool control = std::find(CONTROL_CHARACTER_KEYS.begin(), CONTROL_CHARACTER_KEYS.end(),
                                   virtualKey) != CONTROL_CHARACTER_KEYS.end();
    if (control) {
        pending_.push_front(Message{message.window, WM_CHAR, message.wParam, message.lParam});
    }
}

std::intptr_t SdlBackend::DispatchMessage(const Message& message)
{
    const WindowRecord* const window = WindowOf(message.window);
    if (window == nullptr || window->procedure == nullptr)
        return 0;
    return window->procedure(message.window, message.kind, message.wParam, message.lParam);
}

// ---- key state ----

int SdlBackend::WatchKeys(void* backend, SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        static_cast<SdlBackend*>(backend)->NoteKey(event->key);
    }
    return 0;  // SDL ignores what a watch returns
}

void SdlBackend::NoteKey(const SDL_KeyboardEvent& event)
{
    const int virtualKey = VirtualKeyOf(event.keysym.sym);
    if (virtualKey == 0)
        return;
    const auto key = static_cast<std::size_t>(virtualKey);
    const bool down = event.type == SDL_KEYDOWN;
    keyDown_[key] = down;
    if (down)
        keyPressed_[key] = true;
}

std::uint16_t SdlBackend::GetAsyncKeyState(int virtualKey)
{
    const auto key = static_cast<std::size_t>(virtualKey);
    if (virtualKey < 0 || key >= KEY_COUNT)
        return 0;
    if (VideoReady())
        SDL_PumpEvents();
    std::uint16_t state = keyDown_[key] ? KEY_DOWN_NOW : 0;
    if (keyPressed_[key])
        state |= KEY_PRESSED_SINCE_LAST_QUERY;
    keyPressed_[key] = false;
    return state;
}

// ---- display modes ----

bool SdlBackend::EnumDisplaySettings(std::uint32_t index, DisplayMode& mode)
{
    SDL_DisplayMode sdl;
    SDL_DisplayMode desktop;
    if (index > static_cast<std::uint32_t>(INT_MAX) || !VideoReady() ||
        SDL_GetDisplayMode(DISPLAY, static_cast<int>(index), &sdl) != 0 ||
        SDL_GetDesktopDisplayMode(DISPLAY, &desktop) != 0) {
        return false;
    }
    mode = DisplayModeOf(sdl, desktop);
    return true;
}

int SdlBackend::ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t)
{
    if (mode == nullptr) {
        LeaveFullScreen();
        fullScreenMode_.reset();
        return DISP_CHANGE_SUCCESSFUL;
    }
    SDL_DisplayMode wanted;
    if (!VideoReady() || SDL_GetDesktopDisplayMode(DISPLAY, &wanted) != 0) {
        return DISP_CHANGE_FAILED;
    }
    if ((mode->fields & DM_PELSWIDTH) != 0)
        wanted.w = static_cast<int>(mode->width);
    if ((mode->fields & DM_PELSHEIGHT) != 0)
        wanted.h = static_cast<int>(mode->height);
    if ((mode->fields & DM_DISPLAYFREQUENCY) != 0) {
        wanted.refresh_rate = static_cast<int>(mode->frequency);
    }
    if ((mode->fields & DM_BITSPERPEL) != 0) {
        wanted.format = FormatOfDepth(mode->bitsPerPel, wanted.format);
    }
    SDL_DisplayMode closest;
    if (SDL_GetClosestDisplayMode(DISPLAY, &wanted, &closest) == nullptr) {
        return DISP_CHANGE_BADMODE;
    }
    const std::optional<SDL_DisplayMode> previous = fullScreenMode_;
    fullScreenMode_ = closest;
    if (window_ && window_->sdl && IsPopup(*window_) && !EnterFullScreen(window_->sdl)) {
        fullScreenMode_ = previous;
        return DISP_CHANGE_FAILED;
    }
    return DISP_CHANGE_SUCCESSFUL;
}

// ---- pixel format and swap ----

int SdlBackend::ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd)
{
    const bool supported =
        pfd != nullptr && (pfd->flags & PFD_SUPPORT_OPENGL) != 0 && pfd->pixelType == PFD_TYPE_RGBA;
    return WindowOf(dc) != nullptr && supported ? ONLY_PIXEL_FORMAT : 0;
}

// A null descriptor asks only how many formats there are, as on Windows.
int SdlBackend::DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size,
                                    PixelFormatDescriptor* pfd)
{
    if (WindowOf(dc) == nullptr || format != ONLY_PIXEL_FORMAT)
        return 0;
    if (pfd == nullptr)
        return PIXEL_FORMAT_COUNT;
    if (size < sizeof(PixelFormatDescriptor))
        return 0;
    *pfd = OnlyPixelFormat();
    return PIXEL_FORMAT_COUNT;
}

bool SdlBackend::SetPixelFormat(DeviceContextHandle dc, int format,
                                const PixelFormatDescriptor* pfd)
{
    WindowRecord* const window = WindowOf(dc);
    if (window == nullptr || format != ONLY_PIXEL_FORMAT)
        return false;
    if (window->pixelFormat != 0)
        return window->pixelFormat == format;
    if (!VideoReady() || !GlLibraryReady())
        return false;
    ApplyGlAttributes(pfd != nullptr ? *pfd : OnlyPixelFormat());
    if (!OpenSdlWindow(*window))
        return false;
    window->pixelFormat = format;
    return true;
}

bool SdlBackend::SwapBuffers(DeviceContextHandle dc)
{
    const WindowRecord* const window = WindowOf(dc);
    if (window == nullptr || window->sdl == nullptr)
        return false;
    SDL_GL_SwapWindow(window->sdl);
    return true;
}

// ---- GL context ----

GLContextHandle SdlBackend::CreateContext(DeviceContextHandle dc)
{
    const WindowRecord* const window = WindowOf(dc);
    if (window == nullptr || window->sdl == nullptr)
        return nullptr;
    SDL_Window* const previousWindow = SDL_GL_GetCurrentWindow();
    const SDL_GLContext previous = SDL_GL_GetCurrentContext();
    const SDL_GLContext context = SDL_GL_CreateContext(window->sdl);
    if (context == nullptr)
        return nullptr;
    // SDL makes the new context current; wglCreateContext leaves the current one alone.
    SDL_GL_MakeCurrent(previousWindow, previous);
    contexts_.push_back(context);
    return static_cast<GLContextHandle>(context);
}

int SdlBackend::MakeCurrent(DeviceContextHandle dc, GLContextHandle context)
{
    if (context == nullptr) {
        if (SDL_GL_GetCurrentContext() == nullptr)
            return 1;
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? 1 : 0;
    }
    const WindowRecord* const window = WindowOf(dc);
    const auto known = std::find(contexts_.begin(), contexts_.end(), context);
    if (window == nullptr || window->sdl == nullptr || known == contexts_.end())
        return 0;
    return SDL_GL_MakeCurrent(window->sdl, *known) == 0 ? 1 : 0;
}

int SdlBackend::DeleteContext(GLContextHandle context)
{
    const auto known = std::find(contexts_.begin(), contexts_.end(), context);
    if (context == nullptr || known == contexts_.end())
        return 0;
    SDL_GL_DeleteContext(*known);  // releases it first when current
    contexts_.erase(known);
    return 1;
}

// ---- input, user interface, time ----

int SdlBackend::ShowCursor(bool show)
{
    cursorCount_ += show ? 1 : -1;
    if (VideoReady())
        SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount_;
}

void SdlBackend::MessageBox(WindowHandle owner, const char* text, const char* caption)
{
    const char* const body = text != nullptr ? text : "";
    std::fputs(body, stderr);
    const std::size_t length = std::strlen(body);
    if (length == 0 || body[length - 1] != '\n')
        std::fputc('\n', stderr);
    if (!RealDisplay())
        return;
    const WindowRecord* const window = WindowOf(owner);
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

// ---- libraries ----

ModuleHandle SdlBackend::LoadLibrary(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const LibraryName& library : LIBRARIES) {
        if (!SameFileName(name, library.windowsName))
            continue;
        void* const handle = dlopen(library.linuxFile, DLOPEN_FLAGS);
        if (handle == nullptr)
            return nullptr;
        modules_.push_back(std::make_unique<ModuleRecord>(ModuleRecord{library.library, handle}));
        return HandleOf(modules_.back().get());
    }
    return nullptr;
}

Proc SdlBackend::GetProcAddress(ModuleHandle module, const char* name)
{
    const ModuleRecord* const record = ModuleOf(module);
    if (record == nullptr || name == nullptr)
        return nullptr;
    return ExportOf(*record, name);
}

bool SdlBackend::FreeLibrary(ModuleHandle module)
{
    const auto found = std::find_if(modules_.begin(), modules_.end(), [module](const auto& record) {
        return HandleOf(record.get()) == module;
    });
    if (module == nullptr || found == modules_.end())
        return false;
    dlclose((*found)->handle);
    modules_.erase(found);
    return true;
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

}  // namespace platform
