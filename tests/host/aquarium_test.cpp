// Filling the Aquarium against a scripted platform and a recording GL
// library: the window, display-mode switches and their messages, the pixel
// format, the context, the shutdown callback, the window procedure and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/opengllib.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"

namespace {

using platform::DisplayMode;
using platform::FakeBackend;

void SwimOne() {}
void SwimTwo() {}
const SwimFunction SWIM_LIST[] = {SwimTwo, SwimOne, SwimTwo, nullptr, SwimOne};
const LightFunction LIGHT_LIST[] = {nullptr, SwimOne, nullptr};
const PolygonFunction POLYGON_LIST[] = {nullptr, nullptr};

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t frequency)
{
    return DisplayMode{platform::DM_BITSPERPEL | platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT |
                           platform::DM_DISPLAYFREQUENCY,
                       bits, width, height, frequency};
}

// True when the lines appear in log in this order (others may lie between).
bool InOrder(const std::vector<std::string>& log, const std::vector<std::string>& lines)
{
    auto at = log.begin();
    for (const std::string& line : lines) {
        at = std::find(at, log.end(), line);
        if (at == log.end())
            return false;
        ++at;
    }
    return true;
}

class AquariumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        gDisplay = AquariumDisplay{};
        platform::FakeGLReset();
        fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
        fake.systemMetrics[platform::SM_CXDLGFRAME] = 3;
        fake.systemMetrics[platform::SM_CYCAPTION] = 19;
        aquarium.width = 640;
        aquarium.height = 480;
    }

    void TearDown() override
    {
        Aquarium::GLShutdown();
        EXPECT_EQ(fake.loadedModules, 0) << "shutdown frees every library";
        gAquarium.keyboard = Keyboard{};
    }

    bool Fill() { return aquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, fake.ProgramInstance()); }

    platform::ScopedFakeBackend scoped;
    FakeBackend& fake = scoped.fake;
    Aquarium aquarium;
};

TEST_F(AquariumTest, WindowedFillKeepsTheClientAreaAndSetsUpEverything)
{
    ASSERT_TRUE(Fill()) << Error::Text();
    EXPECT_STREQ(Error::Text(), "");
    EXPECT_TRUE(InOrder(fake.log, {"LoadIcon Aquarium", "LoadCursor 32512", "GetStockObject 4",
                                   "RegisterClass Aquarium", "LoadLibrary opengl32.dll",
                                   "LoadLibrary glu32.dll", "CreateWindow Aquarium",
                                   "ShowWindow 1", "UpdateWindow", "GetDC", "ChoosePixelFormat",
                                   "DescribePixelFormat 1 40", "SetPixelFormat 1",
                                   "ShowCursor 0"}));
    EXPECT_TRUE(fake.displayChanges.empty()) << "a window never switches the display";
    ASSERT_EQ(fake.createdWindows.size(), 1u);
    const FakeBackend::CreatedWindow& window = fake.createdWindows[0];
    EXPECT_EQ(window.style, 0x04C00000u);
    EXPECT_EQ(window.className, "Aquarium");
    EXPECT_EQ(window.title, "Aquarium");
    EXPECT_EQ(window.x, 1);
    EXPECT_EQ(window.y, 1);
    EXPECT_EQ(window.width, 640 + 2 * 3);
    EXPECT_EQ(window.height, 480 + 19 + 2 * 3);

    const platform::PixelFormatDescriptor& request = fake.lastPixelFormatRequest;
    EXPECT_EQ(request.size, 40);
    EXPECT_EQ(request.version, 1);
    EXPECT_EQ(request.flags, 0x25u);
    EXPECT_EQ(request.colorBits, 32);
    EXPECT_EQ(request.depthBits, 24);

    EXPECT_EQ(platform::FakeGLCalls(),
              (std::vector<std::string>{"glClearColor(0, 0, 0, 0)", "glMatrixMode(0x1701)",
                                        "glLoadIdentity()", "glMatrixMode(0x1700)",
                                        "glLoadIdentity()", "glViewport(0, 0, 640, 480)"}));
    EXPECT_EQ(aquarium.mode, 1);
    EXPECT_EQ(aquarium.filled, 1);
    EXPECT_EQ(aquarium.centreX, 320.0f);
    EXPECT_EQ(aquarium.centreY, 240.0f);
    EXPECT_EQ(aquarium.xScale, 768.0f);
    EXPECT_EQ(aquarium.yScale, -768.0f);
    EXPECT_EQ(aquarium.clipRight, 639.0f);
    EXPECT_EQ(aquarium.clipBottom, 479.0f);
    EXPECT_EQ(fake.showCursorCount, -1);
    EXPECT_NE(gDisplay.glContext, nullptr);
}

TEST_F(AquariumTest, TheXScaleIsWidthTimes384Over320)
{
    aquarium.width = 800;
    aquarium.height = 600;
    ASSERT_TRUE(Fill()) << Error::Text();
    EXPECT_EQ(aquarium.xScale, 960.0f) << "800 × 1.2f would round to 960.00006";
    EXPECT_EQ(aquarium.yScale, -960.0f);
}

TEST_F(AquariumTest, HandlerListsSkipTheirFirstElementAndStopAtZero)
{
    ASSERT_TRUE(Fill());
    EXPECT_EQ(aquarium.swimTable[0], nullptr);
    EXPECT_EQ(aquarium.swimTable[1], SwimOne);
    EXPECT_EQ(aquarium.swimTable[2], SwimTwo);
    EXPECT_EQ(aquarium.swimTable[3], nullptr) << "copying stops at the zero element";
    EXPECT_EQ(aquarium.lightTable[1], SwimOne);
    EXPECT_EQ(aquarium.lightTable[2], nullptr);
    EXPECT_EQ(aquarium.polygonTable[1], nullptr);
}

TEST_F(AquariumTest, FullScreenFillSwitchesTheDisplayAndShutdownRestoresIt)
{
    aquarium.fullScreen = 1;
    fake.displayModes = {Mode(640, 480, 32, 60)};
    ASSERT_TRUE(Fill());
    ASSERT_EQ(fake.displayChanges.size(), 1u);
    EXPECT_EQ(fake.displayChanges[0].flags, platform::CDS_FULLSCREEN);
    ASSERT_EQ(fake.createdWindows.size(), 1u);
    EXPECT_EQ(fake.createdWindows[0].style, 0x84000000u);
    EXPECT_EQ(fake.createdWindows[0].x, 0);
    EXPECT_EQ(fake.createdWindows[0].width, 640);
    EXPECT_EQ(fake.createdWindows[0].height, 480);

    gAquarium.fullScreen = 1;
    Aquarium::GLShutdown();
    gAquarium.fullScreen = 0;
    ASSERT_EQ(fake.displayChanges.size(), 2u);
    EXPECT_FALSE(fake.displayChanges[1].hasMode) << "back to the desktop mode";
    EXPECT_EQ(gDisplay.glContext, nullptr);
    EXPECT_EQ(gDisplay.dc, nullptr);
    EXPECT_EQ(fake.showCursorCount, 0) << "the cursor is shown again";
}

TEST_F(AquariumTest, AFailedDisplaySwitchIsReportedButTheFillGoesOn)
{
    aquarium.fullScreen = 1;
    fake.displayChangeAnswers = {platform::DISP_CHANGE_BADMODE, platform::DISP_CHANGE_BADMODE};
    ASSERT_TRUE(Fill());
    EXPECT_STREQ(Error::Text(),
                 "ChangeResolution: The video mode 640x480x32-bit color is not supported\n");
    EXPECT_EQ(aquarium.filled, 1);
}

struct FillFailure {
    const char* name;
    void (*script)(FakeBackend&);
    const char* expectedText;
};

platform::GLContextHandle NoContext(platform::DeviceContextHandle) { return nullptr; }

const FillFailure FILL_FAILURES[] = {
    {"NoCounter", [](FakeBackend& f) { f.hasPerformanceCounter = false; },
     "Aquarium::FillOpenGL: High performance counter not supported\n"},
    {"NoClass", [](FakeBackend& f) { f.registerClassSucceeds = false; },
     "Aquarium::FillOpenGL: Error registering windowclass\n"},
    {"NoWindow", [](FakeBackend& f) { f.createWindowSucceeds = false; },
     "Aquarium::FillOpenGL: Unable to create window\n"},
    {"NoChoose", [](FakeBackend& f) { f.choosePixelFormatAnswer = 0; },
     "SetupPixelFormat: ChoosePixelFormat failed\n"
     "Aquarium::FillOpenGL: Error setting pixelformat\n"},
    {"NoDescribe", [](FakeBackend& f) { f.describePixelFormatAnswer = 0; },
     "SetupPixelFormat: DescribePixelFormat failed\n"
     "Aquarium::FillOpenGL: Error setting pixelformat\n"},
    {"NoSet", [](FakeBackend& f) { f.setPixelFormatSucceeds = false; },
     "SetupPixelFormat: SetPixelFormat failed\n"
     "Aquarium::FillOpenGL: Error setting pixelformat\n"},
    {"NoContext",
     [](FakeBackend& f) {
         auto exports = platform::FakeGLExports();
         exports["wglCreateContext"] = reinterpret_cast<platform::Proc>(NoContext);
         f.AddLibrary("opengl32.dll", exports);
     },
     "Aquarium::FillOpenGL: OpenGLCreateContext failed\n"},
};

TEST_F(AquariumTest, EachFailureReportsItsMessageAndLeavesTheAquariumUnfilled)
{
    for (const FillFailure& failure : FILL_FAILURES) {
        SCOPED_TRACE(failure.name);
        Error::Reset();
        gDisplay = AquariumDisplay{};
        FakeBackend fresh;
        fresh.AddLibrary("opengl32.dll", platform::FakeGLExports());
        fresh.AddLibrary("glu32.dll", platform::FakeGLUExports());
        failure.script(fresh);
        platform::Install(&fresh);
        Aquarium target;
        EXPECT_FALSE(target.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, nullptr));
        EXPECT_STREQ(Error::Text(), failure.expectedText);
        EXPECT_EQ(target.filled, 0);
        Aquarium::GLShutdown();
        EXPECT_EQ(fresh.loadedModules, 0);
        platform::Install(&fake);
    }
}

TEST_F(AquariumTest, AMissingGLLibraryShowsTheBoxAndReportsTheLoadFailure)
{
    FakeBackend bare;
    platform::Install(&bare);
    EXPECT_FALSE(aquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, nullptr));
    platform::Install(&fake);
    EXPECT_STREQ(Error::Text(), "Aquarium::FillOpenGL: Unable to load OpenGL dll\n");
    ASSERT_EQ(bare.boxes.size(), 1u);
    EXPECT_EQ(bare.boxes[0].text, "Could not open OpenGL Library");
    EXPECT_EQ(bare.boxes[0].caption, "Error");
    EXPECT_TRUE(bare.createdWindows.empty());
}

class ChangeResolutionTest : public ::testing::Test {
protected:
    void SetUp() override { Error::Reset(); }

    platform::ScopedFakeBackend scoped;
    FakeBackend& fake = scoped.fake;
};

TEST_F(ChangeResolutionTest, TheFirstMatchingModeInEnumerationOrderWins)
{
    fake.displayModes = {Mode(800, 600, 32, 60), Mode(640, 480, 32, 75), Mode(640, 480, 32, 60),
                         Mode(640, 480, 16, 60)};
    EXPECT_TRUE(ChangeResolution(640, 480, 32));
    ASSERT_EQ(fake.displayChanges.size(), 1u);
    EXPECT_EQ(fake.displayChanges[0].mode.frequency, 75u);
    EXPECT_EQ(fake.displayChanges[0].mode.fields, Mode(0, 0, 0, 0).fields) << "switched unchanged";
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(ChangeResolutionTest, AFailedMatchingModeIsFollowedByTheNextOne)
{
    fake.displayModes = {Mode(640, 480, 32, 85), Mode(640, 480, 32, 60)};
    fake.displayChangeAnswers = {platform::DISP_CHANGE_FAILED};
    EXPECT_TRUE(ChangeResolution(640, 480, 32));
    ASSERT_EQ(fake.displayChanges.size(), 2u);
    EXPECT_EQ(fake.displayChanges[1].mode.frequency, 60u);
}

TEST_F(ChangeResolutionTest, WithoutAMatchingModeModeZeroIsOverwrittenForTheCombinedSwitch)
{
    fake.displayModes = {Mode(1024, 768, 16, 72), Mode(800, 600, 32, 60)};
    EXPECT_TRUE(ChangeResolution(640, 480, 32));
    ASSERT_EQ(fake.displayChanges.size(), 1u);
    const DisplayMode& mode = fake.displayChanges[0].mode;
    EXPECT_EQ(mode.width, 640u);
    EXPECT_EQ(mode.height, 480u);
    EXPECT_EQ(mode.bitsPerPel, 32u);
    EXPECT_EQ(mode.frequency, 72u) << "the rest of mode 0 stays";
    EXPECT_EQ(mode.fields, 0x1C0000u);
    EXPECT_EQ(fake.displayChanges[0].flags, platform::CDS_FULLSCREEN);
}

TEST_F(ChangeResolutionTest, TheFirstFailedMatchingModeIsTheBaseOfTheSeparateSwitches)
{
    fake.displayModes = {Mode(1024, 768, 32, 60), Mode(640, 480, 32, 70), Mode(640, 480, 32, 60)};
    fake.displayChangeAnswers = {platform::DISP_CHANGE_FAILED, platform::DISP_CHANGE_FAILED,
                                 platform::DISP_CHANGE_FAILED};
    EXPECT_TRUE(ChangeResolution(640, 480, 32));
    ASSERT_EQ(fake.displayChanges.size(), 5u);
    EXPECT_EQ(fake.displayChanges[2].mode.frequency, 70u) << "combined switch on mode 1";
    EXPECT_EQ(fake.displayChanges[2].mode.fields, 0x1C0000u);
    EXPECT_EQ(fake.displayChanges[3].mode.fields, 0x40000u);
    EXPECT_EQ(fake.displayChanges[4].mode.fields, 0x180000u);
    EXPECT_STREQ(Error::Text(), "") << "the separate switches succeeded";
}

TEST_F(ChangeResolutionTest, AFailedModeZeroStaysTheRememberedMode)
{
    fake.displayModes = {Mode(640, 480, 32, 85), Mode(800, 600, 32, 60), Mode(640, 480, 32, 60)};
    fake.displayChangeAnswers = {platform::DISP_CHANGE_FAILED, platform::DISP_CHANGE_FAILED};
    EXPECT_TRUE(ChangeResolution(640, 480, 32));
    ASSERT_EQ(fake.displayChanges.size(), 3u);
    EXPECT_EQ(fake.displayChanges[2].mode.frequency, 85u) << "combined switch on mode 0, not mode 2";
    EXPECT_EQ(fake.displayChanges[2].mode.fields, 0x1C0000u);
}

struct FailureCase {
    int depthResult;       // answer of the separate colour-depth switch
    int resolutionResult;  // answer of the resolution switch, when it runs
    const char* text;
    bool restores;
};

TEST_F(ChangeResolutionTest, EachFailureCodeGivesItsMessageWithTheThreeNumbers)
{
    const FailureCase cases[] = {
        {platform::DISP_CHANGE_RESTART, 0,
         "ChangeResolution: You must change your video mode to 640x480x32-bit color and then "
         "restart\n",
         false},
        {platform::DISP_CHANGE_BADMODE, 0,
         "ChangeResolution: The video mode 640x480x32-bit color is not supported\n", false},
        {platform::DISP_CHANGE_FAILED, 0,
         "ChangeResolution: Hardware failed to change to 640x480x32-bit color\n", false},
        {-3, 0, "ChangeResolution: Failed to change to 640x480x32-bit color - unknown reason\n",
         false},
        {platform::DISP_CHANGE_SUCCESSFUL, platform::DISP_CHANGE_BADMODE,
         "ChangeResolution: The video mode 640x480x32-bit color is not supported\n", true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.text);
        Error::Reset();
        fake.displayChanges.clear();
        fake.displayChangeAnswers = {platform::DISP_CHANGE_FAILED, c.depthResult,
                                     c.resolutionResult};
        EXPECT_TRUE(ChangeResolution(640, 480, 32)) << "the program goes on";
        EXPECT_STREQ(Error::Text(), c.text);
        EXPECT_EQ(!fake.displayChanges.back().hasMode, c.restores);
    }
}

class WindowProcedureTest : public ::testing::Test {
protected:
    void TearDown() override { gAquarium.keyboard = Keyboard{}; }

    std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam)
    {
        return AquariumWindowProc(nullptr, message, wParam, 0);
    }

    platform::ScopedFakeBackend scoped;
    FakeBackend& fake = scoped.fake;
    Keyboard& keyboard = gAquarium.keyboard;
};

TEST_F(WindowProcedureTest, NavigationAndFunctionKeysAreRecordedOthersIgnored)
{
    EXPECT_EQ(Send(platform::WM_KEYDOWN, platform::VK_F12), 0);
    EXPECT_EQ(keyboard.keyFlags[0x7B], 1);
    EXPECT_EQ(keyboard.lastKey, 0x7B);
    Send(platform::WM_KEYDOWN, platform::VK_F11);
    EXPECT_EQ(keyboard.keyFlags[0x7A], 1);
    EXPECT_EQ(keyboard.lastKey, 0x7A);
    Send(platform::WM_KEYDOWN, platform::VK_ESCAPE);
    Send(platform::WM_KEYDOWN, 'A');
    EXPECT_EQ(keyboard.lastKey, 0x7A);
    EXPECT_EQ(keyboard.keyFlags[platform::VK_ESCAPE], 0);
    Send(platform::WM_KEYDOWN, platform::VK_PRIOR);
    Send(platform::WM_KEYDOWN, platform::VK_DELETE);
    EXPECT_EQ(keyboard.keyFlags[0x21], 1);
    EXPECT_EQ(keyboard.lastKey, 0x2E);
}

TEST_F(WindowProcedureTest, CharactersAreTypedAndUpperCasedAfterCapsLockWasPressed)
{
    Send(platform::WM_CHAR, 'a');
    fake.HoldKey(platform::VK_CAPITAL, true);
    Send(platform::WM_CHAR, 'b');
    fake.PressKey(platform::VK_CAPITAL);
    Send(platform::WM_CHAR, 'c');
    Send(platform::WM_CHAR, '1');
    EXPECT_STREQ(keyboard.text, "abC1");
    EXPECT_EQ(keyboard.textLength, 4);
    EXPECT_EQ(keyboard.keyFlags['A'], 1);
    EXPECT_EQ(keyboard.keyFlags['C'], 1);
    EXPECT_EQ(keyboard.lastKey, '1');
    Send(platform::WM_CHAR, 200);
    EXPECT_EQ(keyboard.lastKey, 200) << "too large for a flag, still the last key";
}

TEST_F(WindowProcedureTest, TypedTextStopsAt1023Characters)
{
    for (int i = 0; i < 1030; ++i)
        Send(platform::WM_CHAR, 'x');
    EXPECT_EQ(keyboard.textLength, 1023);
    EXPECT_EQ(std::string(keyboard.text).size(), 1023u);
}

TEST_F(WindowProcedureTest, SizingIsRefusedAndOtherMessagesGoToTheDefault)
{
    EXPECT_EQ(Send(platform::WM_SIZE, 0), 0);
    EXPECT_EQ(Send(platform::WM_SYSCOMMAND, platform::SC_SIZE), 0);
    EXPECT_TRUE(fake.log.empty());
    Send(platform::WM_SYSCOMMAND, 0xF060);
    Send(0x0200, 0);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"DefWindowProc 0x112", "DefWindowProc 0x200"}));
}

void CloseTheWindow()
{
    platform::Install(new FakeBackend);
    Error::Reset();
    Error::Report(1, "Main: something went wrong\n");
    AquariumWindowProc(nullptr, platform::WM_CLOSE, 0, 0);
}

TEST(WindowProcedureDeathTest, ClosingTheWindowShutsDownWithTheErrorText)
{
    EXPECT_EXIT(CloseTheWindow(), ::testing::ExitedWithCode(1),
                "\\[Aquarium Shutdown\\] Main: something went wrong\n");
}

TEST(AquariumRecord, MakeCurrentCopiesAllButTheFullScreenFlagAndKeyboard)
{
    Aquarium other;
    other.width = 800;
    other.quit = 1;
    other.fullScreen = 1;
    other.keyboard.lastKey = 7;
    other.swimTable[3] = SwimOne;
    Aquarium::MakeCurrent(&other);
    EXPECT_EQ(gAquarium.width, 800);
    EXPECT_EQ(gAquarium.quit, 1);
    EXPECT_EQ(gAquarium.swimTable[3], SwimOne);
    EXPECT_EQ(gAquarium.self, &other);
    EXPECT_EQ(gAquarium.fullScreen, 0);
    EXPECT_EQ(gAquarium.keyboard.lastKey, 0);

    Aquarium fresh;
    Aquarium::MakeCurrent(&fresh);
    gAquarium.self = &gAquarium;
    Aquarium::MakeCurrent(&gAquarium);
    EXPECT_EQ(gAquarium.self, &gAquarium) << "copying onto itself changes nothing";
}

TEST(AquariumRecord, ConstructionValuesAndTheDestructorsDebuggerLines)
{
    platform::ScopedFakeBackend scoped;
    {
        Aquarium aquarium;
        EXPECT_EQ(aquarium.mode, 0);
        EXPECT_EQ(aquarium.width, 320);
        EXPECT_EQ(aquarium.height, 240);
        EXPECT_EQ(aquarium.colourDepth, 32);
        EXPECT_EQ(aquarium.centreX, 160.0f);
        EXPECT_EQ(aquarium.clipRight, 320.0f);
        EXPECT_EQ(aquarium.depthKeyScale, 2147483648.0f);
        EXPECT_EQ(aquarium.nearPlane, 1.0f);
        EXPECT_EQ(aquarium.clockRate, 1000u);
        EXPECT_EQ(aquarium.self, &aquarium);
    }
    EXPECT_EQ(scoped.fake.debugOutput,
              (std::vector<std::string>{"Aquarium::~Aquarium: Entering\n",
                                        "Aquarium::~Aquarium: Leaving\n"}));
}

}  // namespace
