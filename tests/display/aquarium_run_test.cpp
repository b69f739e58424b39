// The demo program itself, run as a user runs it on a small show: on an X
// screen without a 640 x 480 mode it starts and covers the screen with the
// scene, F10 writes a 640 x 480 shot of the frame before and after the focus
// went elsewhere, and Escape ends it with status 1 and the display change's
// message. Without a usable video driver, SDL's own reason follows the error
// text on stderr.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"
#include "tests/support/show_archive.h"
#include "tests/support/xvfb.h"

namespace {

constexpr long SHOT_BYTES = 18 + 640 * 480 * 3;  // TGA header and 24-bit pixels
constexpr int PATIENCE = 3000;                    // polls of 10 ms before giving up

constexpr const char* LONGEST_SCENE = "50";      // the credits: fifty seconds

// Starts the demo on the last scene of a small show written into the current
// directory, its stderr going to "aquarium.err".
pid_t StartDemo(const std::vector<std::pair<const char*, std::string>>& environment)
{
    test_support::WriteShowArchive("dovra.kzp", test_support::ShortMp3(2));
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    for (const auto& [name, value] : environment)
        setenv(name, value.c_str(), 1);
    if (std::freopen("aquarium.err", "w", stderr) != nullptr)
        execl(AQUARIUM_PATH, AQUARIUM_PATH, LONGEST_SCENE, static_cast<char*>(nullptr));
    _exit(127);
}

std::string ErrorOutput()
{
    std::ifstream file("aquarium.err", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Xdotool(const std::string& display, const std::string& arguments)
{
    return std::system(("DISPLAY=" + display + " xdotool " + arguments).c_str()) == 0;
}

// Focuses the window titled title, once it exists, and presses key in it.
bool PressIn(const std::string& display, const char* title, const char* key)
{
    return Xdotool(display, std::string("search --sync --name '^") + title +
                                "$' windowfocus --sync %1 key " + key);
}

bool ShotWritten(const char* name)
{
    struct stat info;
    for (int poll = 0; poll < PATIENCE; ++poll, usleep(10000)) {
        if (stat(name, &info) == 0 && info.st_size == SHOT_BYTES)
            return true;
    }
    return false;
}

// The shot holds the frame: its middle pixel is the wall's red (blue, green, red bytes).
bool ShotIsRed(const char* name)
{
    std::ifstream file(name, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t middle = 18 + (240 * 640 + 320) * 3;
    return bytes.size() == static_cast<std::size_t>(SHOT_BYTES) && bytes[middle] == 0 && bytes[middle + 1] == 0 &&
           static_cast<unsigned char>(bytes[middle + 2]) == 0xFF;
}

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

// The exit status once the demo has ended, answering its box with OK where
// the X server can show one (Xvfb without fonts cannot).
int StatusAfterTheBox(pid_t pid, const std::string& display)
{
    int status = 0;
    for (int poll = 0; poll < PATIENCE; ++poll, usleep(10000)) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (Xdotool(display, "search --name '^Aquarium Shutdown$' > /dev/null"))
            PressIn(display, "Aquarium Shutdown", "Return");
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
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
    EXPECT_EQ(StatusAfterTheBox(demo, server.Display()), 1);
    EXPECT_EQ(ErrorOutput(),
              "ChangeResolution: The video mode 640x480x32-bit color is not supported\n");
}

TEST(AquariumRun, WithoutVideoSdlsReasonFollowsTheErrorText)
{
    test_support::ScratchDirectory scratch;
    const pid_t demo = StartDemo({{"SDL_VIDEODRIVER", "no_such_driver"}, {"SDL_AUDIODRIVER", "dummy"}});
    ASSERT_GT(demo, 0);
    int status = 0;
    ASSERT_EQ(waitpid(demo, &status, 0), demo);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(ErrorOutput(),
              "Aquarium::FillOpenGL: Error registering windowclass\n"
              "SDL could not start video: no_such_driver not available\n");
}

}  // namespace
