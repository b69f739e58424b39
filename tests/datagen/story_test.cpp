// The scene-description kit and the race: the timing every scene is built
// on, keys that two scenes interpolate alike at a cut, turns that loop for
// ever, poses the engine turns the way they were meant, and a field whose
// craft never run into one another.
#include <gtest/gtest.h>

#include <cmath>

#include "host/timeline.h"
#include "render/matrix.h"
#include "scene/keys.h"
#include "tools/datagen/show/race.h"
#include "tools/datagen/show/shot.h"

namespace {

float Seconds(std::uint32_t ms) { return static_cast<float>(ms) / 1000.0f; }

TEST(ShotTiming, EveryShotStartsOnAWholeFrameOfMusicTimeAndKeysCoverItsSlot)
{
    for (int scene = 0; scene < SCENE_COUNT; ++scene) {
        const Shot shot(scene);
        const float start = scene == 0 ? 0.0f : Seconds(SCENE_END_TIMES[scene - 1]);
        EXPECT_FLOAT_EQ(shot.Start(), start);
        EXPECT_FLOAT_EQ(Shot::FrameOf(start), std::round(Shot::FrameOf(start))) << "scene " << scene;
        const std::vector<ObjectKey> keys = shot.ObjectKeys(Still({}));
        ASSERT_GE(keys.size(), 2u);
        EXPECT_LE(keys.front().frame, Shot::FrameOf(shot.Start()));
        EXPECT_GE(keys.back().frame, Shot::FrameOf(shot.End()));
        for (std::size_t i = 1; i < keys.size(); ++i)
            EXPECT_GT(keys[i].frame, keys[i - 1].frame) << "scene " << scene;
    }
}

TEST(ShotTiming, NeighbouringShotsInterpolateAMotionAlikeAtTheirCut)
{
    const Motion weave = [](float s) { return Pose{{30.0f * std::sin(1.7f * s), 3.0f * s, 100.0f * s}}; };
    for (int scene = 0; scene + 1 < SCENE_COUNT; ++scene) {
        const std::vector<ObjectKey> before = Shot(scene).ObjectKeys(weave), after = Shot(scene + 1).ObjectKeys(weave);
        const float cut = Shot::FrameOf(Seconds(SCENE_END_TIMES[scene]));
        float a[9], b[9];
        EvaluateObjectKeys(cut, static_cast<std::uint32_t>(before.size()), before.data(), a);
        EvaluateObjectKeys(cut, static_cast<std::uint32_t>(after.size()), after.data(), b);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(a[c], b[c], 1e-3f) << "the cut after scene " << scene;
    }
}

TEST(ShotTiming, AMotionThatEndedBeforeTheSceneRestsWhereItEnded)
{
    const Shot late(49);
    Sampling ended;
    ended.until = late.Start() - 5.0f;
    const std::vector<ObjectKey> keys = late.ObjectKeys([](float s) { return Pose{{s, 0.0f, 0.0f}}; }, ended);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_FLOAT_EQ(keys[0].value[KeyChannel::POSITION_X], ended.until);
}

TEST(ShotTiming, ASpinTurnsOnceAPeriodForEverUnderTheRepeatEnd)
{
    const SceneObjectChunk spinner = Shot::Spinning("fan", {}, 2.0f);
    ASSERT_EQ(spinner.endBehaviour, END_REPEAT);
    const auto heading = [&](float frame) {
        float out[9];
        const float t = ApplyEndBehaviour(frame, spinner.endBehaviour, static_cast<std::uint32_t>(spinner.keys.size()),
                                          spinner.keys.data());
        EvaluateObjectKeys(t, static_cast<std::uint32_t>(spinner.keys.size()), spinner.keys.data(), out);
        return out[KeyChannel::HEADING];
    };
    const float period = Shot::FrameOf(2.0f);
    EXPECT_NEAR(heading(period * 0.25f), PI / 2.0f, 1e-4f);
    EXPECT_NEAR(heading(period * 1000.25f), PI / 2.0f, 1e-3f);  // well into the show, still a quarter turn
    EXPECT_NEAR(heading(period * 0.5f) - heading(period * 0.25f), PI / 2.0f, 1e-4f);  // at an even rate
}

TEST(ShotTiming, AGlideEasesFromItsStartToExactlyItsEnd)
{
    const Motion glide = Glide(Pose{{0, 0, 0}}, Pose{{10, 0, 0}}, 5.0f, 7.0f);
    EXPECT_FLOAT_EQ(glide(4.0f).position.x, 0.0f);
    EXPECT_FLOAT_EQ(glide(6.0f).position.x, 5.0f);
    EXPECT_FLOAT_EQ(glide(9.0f).position.x, 10.0f);
    EXPECT_LT(glide(5.2f).position.x, 1.0f);  // it sets off gently
}

TEST(ShotTiming, ALookIsTheTurnTheEngineGivesToFaceItsPoint)
{
    const Vec3 targets[] = {{0, 0, 5}, {5, 0, 0}, {-3, 4, -2}, {1, -6, 2}, {0.5f, 7, 0.1f}};
    for (const Vec3& target : targets) {
        const Pose pose = Looking({1, 2, 3}, Vec3{1, 2, 3} + target);
        float x, y, z;
        RotateVector(0.0f, 0.0f, 1.0f, pose.pitch, pose.heading, pose.bank, x, y, z);
        const Vec3 along = Normalised(target);
        EXPECT_NEAR(x, along.x, 1e-4f);
        EXPECT_NEAR(y, along.y, 1e-4f);
        EXPECT_NEAR(z, along.z, 1e-4f);
    }
}

const Path& Straight()
{
    static const Path course({{0, 0, 0}, {0, 0, 6000}});
    return course;
}

TEST(Race, TheFieldWaitsOnTheGridUntilTheLaunchThenGathersSpeed)
{
    const Progress launch = Launch(10.0f, 150.0f, 50.0f, 80.0f);
    EXPECT_FLOAT_EQ(launch(0.0f), 150.0f);
    EXPECT_FLOAT_EQ(launch(10.0f), 150.0f);
    EXPECT_NEAR(launch(11.0f) - launch(10.99f), 0.5f, 0.01f);        // 50 units a second after a second
    EXPECT_NEAR(launch(20.0f) - launch(19.99f), 0.8f, 0.001f);       // then at its speed
    const Race race(Straight(), launch, 10.0f, [](float, float) { return 0.0f; });
    EXPECT_FLOAT_EQ(race.Position(1, 2.0f).x, race.Position(1, 8.0f).x);  // no weaving on the grid
    EXPECT_FLOAT_EQ(race.Distance(2, 2.0f), race.Distance(2, 8.0f));
}

TEST(Race, NoTwoCraftEverRunIntoEachOther)
{
    constexpr float CRAFT_LENGTH = 7.0f, CRAFT_WIDTH = 5.2f;
    const Race race(Straight(), Cruise(0.0f, 100.0f, 75.0f), 0.0f, [](float, float) { return 0.0f; });
    for (float s = 0.0f; s < 300.0f; s += 0.05f) {
        for (int a = 0; a < 3; ++a) {
            for (int b = a + 1; b < 3; ++b) {
                const Vec3 d = race.Position(a, s) - race.Position(b, s);
                const bool apart = std::fabs(d.x) > CRAFT_WIDTH || std::fabs(d.z) > CRAFT_LENGTH;
                EXPECT_TRUE(apart) << "racers " << a << " and " << b << " meet at " << s << " s";
                if (!apart)
                    return;
            }
        }
    }
}

TEST(Race, ACraftLeansIntoItsTurnsAndKeepsItsNoseAlongItsPath)
{
    const Path bend({{0, 0, 0}, {0, 0, 200}, {200, 0, 400}, {400, 0, 400}});
    const Race race(bend, Cruise(0.0f, 0.0f, 60.0f), 1000.0f, [](float, float) { return 0.0f; });
    float leaned = 0.0f;
    for (float s = 0.5f; s < 8.0f; s += 0.25f) {
        const Pose pose = race.At(0, s);
        const Vec3 ahead = Normalised(race.Position(0, s + 0.05f) - race.Position(0, s - 0.05f));
        EXPECT_NEAR(std::cos(pose.heading), ahead.z / std::sqrt(ahead.x * ahead.x + ahead.z * ahead.z), 0.02f) << s;
        leaned = std::fmin(leaned, pose.bank);
    }
    EXPECT_LT(leaned, -0.05f);  // the course turns right: the craft banks right
}

}  // namespace
