// The main loop on the global record: order of plugins and operations, what
// is skipped, when a pass or the loop ends, failures of Feed and a nested loop
// with an Aquarium of its own. Test operations log what ran.
#include "host/mainloop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "platform/fake_backend.h"

namespace {

constexpr std::int32_t LOGGING_TYPE = 40;
constexpr std::int32_t QUITTING_TYPE = 41;
constexpr std::int32_t SWITCHING_TYPE = 42;
constexpr std::int32_t NO_OPERATION_TYPE = 43;
constexpr std::int32_t NULL_OPERATION_TYPE = 44;
constexpr std::int32_t SELF_CHECKING_TYPE = 45;

std::vector<std::string> runLog;
const FishList* switchTarget = nullptr;  // the list a switching object makes current
std::uint32_t quitAtFrame = 0;           // 0: quit at once

class NamedFish : public Fish {
public:
    NamedFish(const char* fishName, std::int32_t fishType) : name(fishName) { type = fishType; }
    std::string name;
};

class NamedPlugin : public Plugin {
public:
    explicit NamedPlugin(const char* pluginName) : name(pluginName) { function = Run; }
    std::string name;

    // Logs its name and the owner the loop named.
    static void Run()
    {
        const auto* plugin = static_cast<const NamedPlugin*>(gAquarium.currentPlugin);
        const auto* owner = static_cast<const NamedFish*>(gAquarium.pluginOwner);
        runLog.push_back(plugin->name + "@" + owner->name);
    }
};

const std::string& CurrentName() { return static_cast<NamedFish*>(gAquarium.currentObject)->name; }

void LogSwim() { runLog.push_back(CurrentName()); }

void QuitSwim()
{
    LogSwim();
    if (gAquarium.frameCounter >= quitAtFrame)
        gAquarium.quit = 1;
}

void SwitchSwim()
{
    LogSwim();
    gAquarium.currentObjectList = *switchTarget;
}

// Logs the name with the Aquarium current while the object runs.
Aquarium* expectedSelf = nullptr;
void SelfCheckingSwim()
{
    LogSwim();
    EXPECT_EQ(gAquarium.self, expectedSelf) << CurrentName();
}

void InstallTestOperations(Aquarium& aquarium)
{
    aquarium.swimTable[Mainloop::TYPE] = Mainloop::Swim;
    aquarium.swimTable[LOGGING_TYPE] = LogSwim;
    aquarium.swimTable[QUITTING_TYPE] = QuitSwim;
    aquarium.swimTable[SWITCHING_TYPE] = SwitchSwim;
    aquarium.swimTable[NO_OPERATION_TYPE] = NoOperation<SwimFunction>();
    aquarium.swimTable[NULL_OPERATION_TYPE] = nullptr;
    aquarium.swimTable[SELF_CHECKING_TYPE] = SelfCheckingSwim;
}

void Fill(Fishes& list, std::initializer_list<Fish*> objects)
{
    for (Fish* object : objects)
        ASSERT_TRUE(Fishes::InsertObject(&list, object, false));
}

// Gives each test a filled global record with the test operations, and
// leaves the record as it found it.
class MainloopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memcpy(savedSwimTable_, gAquarium.swimTable, sizeof savedSwimTable_);
        runLog.clear();
        switchTarget = nullptr;
        quitAtFrame = 0;
        Error::Reset();
        InstallTestOperations(gAquarium);
        gAquarium.filled = 1;
        gAquarium.quit = 0;
        gAquarium.frameCounter = 0;
    }

    void TearDown() override
    {
        std::memcpy(gAquarium.swimTable, savedSwimTable_, sizeof savedSwimTable_);
        gAquarium.currentObjectList = FishList{};
        gAquarium.currentLightList = FishList{};
        gAquarium.currentObject = nullptr;
        gAquarium.currentPlugin = nullptr;
        gAquarium.pluginOwner = nullptr;
        gAquarium.frameCounter = 0;
        gAquarium.quit = 0;
        gAquarium.filled = 0;
        gAquarium.self = &gAquarium;
        Error::Reset();
    }

    // Runs a loop over list on the global record.
    void Run(Fishes& list, bool repeat)
    {
        gAquarium.currentObjectList = list;
        Mainloop loop(&gAquarium, repeat);
        loop.Feed();
    }

    platform::ScopedFakeBackend scoped_;

private:
    SwimFunction savedSwimTable_[HANDLER_TABLE_SIZE];
};

TEST_F(MainloopTest, PluginsRunInChainOrderBeforeTheObjectsOperation)
{
    NamedFish a("a", LOGGING_TYPE), b("b", LOGGING_TYPE);
    Fish::AttachPlugin(&a, new NamedPlugin("second"), false);
    Fish::AttachPlugin(&a, new NamedPlugin("third"), false);
    Fish::AttachPlugin(&a, new NamedPlugin("first"), true);
    auto* disabled = new NamedPlugin("disabled");
    disabled->enabled = 0;
    Fish::AttachPlugin(&a, disabled, false);
    Fish::AttachPlugin(&b, new NamedPlugin("only"), true);
    Fishes list;
    Fill(list, {&a, &b});

    Run(list, false);

    EXPECT_EQ(runLog, (std::vector<std::string>{"first@a", "second@a", "third@a", "a", "only@b",
                                                "b"}));
    EXPECT_EQ(gAquarium.frameCounter, 1u);
    EXPECT_EQ(Error::Text(), std::string());
}

TEST_F(MainloopTest, InactiveObjectsRunTheirPluginsButNotTheirOperation)
{
    NamedFish resting("resting", LOGGING_TYPE), awake("awake", LOGGING_TYPE);
    resting.active = 0;
    Fish::AttachPlugin(&resting, new NamedPlugin("timer"), false);
    Fishes list;
    Fill(list, {&resting, &awake});

    Run(list, false);

    EXPECT_EQ(runLog, (std::vector<std::string>{"timer@resting", "awake"}));
}

TEST_F(MainloopTest, EmptySlotsAndTypesWithoutOperationAreSkipped)
{
    NamedFish none("none", NO_OPERATION_TYPE), null("null", NULL_OPERATION_TYPE);
    NamedFish outside("outside", HANDLER_TABLE_SIZE + 5), last("last", LOGGING_TYPE);
    Fish::AttachPlugin(&none, new NamedPlugin("plugin"), false);
    Fishes list;
    Fill(list, {EMPTY_SLOT, &none, EMPTY_SLOT, &null, &outside, &last});

    Run(list, false);

    EXPECT_EQ(runLog, (std::vector<std::string>{"plugin@none", "last"}));
}

TEST_F(MainloopTest, QuitStopsThePassRightAfterTheQuittingObject)
{
    NamedFish before("before", LOGGING_TYPE), quitter("quitter", QUITTING_TYPE),
        after("after", LOGGING_TYPE);
    Fishes list;
    Fill(list, {&before, &quitter, &after});

    Run(list, false);

    EXPECT_EQ(runLog, (std::vector<std::string>{"before", "quitter"}));
    EXPECT_EQ(gAquarium.frameCounter, 1u);
}

TEST_F(MainloopTest, QuitSetByAPluginStopsBeforeTheNextObject)
{
    NamedFish watched("watched", LOGGING_TYPE), after("after", LOGGING_TYPE);
    auto* quitter = new NamedPlugin("quitter");
    quitter->function = [] { gAquarium.quit = 1; };
    Fish::AttachPlugin(&watched, quitter, false);
    Fishes list;
    Fill(list, {&watched, &after});

    Run(list, false);

    // The object's own operation still runs: the flag is looked at after it.
    EXPECT_EQ(runLog, std::vector<std::string>{"watched"});
}

TEST_F(MainloopTest, RepeatingLoopCountsOneFramePerPassUntilQuit)
{
    NamedFish a("a", LOGGING_TYPE), quitter("q", QUITTING_TYPE);
    Fishes list;
    Fill(list, {&a, &quitter});
    quitAtFrame = 3;

    Run(list, true);

    EXPECT_EQ(runLog, (std::vector<std::string>{"a", "q", "a", "q", "a", "q"}));
    EXPECT_EQ(gAquarium.frameCounter, 3u);
}

TEST_F(MainloopTest, LoopWithoutRepeatRunsOnePass)
{
    NamedFish a("a", LOGGING_TYPE), b("b", LOGGING_TYPE);
    Fishes list;
    Fill(list, {&a, &b});

    Run(list, false);

    EXPECT_EQ(runLog, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(gAquarium.frameCounter, 1u);
    EXPECT_EQ(gAquarium.quit, 0);
}

TEST_F(MainloopTest, ListSwitchedDuringAPassTakesEffectOnTheNextPass)
{
    // Both quitters quit from the second pass on: whichever list that pass
    // runs, the loop ends.
    NamedFish switcher("switcher", SWITCHING_TYPE), rest("rest", QUITTING_TYPE);
    NamedFish next("next", QUITTING_TYPE);
    Fishes first, second;
    Fill(first, {&switcher, &rest});
    Fill(second, {&next});
    switchTarget = &second;
    quitAtFrame = 2;

    Run(first, true);

    EXPECT_EQ(runLog, (std::vector<std::string>{"switcher", "rest", "next"}));
    EXPECT_EQ(gAquarium.frameCounter, 2u);
}

TEST_F(MainloopTest, FeedWithoutObjectListReportsAndRunsNothing)
{
    Mainloop loop(&gAquarium, true);
    gAquarium.currentObjectList = FishList{};

    loop.Feed();

    EXPECT_EQ(Error::Text(), std::string("Mainloop::Feed: ObjectList not initialized.\n"));
    EXPECT_EQ(gAquarium.frameCounter, 0u);
}

TEST_F(MainloopTest, FeedOnAnUnfilledAquariumReportsAndRunsNothing)
{
    NamedFish a("a", LOGGING_TYPE);
    Fishes list;
    Fill(list, {&a});
    gAquarium.filled = 0;

    Run(list, false);

    EXPECT_EQ(Error::Text(), std::string("Mainloop::Feed: Aquarium not filled.\n"));
    EXPECT_TRUE(runLog.empty());
    EXPECT_EQ(gAquarium.frameCounter, 0u);
}

// The program's loop runs on an Aquarium of its own; a Mainloop in its list
// runs another Aquarium's list and then brings the outer one back.
TEST_F(MainloopTest, NestedLoopRunsItsOwnAquariumThenTheOuterIsCurrentAgain)
{
    Aquarium outer, inner;
    InstallTestOperations(outer);
    InstallTestOperations(inner);
    outer.filled = 1;
    inner.filled = 1;
    NamedFish before("before", SELF_CHECKING_TYPE), after("after", SELF_CHECKING_TYPE);
    NamedFish innerObject("inner object", LOGGING_TYPE);
    Mainloop nested(&inner, false);
    Fishes outerList, innerList;
    Fill(outerList, {&before, &nested, &after});
    Fill(innerList, {&innerObject});
    outer.currentObjectList = outerList;
    inner.currentObjectList = innerList;
    expectedSelf = &outer;

    Mainloop loop(&outer, false);
    loop.Feed();

    EXPECT_EQ(runLog, (std::vector<std::string>{"before", "inner object", "after"}));
}

}  // namespace
