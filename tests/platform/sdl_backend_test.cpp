// The real backend seen through platform::Os() under SDL's offscreen driver: classes,
// a full-screen GL window drawn through the loaded libGL, messages, key state, display
// modes. SDL is used here only to inject events and to look at the window made.
#include "platform/platform.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace platform {
namespace {

using ViewportProc = void (*)(GLint, GLint, GLsizei, GLsizei);
using ClearColorProc = void (*)(GLfloat, GLfloat, GLfloat, GLfloat);
using ClearProc = void (*)(GLbitfield);
using ReadPixelsProc = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
using ErrorStringProc = const GLubyte* (*)(GLenum);
using ErrorUnicodeStringProc = const wchar_t* (*)(unsigned int);

constexpr char CLASS_NAME[] = "AquariumTestWindow";
constexpr char TITLE[] = "Aquarium under test";
constexpr std::intptr_t HANDLED = 7;
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
// Channel values a float clear colour reaches exactly in 8 bits.
constexpr std::array<GLubyte, 4> CLEAR_COLOUR{{51, 102, 204, 255}};

std::vector<Message> received;  // what the test class's procedure was handed

std::intptr_t RecordMessage(WindowHandle window, std::uint32_t kind, std::uintptr_t wParam,
                            std::intptr_t lParam)
{
    received.push_back(Message{window, kind, wParam, lParam});
    return HANDLED;
}

template <typename Function>
Function Resolve(ModuleHandle module, const char* name)
{
    return reinterpret_cast<Function>(Os().GetProcAddress(module, name));
}

// Queues an event as if the user made it; key events carry the key, text
// events the text.
void Push(Uint32 type, SDL_Keycode key = SDLK_UNKNOWN, const char* text = "")
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    if (type == SDL_TEXTINPUT) {
        std::strncpy(event.text.text, text, sizeof(event.text.text) - 1);
    } else {
        event.key.keysym.sym = key;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// The host's message loop: every queued message, each one translated.
std::vector<Message> TakeMessages()
{
    std::vector<Message> messages;
    Message message;
    while (Os().PeekMessage(message)) {
        Os().TranslateMessage(message);
        messages.push_back(message);
    }
    return messages;
}

TEST(SdlBackend, KeyStateTellsDownNowAndPressedSinceLastQuery)
{
    Os().GetAsyncKeyState('A');  // starts SDL and forgets earlier presses
    Push(SDL_KEYDOWN, SDLK_a);
    EXPECT_EQ(Os().GetAsyncKeyState('A'), KEY_DOWN_NOW | KEY_PRESSED_SINCE_LAST_QUERY);
    EXPECT_EQ(Os().GetAsyncKeyState('A'), KEY_DOWN_NOW) << "the query clears the press";
    Push(SDL_KEYDOWN, SDLK_a);  // auto-repeat counts as a press
    EXPECT_EQ(Os().GetAsyncKeyState('A'), KEY_DOWN_NOW | KEY_PRESSED_SINCE_LAST_QUERY);
    Push(SDL_KEYUP, SDLK_a);
    EXPECT_EQ(Os().GetAsyncKeyState('A'), 0);

    // A tap between two queries leaves only the press; other keys keep theirs.
    Push(SDL_KEYDOWN, SDLK_F12);
    Push(SDL_KEYUP, SDLK_F12);
    Push(SDL_KEYDOWN, SDLK_PAGEUP);
    EXPECT_EQ(Os().GetAsyncKeyState('B'), 0);
    EXPECT_EQ(Os().GetAsyncKeyState(VK_F12), KEY_PRESSED_SINCE_LAST_QUERY);
    EXPECT_EQ(Os().GetAsyncKeyState(VK_F12), 0);
    EXPECT_EQ(Os().GetAsyncKeyState(VK_PRIOR), KEY_DOWN_NOW | KEY_PRESSED_SINCE_LAST_QUERY);
    Push(SDL_KEYUP, SDLK_PAGEUP);
    EXPECT_EQ(Os().GetAsyncKeyState(-1), 0);
    EXPECT_EQ(Os().GetAsyncKeyState(4096), 0);
    TakeMessages();
}

TEST(SdlBackend, PeekMessageTurnsSdlEventsIntoWindowMessages)
{
    TakeMessages();
    Push(SDL_QUIT);
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    Push(SDL_KEYDOWN, SDLK_KP_5);  // no virtual-key code: no message
    Push(SDL_KEYDOWN, SDLK_F1);
    Push(SDL_KEYDOWN, SDLK_7);
    Push(SDL_KEYUP, SDLK_7);
    Push(SDL_TEXTINPUT, SDLK_UNKNOWN, "h\xC3\xA9i");  // the non-ASCII letter brings no WM_CHAR
    SDL_Event resize{};
    resize.window.type = SDL_WINDOWEVENT;
    resize.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    resize.window.data1 = 800;
    resize.window.data2 = 600;
    ASSERT_EQ(SDL_PushEvent(&resize), 1);

    using Seen = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;
    const std::vector<Seen> expected{{WM_CLOSE, 0, 0},        {WM_KEYDOWN, VK_ESCAPE, 1},
                                     {WM_CHAR, VK_ESCAPE, 1}, {WM_KEYDOWN, VK_F1, 1},
                                     {WM_KEYDOWN, '7', 1},    {WM_CHAR, 'h', 1},
                                     {WM_CHAR, 'i', 1},       {WM_SIZE, 0, (600 << 16) | 800}};
    std::vector<Seen> seen;
    for (const Message& m : TakeMessages())
        seen.emplace_back(m.kind, m.wParam, m.lParam);
    EXPECT_EQ(seen, expected);
    Message none;
    EXPECT_FALSE(Os().PeekMessage(none));
    for (const SDL_Keycode key : {SDLK_ESCAPE, SDLK_KP_5, SDLK_F1})
        Push(SDL_KEYUP, key);
    TakeMessages();
}

TEST(SdlBackend, LibrariesFollowTheWindowsNameTable)
{
    for (const char* name : {"3dfxvgl.dll", "opengl.dll", "glu.dll", "3dfxvglu.dll"}) {
        EXPECT_EQ(Os().LoadLibrary(name), nullptr) << name;
    }
    const ModuleHandle gl = Os().LoadLibrary("OpenGL32.DLL");
    const ModuleHandle glu = Os().LoadLibrary("glu32.dll");
    ASSERT_NE(gl, nullptr);
    ASSERT_NE(glu, nullptr);
    EXPECT_EQ(Os().GetProcAddress(gl, "wglSwapBuffers"), nullptr);
    EXPECT_EQ(Os().GetProcAddress(gl, "wglSetPixelFormat"), nullptr);
    EXPECT_NE(Os().GetProcAddress(gl, "wglGetProcAddress"), nullptr);
    EXPECT_NE(Os().GetProcAddress(gl, "glBindTexture"), nullptr);
    EXPECT_EQ(Os().GetProcAddress(gl, "glNoSuchFunction"), nullptr);

    const auto errorString = Resolve<ErrorStringProc>(glu, "gluErrorString");
    const auto errorText = Resolve<ErrorUnicodeStringProc>(glu, "gluErrorUnicodeStringEXT");
    ASSERT_NE(errorString, nullptr);
    ASSERT_NE(errorText, nullptr);
    const std::string narrow(reinterpret_cast<const char*>(errorString(GL_INVALID_ENUM)));
    ASSERT_FALSE(narrow.empty());
    const wchar_t* const wide = errorText(GL_INVALID_ENUM);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::wstring(wide), std::wstring(narrow.begin(), narrow.end()));
    EXPECT_EQ(errorText(GL_INVALID_ENUM), wide) << "the text stays where it was";

    EXPECT_TRUE(Os().FreeLibrary(glu));
    EXPECT_TRUE(Os().FreeLibrary(gl));
    EXPECT_FALSE(Os().FreeLibrary(gl));
    EXPECT_FALSE(Os().FreeLibrary(nullptr));
}

TEST(SdlBackend, DisplayModesComeFromTheDisplay)
{
    std::vector<DisplayMode> modes;
    DisplayMode mode;
    for (std::uint32_t i = 0; Os().EnumDisplaySettings(i, mode); ++i)
        modes.push_back(mode);
    ASSERT_FALSE(modes.empty());
    bool anyTrueColour = false;
    for (const DisplayMode& each : modes) {
        EXPECT_EQ(each.fields, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY);
        EXPECT_GT(each.width, 0u);
        EXPECT_GT(each.height, 0u);
        anyTrueColour = anyTrueColour || each.bitsPerPel == 32;
    }
    EXPECT_TRUE(anyTrueColour);

    // A listed size is always reachable; the depth comes from the desktop.
    DisplayMode listed = modes.front();
    listed.fields = DM_PELSWIDTH | DM_PELSHEIGHT;
    EXPECT_EQ(Os().ChangeDisplaySettings(&listed, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Os().ChangeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

// Registers the test class and makes a full-screen window with a GL pixel format.
DeviceContextHandle OpenFullScreenWindow(WindowHandle& window)
{
    WindowClass windowClass;
    windowClass.style = CS_OWNDC;
    windowClass.procedure = &RecordMessage;
    windowClass.className = CLASS_NAME;
    windowClass.instance = Os().ProgramInstance();
    EXPECT_NE(windowClass.instance, nullptr);
    EXPECT_TRUE(Os().RegisterClass(windowClass));
    EXPECT_FALSE(Os().RegisterClass(windowClass)) << "the name is taken";
    const DisplayMode wanted{DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT, 32, WIDTH, HEIGHT, 0};
    EXPECT_EQ(Os().ChangeDisplaySettings(&wanted, CDS_FULLSCREEN), DISP_CHANGE_BADMODE)
        << "the offscreen display offers its desktop mode only";

    WindowParams shape;
    shape.className = "NoSuchClass";
    EXPECT_EQ(Os().CreateWindow(shape), nullptr);
    shape.className = CLASS_NAME;
    shape.title = TITLE;
    shape.style = WS_POPUP | WS_CLIPSIBLINGS;
    shape.width = WIDTH;
    shape.height = HEIGHT;
    window = Os().CreateWindow(shape);
    EXPECT_EQ(Os().CreateWindow(shape), nullptr) << "one window at a time";
    Os().ShowWindow(window, SW_SHOWNORMAL);
    const DeviceContextHandle dc = Os().GetDC(window);
    EXPECT_EQ(Os().GetDC(window), dc) << "a window owns one device context";
    EXPECT_FALSE(Os().SwapBuffers(dc)) << "nothing to swap before a pixel format";

    PixelFormatDescriptor asked{};
    asked.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    asked.colorBits = 32;
    const int format = Os().ChoosePixelFormat(dc, &asked);
    EXPECT_EQ(format, 1);
    PixelFormatDescriptor described{};
    EXPECT_EQ(Os().DescribePixelFormat(dc, format, sizeof described, &described), 1);
    EXPECT_EQ(described.colorBits, 32);
    EXPECT_EQ(described.depthBits, 24);
    EXPECT_EQ(Os().DescribePixelFormat(dc, 2, sizeof described, &described), 0);
    EXPECT_TRUE(Os().SetPixelFormat(dc, format, &described));
    EXPECT_FALSE(Os().SetPixelFormat(dc, 2, &described));
    return dc;
}

// Clears through functions from the GL module and reads back one pixel.
std::array<GLubyte, 4> ClearAndReadPixel(ModuleHandle gl)
{
    const auto viewport = Resolve<ViewportProc>(gl, "glViewport");
    const auto clearColor = Resolve<ClearColorProc>(gl, "glClearColor");
    const auto clear = Resolve<ClearProc>(gl, "glClear");
    const auto readPixels = Resolve<ReadPixelsProc>(gl, "glReadPixels");
    std::array<GLubyte, 4> pixel{};
    if (!viewport || !clearColor || !clear || !readPixels) {
        ADD_FAILURE() << "libGL lacks a GL 1.1 function";
        return pixel;
    }
    viewport(0, 0, WIDTH, HEIGHT);
    clearColor(CLEAR_COLOUR[0] / 255.0f, CLEAR_COLOUR[1] / 255.0f, CLEAR_COLOUR[2] / 255.0f, 1.0f);
    clear(GL_COLOR_BUFFER_BIT);
    readPixels(WIDTH / 2, HEIGHT / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

TEST(SdlBackend, FullScreenWindowDrawsThroughTheLoadedGl)
{
    WindowHandle window = nullptr;
    const DeviceContextHandle dc = OpenFullScreenWindow(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(Os().GetFocus(), window);
    const ModuleHandle gl = Os().LoadLibrary("opengl32.dll");
    const ModuleHandle glu = Os().LoadLibrary("glu32.dll");
    ASSERT_NE(gl, nullptr);
    ASSERT_NE(glu, nullptr);
    const auto create = Resolve<CreateContextProc>(gl, "wglCreateContext");
    const auto makeCurrent = Resolve<MakeCurrentProc>(gl, "wglMakeCurrent");
    const auto remove = Resolve<DeleteContextProc>(gl, "wglDeleteContext");
    ASSERT_TRUE(create && makeCurrent && remove);

    const GLContextHandle context = create(dc);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "creating does not make current";
    ASSERT_EQ(makeCurrent(dc, context), 1) << SDL_GetError();
    SDL_Window* const shown = SDL_GL_GetCurrentWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(shown), TITLE);
    EXPECT_NE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_NE(SDL_GetWindowFlags(shown) & SDL_WINDOW_SHOWN, 0u);
    EXPECT_EQ(ClearAndReadPixel(gl), CLEAR_COLOUR);
    EXPECT_TRUE(Os().SwapBuffers(dc));

    EXPECT_EQ(makeCurrent(nullptr, nullptr), 1);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_EQ(remove(context), 1);
    EXPECT_EQ(remove(context), 0) << "already deleted";
    EXPECT_TRUE(Os().FreeLibrary(glu));
    EXPECT_TRUE(Os().FreeLibrary(gl));
    EXPECT_EQ(Os().ReleaseDC(window, dc), 1);
    EXPECT_EQ(Os().ReleaseDC(nullptr, dc), 0);

    // A quit request reaches the window's procedure as WM_CLOSE.
    TakeMessages();
    received.clear();
    Push(SDL_QUIT);
    for (const Message& message : TakeMessages()) {
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(Os().DispatchMessage(message), HANDLED);
    }
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].kind, WM_CLOSE);
    EXPECT_EQ(received[0].window, window);
    EXPECT_TRUE(Os().UnregisterClass(CLASS_NAME, Os().ProgramInstance()));
    EXPECT_FALSE(Os().UnregisterClass(CLASS_NAME, Os().ProgramInstance()));
    EXPECT_EQ(Os().ChangeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

}  // namespace
}  // namespace platform
