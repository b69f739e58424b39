// A full-screen fill on displays that refuse the 640 x 480 x 32 switch in each
// way Windows can: no such mode, a refused switch, a switch that asks for a
// restart. Each time the change's message carries the three numbers asked
// for, and the Aquarium is filled all the same: the demo goes on. A chosen
// size is asked for in the same way; native, the desktop as it is, is not.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/scenelists.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "platform/picture.h"

namespace {

using platform::DisplayMode;

constexpr std::uint32_t ALL_FIELDS = platform::DM_BITSPERPEL | platform::DM_PELSWIDTH |
                                     platform::DM_PELSHEIGHT | platform::DM_DISPLAYFREQUENCY;
constexpr std::uint32_t COMBINED = 0x1C0000;
constexpr std::uint32_t DEPTH_ONLY = 0x40000;
constexpr std::uint32_t SIZE_ONLY = 0x180000;
constexpr std::uint32_t RESTORE = 0;  // stands for the null mode below

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits)
{
    return DisplayMode{ALL_FIELDS, bits, width, height, 60};
}

struct Refusal {
    const char* name;
    std::int32_t width, height, depth;  // what the fill asks for
    std::vector<DisplayMode> offered;   // the display's modes; the last is the desktop
    std::deque<int> answers;            // scripted; none: answers follow the modes
    std::vector<std::uint32_t> changes; // field masks of the changes asked, in order
    const char* message;
};

const Refusal REFUSALS[] = {
    {"NoModeOfThatSize", 640, 480, 32, {Mode(800, 600, 32), Mode(1024, 768, 32)}, {},
     {COMBINED, DEPTH_ONLY, SIZE_ONLY, RESTORE},
     "ChangeResolution: The video mode 640x480x32-bit color is not supported\n"},
    {"NoModeOfThatDepth", 800, 600, 16, {Mode(800, 600, 32), Mode(1024, 768, 32)}, {},
     {COMBINED, DEPTH_ONLY},
     "ChangeResolution: The video mode 800x600x16-bit color is not supported\n"},
    {"SwitchRefused", 640, 480, 32, {Mode(640, 480, 32)},
     {platform::DISP_CHANGE_FAILED, platform::DISP_CHANGE_FAILED,
      platform::DISP_CHANGE_SUCCESSFUL, platform::DISP_CHANGE_FAILED},
     {ALL_FIELDS, COMBINED, DEPTH_ONLY, SIZE_ONLY, RESTORE},
     "ChangeResolution: Hardware failed to change to 640x480x32-bit color\n"},
    {"AsksForRestart", 1024, 768, 16, {},
     {platform::DISP_CHANGE_RESTART, platform::DISP_CHANGE_RESTART}, {COMBINED, DEPTH_ONLY},
     "ChangeResolution: You must change your video mode to 1024x768x16-bit color and then "
     "restart\n"},
};

std::vector<std::uint32_t> FieldsOf(const std::vector<platform::FakeBackend::DisplayChange>& all)
{
    std::vector<std::uint32_t> fields;
    for (const auto& change : all)
        fields.push_back(change.hasMode ? change.mode.fields : RESTORE);
    return fields;
}

// A fresh error text and display, and the recording GL libraries to load.
void StartFill(platform::FakeBackend& fake)
{
    Error::Reset();
    gDisplay = AquariumDisplay{};
    platform::FakeGLReset();
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
}

void SwimNothing() {}
const SwimFunction SWIM_LIST[] = {nullptr, SwimNothing, nullptr};
const LightFunction LIGHT_LIST[] = {nullptr, nullptr};
const PolygonFunction POLYGON_LIST[] = {nullptr, nullptr};

TEST(RefusedDisplayChange, IsReportedWithTheNumbersAskedAndTheFullScreenFillGoesOn)
{
    for (const Refusal& refusal : REFUSALS) {
        SCOPED_TRACE(refusal.name);
        platform::ScopedFakeBackend scoped;
        platform::FakeBackend& fake = scoped.fake;
        StartFill(fake);
        fake.displayModes = refusal.offered;
        fake.desktopMode = refusal.offered.empty() ? DisplayMode{} : refusal.offered.back();
        fake.answersFollowDisplayModes = refusal.answers.empty();
        fake.displayChangeAnswers = refusal.answers;
        Aquarium aquarium;
        aquarium.width = refusal.width;
        aquarium.height = refusal.height;
        aquarium.colourDepth = refusal.depth;
        aquarium.fullScreen = 1;

        EXPECT_TRUE(aquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST,
                                        fake.ProgramInstance()));
        EXPECT_STREQ(Error::Text(), refusal.message);
        EXPECT_EQ(FieldsOf(fake.displayChanges), refusal.changes);
        EXPECT_EQ(aquarium.filled, 1);
        ASSERT_EQ(fake.createdWindows.size(), 1u);
        EXPECT_EQ(fake.createdWindows[0].style, 0x84000000u) << "still the full-screen window";
        EXPECT_EQ(fake.createdWindows[0].width, refusal.width);
        EXPECT_EQ(fake.createdWindows[0].height, refusal.height);
        const std::string viewport = "glViewport(0, 0, " + std::to_string(refusal.width) + ", " +
                                     std::to_string(refusal.height) + ")";
        EXPECT_EQ(platform::FakeGLCalls().back(), viewport) << "drawing keeps its own size";
        Aquarium::GLShutdown();
    }
}

// A size the user chose is the window's and the drawing's size, and the
// view's: the framing scales with the picture. An explicit size is asked of
// the display and given back at shutdown; native is the desktop as it is, so
// the display is asked for nothing and a refusal has nothing to report.
TEST(ChosenPictureSize, FillsTheAquariumAndOnlyAnExplicitSizeIsAskedOfTheDisplay)
{
    struct Chosen {
        platform::PictureChoice choice;
        std::int32_t width, height;
        std::vector<std::uint32_t> changes;  // asked of the display through the fill and the shutdown
        const char* message;
    };
    platform::PictureChoice native;
    native.sizeChosen = native.native = native.desktopKept = true;
    platform::PictureChoice large;
    large.sizeChosen = true;
    large.size = {1024, 768};
    const Chosen chosens[] = {
        {large, 1024, 768, {COMBINED, DEPTH_ONLY, SIZE_ONLY, RESTORE, RESTORE},
         "ChangeResolution: The video mode 1024x768x32-bit color is not supported\n"},
        {native, 1440, 1080, {}, ""},
    };
    for (const Chosen& chosen : chosens) {
        SCOPED_TRACE(chosen.width);
        platform::ScopedFakeBackend scoped;
        platform::FakeBackend& fake = scoped.fake;
        StartFill(fake);
        fake.systemMetrics[platform::SM_CXSCREEN] = 1920;
        fake.systemMetrics[platform::SM_CYSCREEN] = 1080;
        fake.displayModes = {Mode(1920, 1080, 32)};
        fake.desktopMode = fake.displayModes.back();
        fake.answersFollowDisplayModes = true;
        platform::SetPictureChoice(chosen.choice);
        const std::int32_t width = gAquarium.width, height = gAquarium.height;
        const std::uint8_t fullScreen = gAquarium.fullScreen;
        Demo::RequestDemoMode();
        Aquarium aquarium;
        aquarium.width = gAquarium.width;
        aquarium.height = gAquarium.height;
        aquarium.fullScreen = 1;
        EXPECT_TRUE(aquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, fake.ProgramInstance()));
        EXPECT_STREQ(Error::Text(), chosen.message);
        EXPECT_EQ(fake.createdWindows.at(0).style, 0x84000000u) << "the full-screen window either way";
        EXPECT_EQ(fake.createdWindows.at(0).width, chosen.width);
        EXPECT_EQ(platform::FakeGLCalls().back(), "glViewport(0, 0, " + std::to_string(chosen.width) + ", " +
                                                      std::to_string(chosen.height) + ")");
        EXPECT_EQ(aquarium.centreX, chosen.width / 2.0f);
        EXPECT_EQ(aquarium.xScale, chosen.width * 384.0f / 320.0f);
        EXPECT_EQ(aquarium.clipBottom, chosen.height - 1.0f);
        gAquarium.fullScreen = 1;
        Aquarium::GLShutdown();
        EXPECT_EQ(FieldsOf(fake.displayChanges), chosen.changes);
        gAquarium.width = width, gAquarium.height = height, gAquarium.fullScreen = fullScreen;
        platform::SetPictureChoice(platform::PictureChoice{});
    }
}

}  // namespace
