// The demo program itself, run as a user runs it on a small show: on an X
// screen without a 640 x 480 mode it starts and covers the screen with the
// scene, F10 writes a 640 x 480 shot of the frame before and after the focus
// went elsewhere, and Escape ends it with status 1 and the display change's
// message. At native size it keeps the screen's mode and ends with no
// message. Without a usable video driver, SDL's own reason follows the error
// text on stderr.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/child_processes.h"
#include "tests/support/demo_shots.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"
#include "tests/support/show_archive.h"
#include "tests/support/shutdown_box.h"
#include "tests/support/x_windows.h"
#include "tests/support/xvfb.h"

namespace {

constexpr int PATIENCE = 3000;  // polls of 10 ms before giving up

constexpr const char* LONGEST_SCENE = "50";      // the credits: fifty seconds
constexpr const char* SHORTEST_SCENE = "5 5";    // 2.2 s after the two-second pause

// Starts the demo on scenes of a small show written into the current
// directory, its stderr going to "aquarium.err".
pid_t StartDemo(const test_support::Environment& environment, const char* scenes = LONGEST_SCENE)
{
    test_support::WriteShowArchive("dovra.kzp", test_support::ShortMp3(2));
    return test_support::StartProgram({AQUARIUM_PATH, scenes}, environment, "aquarium.err");
}

using test_support::PressIn;
using test_support::ShotIsRed;
using test_support::ShotWritten;
using test_support::Xdotool;

// The X screen once the first frame of the scene has been swapped onto it:
// the shot is taken before the swap, so the screen may lag it by a frame.
test_support::Capture ScreenOnceDrawn(const std::string& display)
{
    test_support::Capture screen;
    for (int poll = 0; poll < PATIENCE / 10; ++poll, usleep(100000)) {
        if (!test_support::CaptureWithXwd(display, "screen.xwd") || !test_support::ReadXwd("screen.xwd", screen))
            continue;
        if (std::count(screen.pixels.begin(), screen.pixels.end(), 0xFF0000u) > 0)
            break;
    }
    return screen;
}

TEST(AquariumRun, OnAScreenWithoutTheModeItPlaysShootsAndEndsWithTheChangesMessage)
{
    test_support::Xvfb server(1024, 768);
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    test_support::ScratchDirectory scratch;
    const pid_t demo = StartDemo(
        {{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}});
    ASSERT_GT(demo, 0);

    EXPECT_TRUE(PressIn(server.Display(), "Aquarium", "F10"));
    EXPECT_TRUE(ShotWritten("shot0.tga")) << "F10 writes a 640 x 480 shot of the frame";
    // The server's background is white: black everywhere is the demo's window.
    const test_support::Capture screen = ScreenOnceDrawn(server.Display());
    EXPECT_EQ(screen.width * screen.height, 1024 * 768);
    EXPECT_EQ(std::count(screen.pixels.begin(), screen.pixels.end(), 0xFFFFFFu), 0)
        << "the demo covers the whole screen";
    EXPECT_GT(std::count(screen.pixels.begin(), screen.pixels.end(), 0xFF0000u), 1024 * 768 / 2)
        << "the red wall fills the picture";
    EXPECT_TRUE(ShotIsRed("shot0.tga"));
    // Away to the desktop (the root window takes the focus) and back: it still plays.
    EXPECT_TRUE(Xdotool(server.Display(), "search --maxdepth 0 --name '' windowfocus --sync %1"));
    EXPECT_TRUE(PressIn(server.Display(), "Aquarium", "F10"));
    EXPECT_TRUE(ShotWritten("shot1.tga")) << "after the focus came back";

    EXPECT_TRUE(PressIn(server.Display(), "Aquarium", "Escape"));
    const test_support::Ending ending = test_support::AwaitEnding(demo, server.Display(), "aquarium.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_EQ(ending.errorText, "ChangeResolution: The video mode 640x480x32-bit color is not supported\n");
}

// A screen with the mode: the scene plays to its end, which is a good one.
TEST(AquariumRun, OnAScreenWithTheModeAShowThatEndsWellShowsNoBox)
{
    test_support::Xvfb server(640, 480);
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    test_support::ScratchDirectory scratch;
    const pid_t demo = StartDemo(
        {{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}}, SHORTEST_SCENE);
    ASSERT_GT(demo, 0);
    const test_support::Ending ending = test_support::AwaitEnding(demo, server.Display(), "aquarium.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_FALSE(ending.boxShown);
    EXPECT_EQ(ending.errorText, "");
}

// Pixels of screen outside the rectangle from (left, top) to (right, bottom)
// that are not black, and pixels inside it that are not the wall's red.
struct PictureCount {
    long strayOutside = 0;
    long notRedInside = 0;
};

PictureCount CountPicture(const test_support::Capture& screen, int left, int top, int right, int bottom)
{
    PictureCount count;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            const bool inside = x >= left && x <= right && y >= top && y <= bottom;
            count.strayOutside += !inside && screen.At(x, y) != 0;
            count.notRedInside += inside && screen.At(x, y) != 0xFF0000u;
        }
    }
    return count;
}

// native on a 1920 x 1080 screen keeps the desktop's mode: the 1440 x 1080
// picture 1:1 in the middle on black, shots of that size, and no message.
TEST(AquariumRun, NativeKeepsTheDesktopAndShowsThePictureOneToOneInTheMiddle)
{
    test_support::Xvfb server(1920, 1080);
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    test_support::ScratchDirectory scratch;
    const pid_t demo = StartDemo({{"DISPLAY", server.Display()},
                                  {"SDL_VIDEODRIVER", "x11"},
                                  {"SDL_AUDIODRIVER", "dummy"},
                                  {"AQUARIUM_RESOLUTION", "native"}});
    ASSERT_GT(demo, 0);

    EXPECT_TRUE(PressIn(server.Display(), "Aquarium", "F10"));
    EXPECT_TRUE(ShotWritten("shot0.tga", 1440, 1080)) << "F10 writes a 1440 x 1080 shot";
    EXPECT_TRUE(ShotIsRed("shot0.tga", 1440, 1080));
    const test_support::Capture screen = ScreenOnceDrawn(server.Display());
    ASSERT_EQ(screen.width * screen.height, 1920 * 1080) << "the desktop kept its mode";
    const PictureCount count = CountPicture(screen, 240, 0, 1679, 1079);
    EXPECT_EQ(count.strayOutside, 0) << "black bars beside the picture";
    EXPECT_EQ(count.notRedInside, 0) << "the wall fills the picture, unscaled";

    EXPECT_TRUE(PressIn(server.Display(), "Aquarium", "Escape"));
    const test_support::Ending ending = test_support::AwaitEnding(demo, server.Display(), "aquarium.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_FALSE(ending.boxShown);
    EXPECT_EQ(ending.errorText, "");
}

TEST(AquariumRun, WithoutVideoSdlsReasonFollowsTheErrorText)
{
    test_support::ScratchDirectory scratch;
    const pid_t demo = StartDemo({{"SDL_VIDEODRIVER", "no_such_driver"}, {"SDL_AUDIODRIVER", "dummy"}});
    ASSERT_GT(demo, 0);
    EXPECT_EQ(test_support::AwaitChild(demo, test_support::RUN_PATIENCE_MS), 1);
    EXPECT_EQ(test_support::FileText("aquarium.err"),
              "Aquarium::FillOpenGL: Error registering windowclass\n"
              "SDL could not start video: no_such_driver not available\n");
}

}  // namespace
