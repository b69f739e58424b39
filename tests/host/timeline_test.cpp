// The command line's corrections and the Timeline's scene switches on a
// scripted clock: when a switch happens, what becomes current, when the demo
// quits, and the 32-bit wrap of the millisecond clock.
#include "host/timeline.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "host/aquarium.h"
#include "scene/scenerecords.h"

namespace {

struct CommandLineCase {
    const char* line;
    std::int32_t first, last, startTime;
};

const CommandLineCase COMMAND_LINES[] = {
    {"", 0, 50, 0},
    {"20", 20, 50, 117400},
    {"60 70", 0, 50, 0},
    {"10 5", 10, 10, 68000},
    {"5 99", 5, 50, 51200},
    {"-3 4", 0, 4, 0},
    {"4 -3", 4, 4, 48000},
    {"garbage", 0, 50, 0},
    {"4294967296 3", 0, 3, 0},
    {"50 50", 50, 50, 247400},
};

TEST(CommandLine, CorrectsOutOfRangeScenes)
{
    for (const CommandLineCase& c : COMMAND_LINES) {
        const SceneRange range = ParseCommandLine(c.line);
        EXPECT_EQ(range.firstScene, c.first) << '"' << c.line << '"';
        EXPECT_EQ(range.lastScene, c.last) << '"' << c.line << '"';
        EXPECT_EQ(range.startTime, c.startTime) << '"' << c.line << '"';
    }
}

// Scenes first to last, each with lists of its own, and the Timeline started
// at baseTime as the start-up starts it.
class TimelineTest : public ::testing::Test {
protected:
    void Start(std::int32_t first, std::int32_t last, std::uint32_t baseTime)
    {
        gSceneRange.firstScene = first;
        gSceneRange.lastScene = last;
        for (std::int32_t i = first; i <= last; ++i) {
            gSceneObjects[i] = &scenes_[i];
            if (gObjectLists[i].count == 0)
                Fishes::InsertObject(&gObjectLists[i], &scenes_[i], false);
            if (gLightLists[i].count == 0)
                Fishes::InsertObject(&gLightLists[i], &scenes_[i], false);
        }
        timeline_.baseTime = baseTime;
        timeline_.currentScene = first;
        gAquarium.currentObjectList = gObjectLists[first];
        gAquarium.currentLightList = gLightLists[first];
        gAquarium.currentPlugin = &timeline_;
        gAquarium.quit = 0;
    }

    void TearDown() override
    {
        for (Scene*& scene : gSceneObjects)
            scene = nullptr;
        gAquarium.currentObjectList = {};
        gAquarium.currentLightList = {};
        gAquarium.currentPlugin = nullptr;
        gAquarium.quit = 0;
    }

    // One pass's tick with the clock at now.
    void TickAt(std::uint32_t now)
    {
        gAquarium.currentTime = now;
        Timeline::Tick();
    }

    bool IsCurrent(std::int32_t scene) const
    {
        return gAquarium.currentObjectList.items == gObjectLists[scene].items &&
               gAquarium.currentLightList.items == gLightLists[scene].items &&
               timeline_.currentScene == scene;
    }

    Timeline timeline_;
    Scene scenes_[SCENE_COUNT];
};

TEST_F(TimelineTest, SwitchesOnTheFirstPassAtOrPastTheEndTime)
{
    // Scene 10 starts at music 68000 ms; the clock read 1000 then.
    Start(10, 12, 1000 - 68000u);
    TickAt(1000 + 3999);
    EXPECT_TRUE(IsCurrent(10));
    TickAt(1000 + 4000);
    EXPECT_TRUE(IsCurrent(11));
    EXPECT_EQ(scenes_[11].startTime, 1000u + 4000u) << "the scheduled time, not the clock's";
    EXPECT_EQ(gAquarium.quit, 0);
}

TEST_F(TimelineTest, StartsTheNextSceneAtItsScheduledTime)
{
    Start(10, 12, 1000 - 68000u);
    TickAt(1000 + 4016);  // the frame after the end time
    EXPECT_EQ(scenes_[11].startTime, 1000u + 4000u);
}

TEST_F(TimelineTest, AdvancesOneScenePerPassOverAClockJump)
{
    Start(5, 20, 0);
    TickAt(SCENE_END_TIMES[12]);  // past the ends of scenes 5 to 12
    EXPECT_TRUE(IsCurrent(6));
    TickAt(SCENE_END_TIMES[12]);
    EXPECT_TRUE(IsCurrent(7));
    EXPECT_EQ(scenes_[7].startTime, SCENE_END_TIMES[6]);
}

TEST_F(TimelineTest, QuitsAfterTheLastChosenScene)
{
    Start(10, 10, 0);
    TickAt(SCENE_END_TIMES[10] - 1);
    EXPECT_EQ(gAquarium.quit, 0);
    TickAt(SCENE_END_TIMES[10]);
    EXPECT_EQ(gAquarium.quit, 1);
    EXPECT_TRUE(IsCurrent(10));
}

TEST_F(TimelineTest, QuitsAtTheEndOfTheShow)
{
    Start(50, 50, 0);
    TickAt(297400);
    EXPECT_EQ(gAquarium.quit, 1);
}

TEST_F(TimelineTest, MeasuresAcrossTheWrapOfTheMillisecondClock)
{
    const std::uint32_t base = UINT32_MAX - 1000;  // the clock wraps 1001 ms after music 0
    Start(0, 2, base);
    TickAt(base + 31999);  // wrapped: a small clock value
    EXPECT_TRUE(IsCurrent(0));
    TickAt(base + 32000);
    EXPECT_TRUE(IsCurrent(1));
    EXPECT_EQ(scenes_[1].startTime, base + 32000);
}

TEST_F(TimelineTest, DoesNothingPastTheSceneCount)
{
    Start(0, 0, 0);
    timeline_.currentScene = SCENE_COUNT;
    TickAt(UINT32_MAX);
    EXPECT_EQ(gAquarium.quit, 0);
}

}  // namespace
