// The Aquarium record and its window: filling it (display mode, libraries,
// window, pixel format, context), the window procedure, the keyboard record
// and the shutdown callback that undoes the fill.
#include "host/aquarium.h"

#include <GL/gl.h>

#include <cstdio>

#include "host/error.h"
#include "host/opengllib.h"
#include "platform/picture.h"

AquariumDisplay gDisplay;

namespace {
constexpr int DEPTH_BUFFER_BITS = 24;
// The x scale is width × 384 / 320, computed in that order.
constexpr float PROJECTION_NUMERATOR = 384.0f;
constexpr float PROJECTION_DENOMINATOR = 320.0f;
constexpr std::uint32_t FULL_SCREEN_STYLE = platform::WS_POPUP | platform::WS_CLIPSIBLINGS;
constexpr std::uint32_t WINDOWED_STYLE = platform::WS_CAPTION | platform::WS_CLIPSIBLINGS;

bool FillFailed(const char* message)
{
    Error::Report(1, message);
    return false;
}

// Copies list[1], list[2], ... up to the zero element into table[1], table[2], ...
template <typename Function>
void FillTable(Function* table, const Function* list)
{
    for (int i = 1; i < HANDLER_TABLE_SIZE && list[i] != nullptr; ++i)
        table[i] = list[i];
}

bool RegisterWindowClass(platform::InstanceHandle instance)
{
    platform::Backend& os = platform::Os();
    platform::WindowClass& windowClass = gDisplay.windowClass;
    windowClass.style = platform::CS_OWNDC;
    windowClass.procedure = AquariumWindowProc;
    windowClass.classExtraBytes = 0;
    windowClass.windowExtraBytes = 0;
    windowClass.instance = instance;
    windowClass.icon = os.LoadIcon(instance, WINDOW_ICON_NAME);
    windowClass.cursor = os.LoadCursor(nullptr, platform::IDC_ARROW);
    windowClass.background = os.GetStockObject(platform::BLACK_BRUSH);
    windowClass.menuName = WINDOW_MENU_NAME;
    windowClass.className = WINDOW_CLASS_NAME;
    return os.RegisterClass(windowClass);
}

// A full-screen Aquarium switches the display and gives its mode back at
// shutdown, unless the picture is the desktop as it is: then there is no
// mode to ask for, and no message of a switch that was never needed.
bool SwitchesDisplay(const Aquarium& aquarium)
{
    return aquarium.fullScreen && !platform::ChosenPicture().desktopKept;
}

bool LoadOpenGL()
{
    char libraryName[OpenGLLib::NAME_BUFFER_SIZE];
    OpenGLLib::Choose(libraryName);
    return OpenGLLib::Load(libraryName) == 0;
}

// A windowed Aquarium keeps a client area of width x height inside its frame.
platform::WindowHandle CreateAquariumWindow(const Aquarium& aquarium)
{
    platform::Backend& os = platform::Os();
    platform::WindowParams spec;
    spec.className = WINDOW_CLASS_NAME;
    spec.title = WINDOW_TITLE;
    spec.instance = gDisplay.instance;
    if (aquarium.fullScreen) {
        spec.style = FULL_SCREEN_STYLE;
        spec.width = aquarium.width;
        spec.height = aquarium.height;
    } else {
        const int frame = os.GetSystemMetrics(platform::SM_CXDLGFRAME);
        const int caption = os.GetSystemMetrics(platform::SM_CYCAPTION);
        spec.style = WINDOWED_STYLE;
        spec.x = 1;
        spec.y = 1;
        spec.width = aquarium.width + 2 * frame;
        spec.height = aquarium.height + caption + 2 * frame;
    }
    return os.CreateWindow(spec);
}

void SetupInitialGLState(const Aquarium& aquarium)
{
    OpenGLLib::glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    OpenGLLib::glMatrixMode(GL_PROJECTION);
    OpenGLLib::glLoadIdentity();
    OpenGLLib::glMatrixMode(GL_MODELVIEW);
    OpenGLLib::glLoadIdentity();
    OpenGLLib::glViewport(0, 0, aquarium.width, aquarium.height);
}

const char* DisplayChangeFailureFormat(int result)
{
    switch (result) {
    case platform::DISP_CHANGE_RESTART:
        return "You must change your video mode to %ldx%ldx%ld-bit color and then restart\n";
    case platform::DISP_CHANGE_BADMODE:
        return "The video mode %ldx%ldx%ld-bit color is not supported\n";
    case platform::DISP_CHANGE_FAILED:
        return "Hardware failed to change to %ldx%ldx%ld-bit color\n";
    default:
        return "Failed to change to %ldx%ldx%ld-bit color - unknown reason\n";
    }
}

// Tries each enumerated mode of the requested size and depth unchanged.
// Returns true on a switch; otherwise firstFailed holds the index of the first
// matching mode whose switch failed (0 when none).
bool SwitchToEnumeratedMode(std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                            std::uint32_t& firstFailed)
{
    platform::Backend& os = platform::Os();
    platform::DisplayMode mode;
    firstFailed = 0;
    // Remembered once: mode 0 failing first keeps its record for the later switches.
    bool remembered = false;
    for (std::uint32_t i = 0; os.EnumDisplaySettings(i, mode); ++i) {
        if (mode.bitsPerPel != static_cast<std::uint32_t>(colourDepth) ||
            mode.width != static_cast<std::uint32_t>(width) ||
            mode.height != static_cast<std::uint32_t>(height))
            continue;
        if (os.ChangeDisplaySettings(&mode, platform::CDS_FULLSCREEN) ==
            platform::DISP_CHANGE_SUCCESSFUL)
            return true;
        if (!remembered)
            firstFailed = i;
        remembered = true;
    }
    return false;
}

// The combined switch, then depth and resolution apart. Returns the result
// code of the last attempt.
int SwitchByFields(std::int32_t width, std::int32_t height, std::int32_t colourDepth,
                   std::uint32_t modeIndex)
{
    platform::Backend& os = platform::Os();
    platform::DisplayMode mode;
    os.EnumDisplaySettings(modeIndex, mode);
    mode.bitsPerPel = static_cast<std::uint32_t>(colourDepth);
    mode.width = static_cast<std::uint32_t>(width);
    mode.height = static_cast<std::uint32_t>(height);
    mode.fields = platform::DM_BITSPERPEL | platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT;
    int result = os.ChangeDisplaySettings(&mode, platform::CDS_FULLSCREEN);
    if (result == platform::DISP_CHANGE_SUCCESSFUL)
        return result;
    mode.fields = platform::DM_BITSPERPEL;
    result = os.ChangeDisplaySettings(&mode, platform::CDS_FULLSCREEN);
    if (result != platform::DISP_CHANGE_SUCCESSFUL)
        return result;
    mode.fields = platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT;
    result = os.ChangeDisplaySettings(&mode, platform::CDS_FULLSCREEN);
    if (result != platform::DISP_CHANGE_SUCCESSFUL)
        os.ChangeDisplaySettings(nullptr, 0);
    return result;
}
}  // namespace

Aquarium::Aquarium() : self(this) {}

Aquarium::~Aquarium()
{
    platform::Os().OutputDebugString("Aquarium::~Aquarium: Entering\n");
    currentObject = nullptr;
    currentLightObject = nullptr;
    currentPlugin = nullptr;
    pluginOwner = nullptr;
    // The arrays belong to the scene lists.
    currentObjectList.items = nullptr;
    currentLightList.items = nullptr;
    platform::Os().OutputDebugString("Aquarium::~Aquarium: Leaving\n");
}

void Aquarium::SetViewFromSize()
{
    centreX = static_cast<float>(width) / 2.0f;
    centreY = static_cast<float>(height) / 2.0f;
    xScale = static_cast<float>(width) * PROJECTION_NUMERATOR / PROJECTION_DENOMINATOR;
    yScale = -xScale;
    clipLeft = 0.0f;
    clipRight = static_cast<float>(width - 1);
    clipTop = 0.0f;
    clipBottom = static_cast<float>(height - 1);
}

bool Aquarium::FillOpenGL(const SwimFunction* swimList, const LightFunction* lightList,
                          const PolygonFunction* polygonList, platform::InstanceHandle instance)
{
    platform::Backend& os = platform::Os();
    mode = 1;
    gDisplay.instance = instance;
    std::int64_t frequency = 0;
    std::int64_t counter = 0;
    if (!os.QueryPerformanceFrequency(frequency) || frequency == 0)
        return FillFailed("Aquarium::FillOpenGL: High performance counter not supported\n");
    os.QueryPerformanceCounter(counter);
    currentTime = static_cast<std::uint32_t>(
        static_cast<std::int64_t>(static_cast<double>(counter) / static_cast<double>(frequency) *
                                  1000.0));
    FillTable(swimTable, swimList);
    FillTable(lightTable, lightList);
    FillTable(polygonTable, polygonList);
    if (!RegisterWindowClass(instance))
        return FillFailed("Aquarium::FillOpenGL: Error registering windowclass\n");
    if (SwitchesDisplay(*this) && !ChangeResolution(width, height, colourDepth))
        return false;
    if (!LoadOpenGL())
        return FillFailed("Aquarium::FillOpenGL: Unable to load OpenGL dll\n");
    gDisplay.window = CreateAquariumWindow(*this);
    if (gDisplay.window == nullptr)
        return FillFailed("Aquarium::FillOpenGL: Unable to create window\n");
    os.ShowWindow(gDisplay.window, platform::SW_SHOWNORMAL);
    os.UpdateWindow(gDisplay.window);
    gDisplay.dc = os.GetDC(gDisplay.window);
    RegShutdownCallback(GLShutdown);
    if (!SetupPixelFormat(gDisplay.dc, colourDepth, DEPTH_BUFFER_BITS))
        return FillFailed("Aquarium::FillOpenGL: Error setting pixelformat\n");
    gDisplay.glContext = OpenGLLib::wglCreateContext(gDisplay.dc);
    if (gDisplay.glContext == nullptr)
        return FillFailed("Aquarium::FillOpenGL: OpenGLCreateContext failed\n");
    OpenGLLib::wglMakeCurrent(gDisplay.dc, gDisplay.glContext);
    SetupInitialGLState(*this);
    SetViewFromSize();
    os.ShowCursor(false);
    filled = 1;
    return true;
}

void Aquarium::MakeCurrent(const Aquarium* aquarium)
{
    if (aquarium == &gAquarium)
        return;
    const std::uint8_t keptFullScreen = gAquarium.fullScreen;
    const Keyboard keptKeyboard = gAquarium.keyboard;
    gAquarium = *aquarium;
    gAquarium.fullScreen = keptFullScreen;
    gAquarium.keyboard = keptKeyboard;
}

void Aquarium::GLShutdown()
{
    platform::Backend& os = platform::Os();
    if (SwitchesDisplay(gAquarium))
        os.ChangeDisplaySettings(nullptr, 0);
    OpenGLLib::wglMakeCurrent(nullptr, nullptr);
    if (gDisplay.glContext != nullptr) {
        OpenGLLib::wglDeleteContext(gDisplay.glContext);
        gDisplay.glContext = nullptr;
    }
    if (gDisplay.dc != nullptr) {
        os.ReleaseDC(gDisplay.window, gDisplay.dc);
        gDisplay.dc = nullptr;
    }
    OpenGLLib::Free();
    os.ShowCursor(true);
}

namespace {
void ReportChangeFailure(int result, std::int32_t width, std::int32_t height, std::int32_t colourDepth)
{
    char text[256];
    std::snprintf(text, sizeof text, DisplayChangeFailureFormat(result), static_cast<long>(width),
                  static_cast<long>(height), static_cast<long>(colourDepth));
    Error::Report(2, "ChangeResolution: ", text);
}

// A switch the platform could only try once the window showed.
void ReportLateChangeFailure(int result, const platform::DisplayMode& asked)
{
    ReportChangeFailure(result, static_cast<std::int32_t>(asked.width), static_cast<std::int32_t>(asked.height),
                        static_cast<std::int32_t>(asked.bitsPerPel));
}
}  // namespace

bool ChangeResolution(std::int32_t width, std::int32_t height, std::int32_t colourDepth)
{
    platform::SetModeFailureReport(ReportLateChangeFailure);
    std::uint32_t firstFailed = 0;
    if (SwitchToEnumeratedMode(width, height, colourDepth, firstFailed))
        return true;
    const int result = SwitchByFields(width, height, colourDepth, firstFailed);
    if (result != platform::DISP_CHANGE_SUCCESSFUL)
        ReportChangeFailure(result, width, height, colourDepth);
    return true;
}

bool SetupPixelFormat(platform::DeviceContextHandle dc, std::int32_t colourDepth,
                      std::int32_t depthBits)
{
    platform::PixelFormatDescriptor pfd = {};
    pfd.size = sizeof pfd;
    pfd.version = 1;
    pfd.flags = platform::PFD_DRAW_TO_WINDOW | platform::PFD_SUPPORT_OPENGL |
                platform::PFD_DOUBLEBUFFER;
    pfd.pixelType = platform::PFD_TYPE_RGBA;
    pfd.colorBits = static_cast<std::uint8_t>(colourDepth);
    pfd.depthBits = static_cast<std::uint8_t>(depthBits);
    pfd.layerType = platform::PFD_MAIN_PLANE;
    const int format = OpenGLLib::ChoosePixelFormat(dc, &pfd);
    if (format == 0) {
        Error::Report(1, "SetupPixelFormat: ChoosePixelFormat failed\n");
        return false;
    }
    pfd = {};
    pfd.size = sizeof pfd;
    if (OpenGLLib::DescribePixelFormat(dc, format, sizeof pfd, &pfd) == 0) {
        Error::Report(1, "SetupPixelFormat: DescribePixelFormat failed\n");
        return false;
    }
    if (!OpenGLLib::SetPixelFormat(dc, format, &pfd)) {
        Error::Report(1, "SetupPixelFormat: SetPixelFormat failed\n");
        return false;
    }
    return true;
}

std::intptr_t AquariumWindowProc(platform::WindowHandle window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case platform::WM_CLOSE:
    case platform::WM_DESTROY:
        Aquarium::Shutdown(Error::Text());
        return 0;  // not reached: the shutdown ends the process
    case platform::WM_SIZE:
        return 0;
    case platform::WM_KEYDOWN:
        gAquarium.keyboard.KeyDown(static_cast<int>(wParam));
        return 0;
    case platform::WM_CHAR:
        gAquarium.keyboard.Char(static_cast<int>(wParam));
        return 0;
    case platform::WM_SYSCOMMAND:
        if (wParam == platform::SC_SIZE)
            return 0;
        break;
    default:
        break;
    }
    return platform::Os().DefWindowProc(platform::Message{window, message, wParam, lParam});
}

void Keyboard::KeyDown(int virtualKey)
{
    const bool navigation = virtualKey >= platform::VK_PRIOR && virtualKey <= platform::VK_DOWN;
    const bool editing = virtualKey == platform::VK_INSERT || virtualKey == platform::VK_DELETE;
    const bool function = virtualKey >= platform::VK_F1 && virtualKey <= platform::VK_F12;
    if (!navigation && !editing && !function)
        return;
    keyFlags[virtualKey] = 1;
    lastKey = virtualKey;
}

namespace {
int UpperCaseLetter(int character)
{
    return character >= 'a' && character <= 'z' ? character - 'a' + 'A' : character;
}
}  // namespace

void Keyboard::Char(int character)
{
    const std::uint16_t capsLock = platform::Os().GetAsyncKeyState(platform::VK_CAPITAL);
    if (capsLock & platform::KEY_PRESSED_SINCE_LAST_QUERY)
        character = UpperCaseLetter(character);
    if (textLength < TEXT_CAPACITY - 1) {
        text[textLength] = static_cast<char>(character);
        text[textLength + 1] = '\0';
        ++textLength;
    }
    const int key = UpperCaseLetter(character);
    if (key >= 0 && key < KEY_FLAG_COUNT)
        keyFlags[key] = 1;
    lastKey = key;
}
