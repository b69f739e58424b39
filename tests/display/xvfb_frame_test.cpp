// The frame on real X screens: each case starts an Xvfb of its own, fills the
// demo's Aquarium through the real backend in a child process, draws a known
// pattern through the system's GL binding and captures the screen: the
// picture is scaled to 4:3 within black bars, or 1:1 where the display has the
// mode. The child ends as the demo does, through the shutdown box when the
// error text is not empty. Nothing in this program starts SDL in the parent,
// so every child starts it afresh.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/opengllib.h"
#include "host/systemobjects.h"
#include "platform/frame_presenter.h"
#include "platform/picture.h"
#include "tests/support/demo_fill.h"
#include "tests/support/child_processes.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/shutdown_box.h"
#include "tests/support/x_windows.h"
#include "tests/support/xvfb.h"

namespace {

using platform::FrameRect;
using test_support::Capture;

// Channel values a float clear colour reaches exactly in 8 bits.
constexpr std::uint32_t RED = 0xCC3333, GREEN = 0x33CC66, BLUE = 0x3366CC, BLACK = 0;

void ClearTo(std::uint32_t colour)
{
    const auto channel = [colour](int shift) { return ((colour >> shift) & 0xFF) / 255.0f; };
    OpenGLLib::glClearColor(channel(16), channel(8), channel(0), 1.0f);
    OpenGLLib::glClear(GL_COLOR_BUFFER_BIT);
}

// Blue, the lower-left quarter red and the upper-right green (GL's rows run
// bottom up): a picture whose orientation and extent show, at the frame's size.
void DrawPattern()
{
    const int halfWidth = gAquarium.width / 2, halfHeight = gAquarium.height / 2;
    ClearTo(BLUE);
    OpenGLLib::glEnable(GL_SCISSOR_TEST);
    OpenGLLib::glScissor(0, 0, halfWidth, halfHeight);
    ClearTo(RED);
    OpenGLLib::glScissor(halfWidth, halfHeight, halfWidth, halfHeight);
    ClearTo(GREEN);
    OpenGLLib::glDisable(GL_SCISSOR_TEST);
}

std::uint32_t FramePixel(int x, int y)
{
    GLubyte rgb[4] = {};
    OpenGLLib::glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
}

// Reads, as a screenshot does, find the frame itself at its own size, unscaled.
bool FrameReadsRight()
{
    const int width = gAquarium.width, height = gAquarium.height;
    return FramePixel(width / 2 - 1, 0) == RED && FramePixel(width / 2, 0) == BLUE &&
           FramePixel(width - 1, height - 1) == GREEN && FramePixel(0, height - 1) == BLUE;
}

// The child: fills on display, lets prepare act, draws two frames (Mesa takes
// up a window's new size at a swap), captures the screen or the window called
// windowName, writes what it saw to "child.report" and ends as the demo does.
[[noreturn]] void ShowPattern(const std::string& display, const std::string& capture,
                              void (*prepare)() = nullptr, const char* windowName = nullptr)
{
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    test_support::FillAsTheDemoDoes();
    if (prepare != nullptr)
        prepare();
    DrawPattern();
    BufferSwap::Swim();
    DrawPattern();
    GLint framebuffer = 0;
    OpenGLLib::glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    const bool readsRight = FrameReadsRight();
    BufferSwap::Swim();
    OpenGLLib::glFinish();
    const bool captured = test_support::CaptureWithXwd(display, capture, windowName);
    if (std::FILE* const report = std::fopen("child.report", "w")) {
        std::fprintf(report, "offscreen frame %s, frame read %s, captured %s", framebuffer != 0 ? "yes" : "no",
                     readsRight ? "right" : "wrong", captured ? "yes" : "no");
        std::fclose(report);
    }
    Aquarium::Shutdown(Error::Text());
}

// The pattern fills picture, and everything else in capture is black.
void ExpectPicture(const Capture& capture, const FrameRect& picture)
{
    int notBlack = 0;
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            const bool inside = x >= picture.x && x < picture.x + picture.width &&
                                y >= picture.y && y < picture.y + picture.height;
            notBlack += !inside && capture.At(x, y) != BLACK;
        }
    }
    EXPECT_EQ(notBlack, 0) << "pixels of the bars that are not black";
    const auto at = [&](int quarterX, int quarterY) {
        return capture.At(picture.x + picture.width * quarterX / 4,
                          picture.y + picture.height * quarterY / 4);
    };
    EXPECT_EQ(at(1, 3), RED) << "lower left";
    EXPECT_EQ(at(3, 1), GREEN) << "upper right";
    EXPECT_EQ(at(1, 1), BLUE) << "upper left";
    const int row = picture.y + picture.height / 4;
    EXPECT_EQ(capture.At(picture.x, row), BLUE) << "the picture's first column";
    EXPECT_EQ(capture.At(picture.x + picture.width - 1, row), GREEN) << "its last column";
}

// What the child says and the error text it ends with.
struct Outcome {
    const char* framebuffer;  // "yes" when the frame is drawn offscreen and scaled
    const char* errorText;
};

// Runs child against an Xvfb of width x height and checks how it ends and its capture.
void ExpectCapture(int width, int height, void (*child)(const std::string&, const std::string&),
                   const Outcome& outcome, const Capture& expectedSize, const FrameRect& picture)
{
    test_support::Xvfb server(width, height);
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    test_support::ScratchDirectory scratch;
    const std::string path = scratch.Path() + "/capture.xwd";
    const pid_t pid = test_support::StartChild([&] {
        if (std::freopen("child.err", "w", stderr) != nullptr)
            child(server.Display(), path);
    });
    const test_support::Ending ending = test_support::AwaitEnding(pid, server.Display(), "child.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_EQ(ending.errorText, outcome.errorText);
    EXPECT_EQ(test_support::FileText("child.report"),
              std::string("offscreen frame ") + outcome.framebuffer + ", frame read right, captured yes");
    Capture capture;
    ASSERT_TRUE(test_support::ReadXwd(path, capture));
    ASSERT_EQ(capture.width, expectedSize.width);
    ASSERT_EQ(capture.height, expectedSize.height);
    ExpectPicture(capture, picture);
}

[[noreturn]] void ShowPatternFullScreen(const std::string& display, const std::string& capture)
{
    ShowPattern(display, capture);
}

constexpr char NO_MODE[] = "ChangeResolution: The video mode 640x480x32-bit color is not supported\n";

struct Screen {
    int width, height;
    FrameRect picture;  // where the frame must appear, rows top first
    Outcome outcome;
};

TEST(XvfbFrame, TheFrameFillsTheScreenAt4To3OnBlackOrOneToOneInItsOwnMode)
{
    const Screen screens[] = {
        {1024, 768, {0, 0, 1024, 768}, {"yes", NO_MODE}},
        {1280, 720, {160, 0, 960, 720}, {"yes", NO_MODE}},
        {640, 480, {0, 0, 640, 480}, {"no", ""}},
    };
    for (const Screen& screen : screens) {
        SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
        ExpectCapture(screen.width, screen.height, ShowPatternFullScreen, screen.outcome,
                      Capture{screen.width, screen.height, {}}, screen.picture);
    }
}

// The child of a test that set AQUARIUM_RESOLUTION: the choice is read as
// the demo reads it.
[[noreturn]] void ShowPatternAtTheChosenSize(const std::string& display, const std::string& capture)
{
    platform::PictureChoice choice;
    std::string refusal;
    if (!platform::ReadPictureChoice(choice, refusal))
        std::exit(6);
    platform::SetPictureChoice(choice);
    ShowPattern(display, capture);
}

struct ChosenScreen {
    const char* resolution;
    Screen screen;
};

// native is the desktop's own 4:3 picture with no mode asked for: a 1600 x
// 1200 screen shows it directly, a 1280 x 720 one 1:1 between black bars, and
// neither has a message. An explicit smaller size is asked for in vain and
// shown 1:1, centred.
TEST(XvfbFrame, AChosenSizeIsTheDisplaysModeOrShownOneToOneWhereItFits)
{
    const ChosenScreen screens[] = {
        {"native", {1600, 1200, {0, 0, 1600, 1200}, {"no", ""}}},
        {"native", {1280, 720, {160, 0, 960, 720}, {"yes", ""}}},
        {"1024x768", {1600, 1200, {288, 216, 1024, 768},
                      {"yes", "ChangeResolution: The video mode 1024x768x32-bit color is not supported\n"}}},
    };
    for (const ChosenScreen& chosen : screens) {
        const Screen& screen = chosen.screen;
        SCOPED_TRACE(std::string(chosen.resolution) + " on " + std::to_string(screen.width) + "x" +
                     std::to_string(screen.height));
        setenv("AQUARIUM_RESOLUTION", chosen.resolution, 1);
        ExpectCapture(screen.width, screen.height, ShowPatternAtTheChosenSize, screen.outcome,
                      Capture{screen.width, screen.height, {}}, screen.picture);
        unsetenv("AQUARIUM_RESOLUTION");
    }
}

// Someone else (xdotool here) makes the user's window wider; the demo's own
// messages tell it when that happened.
void ResizeTo800By400()
{
    if (!test_support::Xdotool(std::getenv("DISPLAY"), "search --name '^Aquarium$' windowsize %@ 800 400"))
        std::exit(4);
    constexpr std::intptr_t RESIZED = 400 << 16 | 800;
    constexpr int PATIENCE = 1000;  // polls of 10 ms before giving up
    platform::Message message;
    for (int poll = 0; poll < PATIENCE; ++poll) {
        if (!platform::Os().PeekMessage(message))
            platform::Os().Sleep(10);
        else if (message.kind == platform::WM_SIZE && message.lParam == RESIZED)
            return;
    }
    std::exit(5);
}

[[noreturn]] void ShowPatternInAResizedWindow(const std::string& display,
                                              const std::string& capture)
{
    setenv("AQUARIUM_WINDOW", "1", 1);
    ShowPattern(display, capture, ResizeTo800By400, "Aquarium");
}

TEST(XvfbFrame, AChosenWindowLeavesTheDisplayAloneAndScalesThePictureWhenResized)
{
    ExpectCapture(1024, 768, ShowPatternInAResizedWindow, {"yes", ""}, Capture{800, 400, {}}, {133, 0, 533, 400});
}

}  // namespace
