// The system's one door to the operating system: window and messages, display
// modes, pixel format, GL context, buffer swap, key state, cursor, message box,
// clock, sleep, libraries and debugger output. Calls keep the meaning, results
// and failure codes of the Win32 calls they stand for, so the host code reads
// as the design does. A Backend does the work: SDL2 and dlopen for real, a
// scripted fake in tests. Nothing outside platform/ includes SDL or dlfcn.h.
#pragma once

#include <cstdint>

namespace platform {

// Opaque handles; only the backend that made one knows what it points at.
struct Window;
struct DeviceContext;
struct GLContext;
struct Module;
struct InstanceTag;
using WindowHandle = Window*;
using DeviceContextHandle = DeviceContext*;
using GLContextHandle = GLContext*;
using ModuleHandle = Module*;
using InstanceHandle = InstanceTag*;
using ResourceHandle = std::uintptr_t;  // icons, cursors, brushes

using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);
using Proc = void (*)();

// Signatures of the functions a GL module exports under their wgl names.
using CreateContextProc = GLContextHandle (*)(DeviceContextHandle dc);
using DeleteContextProc = int (*)(GLContextHandle context);
using MakeCurrentProc = int (*)(DeviceContextHandle dc, GLContextHandle context);
using GetGLProcAddressProc = Proc (*)(const char* name);

// Message kinds delivered to a window procedure.
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uintptr_t SC_SIZE = 0xF000;

// Virtual-key codes.
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;  // Page Up
constexpr int VK_NEXT = 0x22;   // Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;

// Window class and window styles.
constexpr std::uint32_t CS_OWNDC = 0x20;
constexpr std::uint32_t WS_POPUP = 0x80000000u;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000u;
constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SM_CXSCREEN = 0;  // the desktop's width
constexpr int SM_CYSCREEN = 1;  // and height
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXDLGFRAME = 7;
constexpr int IDC_ARROW = 32512;
constexpr int BLACK_BRUSH = 4;

// Display modes.
constexpr std::uint32_t DM_BITSPERPEL = 0x40000;
constexpr std::uint32_t DM_PELSWIDTH = 0x80000;
constexpr std::uint32_t DM_PELSHEIGHT = 0x100000;
constexpr std::uint32_t DM_DISPLAYFREQUENCY = 0x400000;
constexpr std::uint32_t CDS_FULLSCREEN = 4;
constexpr int DISP_CHANGE_SUCCESSFUL = 0;
constexpr int DISP_CHANGE_RESTART = 1;
constexpr int DISP_CHANGE_FAILED = -1;
constexpr int DISP_CHANGE_BADMODE = -2;

// Pixel format descriptor flags and types.
constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

// Key-state bits of GetAsyncKeyState.
constexpr std::uint16_t KEY_DOWN_NOW = 0x8000;
constexpr std::uint16_t KEY_PRESSED_SINCE_LAST_QUERY = 0x0001;

struct DisplayMode {
    std::uint32_t fields = 0;      // DM_* mask of the members a change applies
    std::uint32_t bitsPerPel = 0;  // colour depth; a 4-byte pixel counts as 32
    std::uint32_t width = 0;       // pixels
    std::uint32_t height = 0;      // pixels
    std::uint32_t frequency = 0;   // refresh rate in Hz, 0 when unknown
};

// Same members and 40-byte size as the Win32 record.
struct PixelFormatDescriptor {
    std::uint16_t size;            // 40
    std::uint16_t version;         // 1
    std::uint32_t flags;           // PFD_* bits
    std::uint8_t pixelType;        // PFD_TYPE_RGBA
    std::uint8_t colorBits;        // colour depth without alpha planes counted apart
    std::uint8_t redBits, redShift, greenBits, greenShift, blueBits, blueShift;
    std::uint8_t alphaBits, alphaShift;
    std::uint8_t accumBits, accumRedBits, accumGreenBits, accumBlueBits, accumAlphaBits;
    std::uint8_t depthBits;        // depth-buffer bits
    std::uint8_t stencilBits;      // stencil-buffer bits
    std::uint8_t auxBuffers;       // auxiliary buffers
    std::uint8_t layerType;        // PFD_MAIN_PLANE
    std::uint8_t reserved;
    std::uint32_t layerMask, visibleMask, damageMask;
};
static_assert(sizeof(PixelFormatDescriptor) == 40, "pixel format descriptor is 40 bytes");

struct WindowClass {
    std::uint32_t style = 0;           // CS_* bits
    WindowProc procedure = nullptr;    // receives every dispatched message
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    InstanceHandle instance = nullptr;
    ResourceHandle icon = 0;
    ResourceHandle cursor = 0;
    ResourceHandle background = 0;
    const char* menuName = nullptr;
    const char* className = nullptr;
};

struct WindowParams {
    std::uint32_t extendedStyle = 0;
    const char* className = nullptr;
    const char* title = nullptr;
    std::uint32_t style = 0;  // WS_* bits; WS_POPUP means a full-screen window
    int x = 0, y = 0;         // outer position
    int width = 0, height = 0;  // outer size
    InstanceHandle instance = nullptr;
};

struct Message {
    WindowHandle window = nullptr;
    std::uint32_t kind = 0;  // WM_*
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// What a backend must provide. Each call keeps the result convention of the
// Win32 call of the same name (0 or null for failure unless stated).
using SwapBuffersProc = int (*)(DeviceContextHandle dc);
using ChoosePixelFormatProc = int (*)(DeviceContextHandle dc, const PixelFormatDescriptor* pfd);
using DescribePixelFormatProc = int (*)(DeviceContextHandle dc, int format, unsigned size,
                                        PixelFormatDescriptor* pfd);
using SetPixelFormatProc = int (*)(DeviceContextHandle dc, int format,
                                   const PixelFormatDescriptor* pfd);

class Backend {
public:
    virtual ~Backend() = default;

    // Windows and messages.
    virtual InstanceHandle ProgramInstance() = 0;
    virtual ResourceHandle LoadIcon(InstanceHandle instance, const char* name) = 0;
    virtual ResourceHandle LoadCursor(InstanceHandle instance, int id) = 0;
    virtual ResourceHandle GetStockObject(int id) = 0;
    virtual bool RegisterClass(const WindowClass& windowClass) = 0;
    virtual bool UnregisterClass(const char* className, InstanceHandle instance) = 0;
    virtual WindowHandle CreateWindow(const WindowParams& spec) = 0;
    virtual void ShowWindow(WindowHandle window, int command) = 0;
    virtual void UpdateWindow(WindowHandle window) = 0;
    virtual DeviceContextHandle GetDC(WindowHandle window) = 0;
    virtual int ReleaseDC(WindowHandle window, DeviceContextHandle dc) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    // Takes the next queued message (removing it); false when the queue is empty.
    virtual bool PeekMessage(Message& message) = 0;
    virtual void TranslateMessage(const Message& message) = 0;
    virtual std::intptr_t DispatchMessage(const Message& message) = 0;
    virtual std::intptr_t DefWindowProc(const Message& message) = 0;
    virtual WindowHandle GetFocus() = 0;
    // The title the window shows from now on; false for an unknown window.
    virtual bool SetWindowText(WindowHandle window, const char* title) = 0;

    // Display modes: enumeration from index 0 until false; changes answer DISP_CHANGE_*.
    // A null mode restores the desktop mode.
    virtual bool EnumDisplaySettings(std::uint32_t index, DisplayMode& mode) = 0;
    virtual int ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) = 0;

    // GDI pixel format and swap.
    virtual int ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd) = 0;
    virtual int DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size,
                                    PixelFormatDescriptor* pfd) = 0;
    virtual bool SetPixelFormat(DeviceContextHandle dc, int format,
                                const PixelFormatDescriptor* pfd) = 0;
    virtual bool SwapBuffers(DeviceContextHandle dc) = 0;

    // Input and user interface.
    virtual std::uint16_t GetAsyncKeyState(int virtualKey) = 0;
    virtual int ShowCursor(bool show) = 0;
    // Shows text under caption with one OK button and waits for it.
    virtual void MessageBox(WindowHandle owner, const char* text, const char* caption) = 0;
    virtual void OutputDebugString(const char* text) = 0;

    // Time.
    virtual bool QueryPerformanceCounter(std::int64_t& count) = 0;
    virtual bool QueryPerformanceFrequency(std::int64_t& frequency) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // How long after the clock reading a frame is drawn for its picture is
    // seen, as the frames shown so far tell; 0 when they tell nothing.
    virtual std::int64_t PictureLatencyMicroseconds() { return 0; }

    // Ends the process the normal way (the globals' destructors run) with
    // the status FinishProcess makes of code.
    [[noreturn]] void ExitProcess(int code);
    // A backend's last word before the process ends: work it has to finish,
    // and the exit status. Answers code unless a backend knows better.
    virtual int FinishProcess(int code) { return code; }

    // Libraries, by their Windows file names.
    virtual ModuleHandle LoadLibrary(const char* name) = 0;
    virtual Proc GetProcAddress(ModuleHandle module, const char* name) = 0;
    virtual bool FreeLibrary(ModuleHandle module) = 0;
};

// The backend in use: the real one unless a test installed another.
Backend& Os();
// Installs backend for every later call; null brings back the real backend.
// The caller keeps ownership.
void Install(Backend* backend);

// A display-mode change that a backend can only try once the window shows
// reports its failure through this, with the change's result code and the
// mode asked for: the caller of ChangeDisplaySettings words the message.
using ModeFailureReport = void (*)(int result, const DisplayMode& asked);
void SetModeFailureReport(ModeFailureReport report);
// Hands a late failure to the report set, if any.
void ReportModeFailure(int result, const DisplayMode& asked);

}  // namespace platform
