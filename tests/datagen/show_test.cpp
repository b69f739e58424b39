// The show the build made (SHOW_ARCHIVE), loaded and drawn as the demo does
// on a real offscreen GL context: every scene of the table loads and sets up
// without a word in the error text, the scenes between them use every
// feature of the engine, every scene is lit and moving at a quarter and at
// three quarters of its slot, and every mesh swims on every batched path as
// on the scalar one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "host/error.h"
#include "host/timeline.h"
#include "pak/pak.h"
#include "scene/scenerecords.h"
#include "tests/datagen/show_demo.h"
#include "tests/datagen/show_features.h"
#include "tests/support/geometry_twins.h"
#include "tools/aqtool/render_frame.h"

namespace {

constexpr int BRIGHT = 32;                  // a channel at least this bright lights its pixel
constexpr double LEAST_LIT_SHARE = 0.03;    // of the frame's pixels
constexpr double LEAST_CHANGED_SHARE = 0.01;
constexpr int CHANGE = 24;                  // a channel moving this much changes its pixel

using show_test::PrepareDemo;

std::uint32_t SlotLength(int scene) { return SCENE_END_TIMES[scene] - (scene == 0 ? 0 : SCENE_END_TIMES[scene - 1]); }

TEST(Show, EveryScenePathLoadsAndSetsUpWithoutAMessage)
{
    PrepareDemo();
    std::vector<std::unique_ptr<Scene>> scenes;
    for (int i = 0; i < SCENE_COUNT; ++i) {
        scenes.push_back(std::make_unique<Scene>());
        EXPECT_TRUE(scenes.back()->LoadFile(SCENE_TABLE[i], 0)) << SCENE_TABLE[i];
        EXPECT_TRUE(scenes.back()->SetupOpenGL()) << SCENE_TABLE[i];
        EXPECT_STREQ(Error::Text(), "") << SCENE_TABLE[i];
    }
}

TEST(Show, UsesEveryFeatureOfTheEngine)
{
    PrepareDemo();
    std::vector<std::unique_ptr<Scene>> scenes;
    std::vector<const Scene*> loaded;
    for (int i = 0; i < SCENE_COUNT; ++i) {
        scenes.push_back(std::make_unique<Scene>());
        ASSERT_TRUE(scenes.back()->LoadFile(SCENE_TABLE[i], 0) && scenes.back()->SetupOpenGL()) << Error::Text();
        loaded.push_back(scenes.back().get());
    }
    const show_test::Counts counts = show_test::CountFeatures(loaded);
    for (const std::string& feature : show_test::FeatureNames()) {
        const auto found = counts.find(feature);
        const int count = found == counts.end() ? 0 : found->second;
        std::printf("%-42s %7d\n", feature.c_str(), count);
        EXPECT_GT(count, 0) << feature;
    }
    EXPECT_EQ(counts.count("unknown envelope"), 0u);
}

struct FrameLook {
    double litShare = 0.0;
    std::vector<std::uint8_t> pixels;
};

FrameLook Look(const std::vector<std::uint8_t>& frame, int pixels)
{
    FrameLook look;
    look.pixels.assign(frame.begin(), frame.begin() + pixels * 3);
    int lit = 0;
    for (int i = 0; i < pixels; ++i)
        lit += std::max({frame[i * 3], frame[i * 3 + 1], frame[i * 3 + 2]}) >= BRIGHT ? 1 : 0;
    look.litShare = static_cast<double>(lit) / pixels;
    return look;
}

double ChangedShare(const FrameLook& a, const FrameLook& b)
{
    const std::size_t pixels = a.pixels.size() / 3;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(a.pixels[i * 3 + c] - b.pixels[i * 3 + c]) >= CHANGE) {
                ++changed;
                break;
            }
        }
    }
    return static_cast<double>(changed) / static_cast<double>(pixels);
}

// Scene i at the fraction of its slot; the first scene's trails are led up
// to by the passes before it, as the demo would have drawn them.
FrameLook Draw(aqtool::SceneFrames& frames, int scene, double fraction, std::vector<std::uint8_t>& frame)
{
    const auto time = static_cast<std::uint32_t>(fraction * SlotLength(scene));
    constexpr std::uint32_t STEP = 16;
    for (std::uint32_t back = scene == 0 ? 60 * STEP : 0; back > 0; back -= STEP)
        EXPECT_TRUE(frames.Render(time > back ? time - back : 0, frame.data()));
    EXPECT_TRUE(frames.Render(time, frame.data())) << Error::Text();
    return Look(frame, 640 * 480);
}

TEST(Show, EverySceneIsLitAndMovesThroughItsSlot)
{
    PrepareDemo();
    std::vector<std::uint8_t> frame(aqtool::FrameBufferSize());
    for (int i = 0; i < SCENE_COUNT; ++i) {
        aqtool::SceneFrames frames;
        ASSERT_TRUE(frames.Load(SCENE_TABLE[i])) << Error::Text();
        const FrameLook quarter = Draw(frames, i, 0.25, frame), threeQuarters = Draw(frames, i, 0.75, frame);
        const double changed = ChangedShare(quarter, threeQuarters);
        std::printf("scene %2d: lit %.2f and %.2f, changed %.2f\n", i, quarter.litShare, threeQuarters.litShare, changed);
        EXPECT_GE(quarter.litShare, LEAST_LIT_SHARE) << "scene " << i << " at a quarter";
        EXPECT_GE(threeQuarters.litShare, LEAST_LIT_SHARE) << "scene " << i << " at three quarters";
        EXPECT_GE(changed, LEAST_CHANGED_SHARE) << "scene " << i;
    }
}

int swumMeshes = 0;

// In place of both mesh swims: the current mesh on the scalar path and on
// every batched one, compared to the bit.
void SwimOnEveryPath()
{
    Vector& mesh = *static_cast<Vector*>(gAquarium.currentObject);
    ++swumMeshes;
    EXPECT_TRUE(test_support::SwimsAgree(mesh)) << "mesh of " << mesh.cellCount << " cells";
}

TEST(Show, EveryMeshOfEverySceneSwimsOnEveryPathAsOnTheScalarOne)
{
    PrepareDemo();
    const SwimFunction rigid = gAquarium.swimTable[Vector::TYPE];
    const SwimFunction deforming = gAquarium.swimTable[Vector::DEFORMING_TYPE];
    gAquarium.swimTable[Vector::TYPE] = gAquarium.swimTable[Vector::DEFORMING_TYPE] = SwimOnEveryPath;
    swumMeshes = 0;
    for (int i = 0; i < SCENE_COUNT; ++i) {
        aqtool::SceneFrames frames;
        ASSERT_TRUE(frames.Load(SCENE_TABLE[i])) << Error::Text();
        for (const double fraction : {0.2, 0.25, 0.6, 0.9})
            EXPECT_TRUE(frames.Render(static_cast<std::uint32_t>(fraction * SlotLength(i)), nullptr)) << i;
    }
    gAquarium.swimTable[Vector::TYPE] = rigid;
    gAquarium.swimTable[Vector::DEFORMING_TYPE] = deforming;
    EXPECT_GT(swumMeshes, 4 * SCENE_COUNT);
}

}  // namespace

namespace {

// The last frame a scene plays: its end, and a frame of slack for the pass
// that notices the cut.
float LastFrame(int scene, float framesPerSecond) { return SCENE_END_TIMES[scene] / 1000.0f * framesPerSecond + 1.0f; }

template <class Key>
bool Covers(const Key* keys, std::uint32_t n, std::uint32_t endBehaviour, float first, float last)
{
    if (n <= 1)
        return true;  // never moves
    const bool held = endBehaviour == END_HOLD || endBehaviour == END_REPEAT;
    return keys[0].frame <= first && (held || keys[n - 1].frame >= last);
}

TEST(Show, KeysCoverEverySceneFromItsStartToItsCut)
{
    PrepareDemo();
    for (int i = 0; i < SCENE_COUNT; ++i) {
        Scene scene;
        ASSERT_TRUE(scene.LoadFile(SCENE_TABLE[i], 0)) << Error::Text();
        const float first = static_cast<float>(scene.firstFrame), last = LastFrame(i, scene.framesPerSecond);
        EXPECT_FLOAT_EQ(first, (i == 0 ? 0.0f : SCENE_END_TIMES[i - 1] / 1000.0f) * scene.framesPerSecond) << i;
        for (std::uint32_t k = 0; k < scene.objectCount; ++k) {
            const SceneObject& o = scene.objects[k];
            EXPECT_TRUE(Covers(o.keys, o.keyCount, o.endBehaviour, first, last)) << SCENE_TABLE[i] << " object " << k;
        }
        for (std::uint32_t k = 0; k < scene.lightCount; ++k) {
            const SceneLight& l = scene.lights[k];
            EXPECT_TRUE(Covers(l.keys, l.keyCount, l.endBehaviour, first, last)) << SCENE_TABLE[i] << " light " << k;
        }
        const SceneCamera& c = *scene.camera;
        EXPECT_TRUE(Covers(c.keys, c.keyCount, c.endBehaviour, first, last)) << SCENE_TABLE[i] << " camera";
    }
}

// The hero's craft where the scene puts it at frame; false when it has none.
bool HeroAt(Scene& scene, float frame, Matrix& world)
{
    for (std::uint32_t k = 0; k < scene.objectCount; ++k) {
        if (std::strcmp(scene.objects[k].name, "data\\common\\objects\\craft_red.vob") == 0) {
            scene.objects[k].Evaluate(frame, world);
            return true;
        }
    }
    return false;
}

// The folder of a scene table row: "data\\canyon\\scenes\\cut1.scn" is in "canyon".
std::string Act(const char* path)
{
    const std::string row = path;
    const std::size_t from = row.find('\\') + 1;
    return row.substr(from, row.find('\\', from) - from);
}

// Cuts within an act carry the race on, and so does the one from the start
// pit into the canyon.
bool StoryGoesOn(int scene)
{
    const std::string before = Act(SCENE_TABLE[scene]), after = Act(SCENE_TABLE[scene + 1]);
    return before == after || (before == "startpit" && after == "canyon");
}

TEST(Show, TheRaceGoesOnAcrossEveryCutOfAnAct)
{
    PrepareDemo();
    int cuts = 0;
    for (int i = 0; i + 1 < SCENE_COUNT; ++i) {
        if (!StoryGoesOn(i))
            continue;
        Scene before, after;
        ASSERT_TRUE(before.LoadFile(SCENE_TABLE[i], 1) && after.LoadFile(SCENE_TABLE[i + 1], 1)) << Error::Text();
        const float cut = SCENE_END_TIMES[i] / 1000.0f * before.framesPerSecond;
        Matrix a, b;
        if (!HeroAt(before, cut, a) || !HeroAt(after, cut, b))
            continue;
        ++cuts;
        for (const int t : {3, 7, 11})
            EXPECT_NEAR(a.m[t], b.m[t], 0.05f) << "the hero jumps at the cut after " << SCENE_TABLE[i];
    }
    EXPECT_GE(cuts, 25);
}

}  // namespace
