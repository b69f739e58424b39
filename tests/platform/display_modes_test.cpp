// Which offered mode answers a display change, and where the scaled frame
// lands on a drawable of another size.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display_modes.h"
#include "platform/frame_presenter.h"

namespace platform {
namespace {

constexpr std::uint32_t SIZE_AND_DEPTH = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t frequency, std::uint32_t fields = SIZE_AND_DEPTH | DM_DISPLAYFREQUENCY)
{
    return DisplayMode{fields, bits, width, height, frequency};
}

struct Search {
    const char* name;
    DisplayMode wanted;
    int index;  // expected answer
};

TEST(DisplayModes, OnlyAnExactlyOfferedModeIsFound)
{
    const std::vector<DisplayMode> offered{Mode(800, 600, 32, 75), Mode(640, 480, 32, 75),
                                           Mode(640, 480, 32, 60), Mode(640, 480, 16, 60)};
    const Search searches[] = {
        {"TheCurrentFrequencyFirst", Mode(640, 480, 32, 60, SIZE_AND_DEPTH), 2},
        {"ElseTheFirstOffered", Mode(640, 480, 32, 85, SIZE_AND_DEPTH), 1},
        {"AnAskedFrequencyMustBeThere", Mode(640, 480, 32, 85), -1},
        {"AnAskedFrequencyIsTaken", Mode(640, 480, 32, 60), 2},
        {"ZeroFrequencyMeansAny", Mode(640, 480, 32, 0), 1},
        {"ALargerModeIsNoMatch", Mode(700, 500, 32, 75), -1},
        {"NorIsAnotherDepth", Mode(800, 600, 16, 75), -1},
    };
    for (const Search& search : searches) {
        EXPECT_EQ(FindOfferedMode(offered.data(), offered.size(), search.wanted), search.index)
            << search.name;
    }
    EXPECT_EQ(FindOfferedMode(nullptr, 0, Mode(640, 480, 32, 60)), -1) << "no modes at all";
}

struct Fit {
    int targetWidth, targetHeight;
    FrameRect expected;
};

// The shapes the X screens of the display tests do not show.
TEST(FitFrame, TheLargest4To3PictureIsCentredOnTheDrawable)
{
    const Fit fits[] = {
        {1920, 1080, {240, 0, 1440, 1080}},  // bars left and right
        {640, 800, {0, 160, 640, 480}},      // bars above and below
        {2560, 1920, {0, 0, 2560, 1920}},    // a hi-DPI drawable of twice the size
        {0, 0, {0, 0, 0, 0}},                // a minimised window
    };
    for (const Fit& fit : fits) {
        const FrameRect got = FitFrame(640, 480, fit.targetWidth, fit.targetHeight);
        EXPECT_EQ(std::vector<int>({got.x, got.y, got.width, got.height}),
                  std::vector<int>({fit.expected.x, fit.expected.y, fit.expected.width,
                                    fit.expected.height}))
            << fit.targetWidth << "x" << fit.targetHeight;
    }
}

}  // namespace
}  // namespace platform
