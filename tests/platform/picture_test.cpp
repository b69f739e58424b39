// The picture's size and multisampling as a user or a tool chooses them: the
// sizes taken and refused, the largest 4:3 area of a desktop, the choice read
// from the environment, and where a frame is placed on its drawable.
#include "platform/picture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/fake_backend.h"
#include "platform/frame_presenter.h"

namespace {

using platform::PictureSize;

struct SizeCase {
    const char* text;
    bool taken;
    PictureSize size;
};

const SizeCase SIZE_CASES[] = {
    {"640x480", true, {640, 480}},       {"1440x1080", true, {1440, 1080}}, {"320x240", true, {320, 240}},
    {"8192x6144", true, {8192, 6144}},   {"316x237", false, {}},            {"8196x6147", false, {}},
    {"1920x1080", false, {}},            {"640X480", false, {}},            {" 640x480", false, {}},
    {"640x480x", false, {}},             {"x480", false, {}},               {"", false, {}},
    {"0640x0480", true, {640, 480}},     {"99999999x1", false, {}},         {"-640x-480", false, {}},
    {"1280x960 ", false, {}},
};

TEST(PictureSizes, OnlyFourToThreeSizesWithinTheBoundsAreTaken)
{
    for (const SizeCase& test : SIZE_CASES) {
        PictureSize size{1, 1};
        EXPECT_EQ(platform::ParsePictureSize(test.text, size), test.taken) << "'" << test.text << "'";
        if (test.taken) {
            EXPECT_EQ(size.width, test.size.width) << test.text;
            EXPECT_EQ(size.height, test.size.height) << test.text;
        } else {
            EXPECT_EQ(size.width, 1) << "a refused text leaves the size alone";
        }
    }
    EXPECT_EQ(platform::SizeRefusal("1920x1080"), "'1920x1080' is not a 4:3 size from 320x240 to 8192x6144");
}

TEST(PictureSizes, SamplesAreANumberFromOneToThirtyTwo)
{
    for (const char* taken : {"1", "4", "32"}) {
        int samples = 0;
        EXPECT_TRUE(platform::ParseSamples(taken, samples)) << taken;
        EXPECT_EQ(samples, std::stoi(taken));
    }
    for (const char* refused : {"0", "33", "-1", "four", "", "4x"}) {
        int samples = 7;
        EXPECT_FALSE(platform::ParseSamples(refused, samples)) << refused;
        EXPECT_EQ(samples, 7);
    }
}

struct DesktopCase {
    int width, height;
    PictureSize native;
};

const DesktopCase DESKTOP_CASES[] = {
    {1920, 1080, {1440, 1080}}, {1366, 768, {1024, 768}}, {1280, 720, {960, 720}},
    {1600, 1200, {1600, 1200}}, {100, 100, {320, 240}},   {20000, 20000, {8192, 6144}},
    {3840, 1600, {2132, 1599}},
};

TEST(PictureSizes, NativeIsTheDesktopsLargestFourToThreeAreaWithinTheBounds)
{
    for (const DesktopCase& test : DESKTOP_CASES) {
        const PictureSize native = platform::LargestPictureIn(test.width, test.height);
        EXPECT_EQ(native.width, test.native.width) << test.width << "x" << test.height;
        EXPECT_EQ(native.height, test.native.height) << test.width << "x" << test.height;
        EXPECT_EQ(native.width * 3, native.height * 4);
    }
}

// The choice in the environment, each case with a fresh one; the fake
// backend's desktop answers for native.
class PictureChoice : public ::testing::Test {
protected:
    void TearDown() override
    {
        unsetenv("AQUARIUM_RESOLUTION");
        unsetenv("AQUARIUM_SAMPLES");
        platform::SetPictureChoice(platform::PictureChoice{});
    }

    static bool Read(const char* resolution, const char* samples, platform::PictureChoice& choice,
                     std::string& refusal)
    {
        resolution != nullptr ? setenv("AQUARIUM_RESOLUTION", resolution, 1) : unsetenv("AQUARIUM_RESOLUTION");
        samples != nullptr ? setenv("AQUARIUM_SAMPLES", samples, 1) : unsetenv("AQUARIUM_SAMPLES");
        return platform::ReadPictureChoice(choice, refusal);
    }
};

TEST_F(PictureChoice, TheEnvironmentChoosesASizeNativeOrTheDesignsAndSamples)
{
    platform::ScopedFakeBackend scoped;
    scoped.fake.systemMetrics[platform::SM_CXSCREEN] = 1920;
    scoped.fake.systemMetrics[platform::SM_CYSCREEN] = 1080;
    platform::PictureChoice choice;
    std::string refusal;
    ASSERT_TRUE(Read(nullptr, nullptr, choice, refusal));
    platform::SetPictureChoice(choice);
    EXPECT_FALSE(choice.sizeChosen);
    EXPECT_EQ(platform::PictureSizeToFill().width, 640) << "unset, the design's picture";
    ASSERT_TRUE(Read("", "", choice, refusal));
    EXPECT_FALSE(choice.sizeChosen) << "empty is unset";
    ASSERT_TRUE(Read("1024x768", "4", choice, refusal));
    platform::SetPictureChoice(choice);
    EXPECT_TRUE(choice.sizeChosen);
    EXPECT_EQ(platform::PictureSizeToFill().height, 768);
    EXPECT_EQ(platform::ChosenPicture().samples, 4);
    ASSERT_TRUE(Read("native", nullptr, choice, refusal));
    platform::SetPictureChoice(choice);
    EXPECT_EQ(platform::PictureSizeToFill().width, 1440);
    EXPECT_EQ(platform::PictureSizeToFill().height, 1080);
    scoped.fake.systemMetrics.clear();
    EXPECT_EQ(platform::PictureSizeToFill().width, 640) << "a desktop of no known size keeps the design's";
}

TEST_F(PictureChoice, AnUnusableChoiceIsRefusedNamingItAsGiven)
{
    platform::PictureChoice choice;
    std::string refusal;
    EXPECT_FALSE(Read("1920x1080", nullptr, choice, refusal));
    EXPECT_EQ(refusal, "AQUARIUM_RESOLUTION: '1920x1080' is not a 4:3 size from 320x240 to 8192x6144");
    EXPECT_FALSE(Read("Native", nullptr, choice, refusal));
    EXPECT_EQ(refusal, "AQUARIUM_RESOLUTION: 'Native' is not a 4:3 size from 320x240 to 8192x6144");
    EXPECT_FALSE(Read(nullptr, "lots", choice, refusal));
    EXPECT_EQ(refusal, "AQUARIUM_SAMPLES: 'lots' is not a number of samples from 1 to 32");
}

struct PlaceCase {
    int frameWidth, frameHeight, targetWidth, targetHeight;
    bool oneToOne;
    platform::FrameRect placed;
};

const PlaceCase PLACE_CASES[] = {
    {640, 480, 1920, 1080, false, {240, 0, 1440, 1080}},   // the design's picture fills the height
    {1440, 1080, 1920, 1080, true, {240, 0, 1440, 1080}},  // native: 1:1, bars at the sides
    {1024, 768, 1920, 1080, true, {448, 156, 1024, 768}},  // a chosen size that fits: 1:1, centred
    {1600, 1200, 1280, 720, true, {160, 0, 960, 720}},     // too large: scaled down at 4:3
    {640, 480, 800, 400, false, {133, 0, 533, 400}},
};

TEST(FramePlace, AChosenSizeIsShownOneToOneWhereItFitsElseScaledAtFourToThree)
{
    for (const PlaceCase& test : PLACE_CASES) {
        const platform::FrameRect placed = platform::PlaceFrame(test.frameWidth, test.frameHeight, test.targetWidth,
                                                                test.targetHeight, test.oneToOne);
        SCOPED_TRACE(std::to_string(test.frameWidth) + " on " + std::to_string(test.targetWidth));
        EXPECT_EQ(placed.x, test.placed.x);
        EXPECT_EQ(placed.y, test.placed.y);
        EXPECT_EQ(placed.width, test.placed.width);
        EXPECT_EQ(placed.height, test.placed.height);
    }
}

}  // namespace
