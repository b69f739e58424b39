// Screenshots: each press of F10 writes the next numbered file with the frame's
// pixels; a directory that cannot be written ends the loop with both messages.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "image/screenshot.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "tests/support/scratch_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs frames of one Screenshot object on the global record, in a directory
// of its own, with the recording GL library loaded.
class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        platform::FakeGLReset();
        fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
        saved_.width = gAquarium.width;
        saved_.height = gAquarium.height;
        gAquarium.width = 2;
        gAquarium.height = 1;
        gAquarium.swimTable[Mainloop::TYPE] = Mainloop::Swim;
        gAquarium.swimTable[Screenshot::TYPE] = Screenshot::Swim;
        gAquarium.filled = 1;
        ASSERT_TRUE(Fishes::InsertObject(&list_, &shot_, false));
        gAquarium.currentObjectList = list_;
    }

    void TearDown() override
    {
        gAquarium.width = saved_.width;
        gAquarium.height = saved_.height;
        gAquarium.swimTable[Mainloop::TYPE] = nullptr;
        gAquarium.swimTable[Screenshot::TYPE] = nullptr;
        gAquarium.filled = 0;
        gAquarium.quit = 0;
        gAquarium.currentObjectList = FishList{};
        OpenGLLib::Free();
    }

    void RunOneFrame()
    {
        Mainloop loop(&gAquarium, false);
        loop.Feed();
    }

    test_support::ScratchDirectory scratch_;
    platform::ScopedFakeBackend scoped;
    platform::FakeBackend& fake = scoped.fake;
    Screenshot shot_{"shot"};
    Fishes list_;
    struct {
        std::int32_t width, height;
    } saved_ = {};
};

TEST_F(ScreenshotTest, EachPressOfF10WritesTheNextFileWithTheFramesPixels)
{
    RunOneFrame();
    EXPECT_TRUE(platform::FakeGLCalls().empty()) << "no press, no read-back";

    platform::FakeGLSetReadPixels({10, 20, 30, 40, 50, 60});
    fake.PressKey(platform::VK_F10);
    RunOneFrame();
    fake.HoldKey(platform::VK_F10, true);
    RunOneFrame();
    EXPECT_EQ(shot_.counter, 1) << "a held key is not a new press";
    platform::FakeGLSetReadPixels({1, 2, 3, 4, 5, 6});
    fake.PressKey(platform::VK_F10);
    RunOneFrame();

    EXPECT_EQ(shot_.counter, 2);
    EXPECT_EQ(gAquarium.quit, 0);
    EXPECT_STREQ(Error::Text(), "");
    const Bytes header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0};
    Bytes first = header;
    first.insert(first.end(), {30, 20, 10, 60, 50, 40});
    Bytes second = header;
    second.insert(second.end(), {3, 2, 1, 6, 5, 4});
    EXPECT_EQ(ReadFile("shot0.tga"), first) << "red and blue swapped into the file's order";
    EXPECT_EQ(ReadFile("shot1.tga"), second);
    EXPECT_EQ(platform::FakeGLCalls().front(), "glReadPixels(0, 0, 2, 1, 0x1907, 0x1401, ptr)");
}

TEST_F(ScreenshotTest, AnUnwritableDirectoryEndsTheLoopWithBothMessages)
{
    if (geteuid() == 0)
        ASSERT_EQ(mkdir("shot0.tga", 0755), 0) << "root writes anywhere; a folder takes the name";
    else
        ASSERT_EQ(chmod(scratch_.Path().c_str(), 0555), 0);
    fake.PressKey(platform::VK_F10);
    Mainloop loop(&gAquarium, true);
    loop.Feed();
    EXPECT_EQ(gAquarium.quit, 1);
    EXPECT_EQ(shot_.counter, 1) << "the counter moves on even when the save fails";
    EXPECT_STREQ(Error::Text(), "TGA::Save: Error opening file (shot0.tga)\n"
                                "Screenshot::Swim: Error writing .tga-file\n");
}

TEST(ScreenshotObject, StartsAtZeroWithItsPrefixAndType)
{
    EXPECT_EQ(gScreenshot.type, 19);
    EXPECT_STREQ(gScreenshot.prefix, "shot");
    EXPECT_EQ(gScreenshot.counter, 0);
    EXPECT_EQ(SWIM_LIST[19], Screenshot::Swim);
}

}  // namespace
