// The system objects' per-frame operations against the fake platform and the
// recording GL library, and their places in the handler lists.
#include "host/systemobjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/handlers.h"
#include "host/opengllib.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"

namespace {

class SystemObjectsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        gAquarium.quit = 0;
        gAquarium.currentTime = 0;
        gAquarium.currentLightList = FishList{};
        gAquarium.currentPlugin = nullptr;
        gAquarium.pluginOwner = nullptr;
    }

    platform::ScopedFakeBackend scoped_;
};

TEST_F(SystemObjectsTest, EscapePressedBetweenFramesQuitsOnce)
{
    EscapeKey::Swim();
    EXPECT_EQ(gAquarium.quit, 0);

    scoped_.fake.PressKey(platform::VK_ESCAPE);
    EscapeKey::Swim();
    EXPECT_EQ(gAquarium.quit, 1);

    // The press was taken by that look.
    gAquarium.quit = 0;
    EscapeKey::Swim();
    EXPECT_EQ(gAquarium.quit, 0);
}

TEST_F(SystemObjectsTest, EscapeHeldDownQuitsEveryFrameUntilReleased)
{
    scoped_.fake.HoldKey(platform::VK_ESCAPE, true);
    for (int frame = 0; frame < 2; ++frame) {
        gAquarium.quit = 0;
        EscapeKey::Swim();
        EXPECT_EQ(gAquarium.quit, 1) << frame;
    }
    scoped_.fake.HoldKey(platform::VK_ESCAPE, false);
    gAquarium.quit = 0;
    EscapeKey::Swim();
    EXPECT_EQ(gAquarium.quit, 0);
}

TEST_F(SystemObjectsTest, ClockCountsWholeMillisecondsOfTheCounter)
{
    scoped_.fake.counter = 123456789;
    scoped_.fake.frequency = 1000000;
    Clock::Swim();
    EXPECT_EQ(gAquarium.currentTime, 123456u);

    // Ticks past 2^32 and a frequency that is no multiple of 1000.
    scoped_.fake.counter = 10000000000000;
    scoped_.fake.frequency = 3579545;
    Clock::Swim();
    EXPECT_EQ(gAquarium.currentTime, 2794076557u);

    // Milliseconds past 2^32 wrap around.
    scoped_.fake.counter = std::int64_t{1} << 45;
    scoped_.fake.frequency = 1000000;
    Clock::Swim();
    EXPECT_EQ(gAquarium.currentTime, 824633720u);
}

TEST_F(SystemObjectsTest, ClockStandsStillWithoutAMillisecondCounter)
{
    gAquarium.currentTime = 77;
    scoped_.fake.counter = 5000;
    scoped_.fake.frequency = 999;
    Clock::Swim();
    EXPECT_EQ(gAquarium.currentTime, 77u);

    scoped_.fake.hasPerformanceCounter = false;
    Clock::Swim();
    EXPECT_EQ(gAquarium.currentTime, 77u);
}

std::vector<std::uint32_t> procedureKinds;

std::intptr_t RecordingProcedure(platform::WindowHandle, std::uint32_t message, std::uintptr_t,
                                 std::intptr_t)
{
    procedureKinds.push_back(message);
    return 0;
}

TEST_F(SystemObjectsTest, MessagePumpHandsEveryQueuedMessageToTheWindowProcedure)
{
    platform::WindowClass windowClass;
    windowClass.procedure = RecordingProcedure;
    windowClass.className = "pump test";
    ASSERT_TRUE(scoped_.fake.RegisterClass(windowClass));
    platform::WindowParams spec;
    spec.className = "pump test";
    spec.title = "pump test";
    ASSERT_NE(scoped_.fake.CreateWindow(spec), nullptr);
    procedureKinds.clear();
    scoped_.fake.PostMessage(platform::WM_KEYDOWN, platform::VK_F1);
    scoped_.fake.PostMessage(platform::WM_CHAR, 'a');
    scoped_.fake.PostMessage(platform::WM_SIZE);

    MessagePump::Swim();

    EXPECT_EQ(procedureKinds, (std::vector<std::uint32_t>{platform::WM_KEYDOWN, platform::WM_CHAR,
                                                          platform::WM_SIZE}));
    EXPECT_TRUE(scoped_.fake.queue.empty());
    MessagePump::Swim();  // an empty queue: nothing more
    EXPECT_EQ(scoped_.fake.dispatched.size(), 3u);
}

std::vector<std::string> pluginLog;

class OwnerLoggingPlugin : public Plugin {
public:
    OwnerLoggingPlugin() { function = Run; }
    static void Run()
    {
        pluginLog.push_back(std::to_string(gAquarium.pluginOwner->type) + ":" +
                            (gAquarium.currentPlugin->next ? "more" : "last"));
    }
};

TEST_F(SystemObjectsTest, PluginRunnerRunsThePluginsOfActiveLightsInListOrder)
{
    Fish first, resting, second;
    first.type = 1;
    resting.type = 2;
    resting.active = 0;
    second.type = 3;
    Fish::AttachPlugin(&first, new OwnerLoggingPlugin, false);
    Fish::AttachPlugin(&first, new OwnerLoggingPlugin, false);
    Fish::AttachPlugin(&resting, new OwnerLoggingPlugin, false);
    auto* disabled = new OwnerLoggingPlugin;
    disabled->enabled = 0;
    Fish::AttachPlugin(&second, disabled, false);
    Fish::AttachPlugin(&second, new OwnerLoggingPlugin, false);
    Fishes lights;
    for (Fish* light : {&first, EMPTY_SLOT, &resting, &second})
        ASSERT_TRUE(Fishes::InsertObject(&lights, light, false));
    gAquarium.currentLightList = lights;
    pluginLog.clear();

    PluginRunner::Swim();

    EXPECT_EQ(pluginLog, (std::vector<std::string>{"1:more", "1:last", "3:last"}));
}

// The screen operations with the recording GL library loaded.
class ScreenObjectsTest : public SystemObjectsTest {
protected:
    void SetUp() override
    {
        scoped_.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
        platform::FakeGLReset();
    }

    void TearDown() override
    {
        OpenGLLib::Free();
        SystemObjectsTest::TearDown();
    }
};

TEST_F(ScreenObjectsTest, ClearScreenClearsColourAndDepthToBlack)
{
    ClearScreen::Swim();
    EXPECT_EQ(platform::FakeGLCalls(),
              (std::vector<std::string>{"glClearColor(0, 0, 0, 0)", "glDepthMask(1)",
                                        "glClear(0x4100)"}));
}

TEST_F(ScreenObjectsTest, FadeScreenDrawsATranslucentBlackQuadOverTheView)
{
    FadeScreen::Swim();
    EXPECT_EQ(platform::FakeGLCalls(),
              (std::vector<std::string>{
                  "glDepthMask(1)", "glClear(0x100)", "glBlendFunc(0x302, 0x303)",
                  "glDisable(0xB44)", "glDisable(0xDE1)", "glDisable(0xB71)", "glDisable(0xB50)",
                  "glEnable(0xBE2)", "glColor4f(0, 0, 0, 0.05)", "glMatrixMode(0x1700)",
                  "glPushMatrix()", "glLoadIdentity()", "glTranslatef(0, 0, -0.5)",
                  "glBegin(0x7)", "glVertex3f(-50, 50, 0)", "glVertex3f(50, 50, 0)",
                  "glVertex3f(50, -50, 0)", "glVertex3f(-50, -50, 0)", "glEnd()",
                  "glPopMatrix()"}));
}

TEST_F(ScreenObjectsTest, BufferSwapShowsTheFrameDrawn)
{
    BufferSwap::Swim();
    EXPECT_EQ(scoped_.fake.log.back(), "SwapBuffers");
}

// FillOpenGL copies element n of a list to table index n until the first
// null: a missing or extra element gives every later operation the wrong type
// number, a null inside a list cuts it short.
TEST(HandlerListsTest, EveryOperationSitsAtItsObjectsTypeNumber)
{
    const std::vector<std::pair<const Fish*, SwimFunction>> objects{
        {&gEscapeKey, EscapeKey::Swim},           {&gBufferSwap, BufferSwap::Swim},
        {&gFadeScreen, FadeScreen::Swim},         {&gOrderTableReset, OrderTableReset::Swim},
        {&gOrderTableDraw, OrderTableDraw::Swim}, {&gPluginRunner, PluginRunner::Swim},
        {&gClock, Clock::Swim},                   {&gOrderTableSort, OrderTableSort::Swim},
        {&gTimelineCarrier, TimelineCarrier::Swim}, {&gClearScreen, ClearScreen::Swim},
        {&gMessagePump, MessagePump::Swim}};
    for (const auto& [object, operation] : objects)
        EXPECT_EQ(SWIM_LIST[object->type], operation) << object->type;
}

template <typename Function>
int ListLength(const Function* list)
{
    int length = 1;
    while (list[length] != nullptr)
        ++length;
    return length;
}

TEST(HandlerListsTest, ListsEndRightAfterTheirLastType)
{
    EXPECT_EQ(ListLength(SWIM_LIST), 26);
    EXPECT_EQ(ListLength(LIGHT_LIST), 4);
    EXPECT_EQ(ListLength(POLYGON_LIST), 15);
}

}  // namespace
