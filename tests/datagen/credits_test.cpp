// The credits as the demo plays them: every line's box projected through the
// scene's camera ten times a second over the whole scene, from the scene file
// the build made. While a line's letters are readable (12 to 80 pixels of em
// at 640 x 480) it lies inside the frame with a margin and no nearer line
// covers it; each line is readable for a while; the last comes to rest as
// the music ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/timeline.h"
#include "render/animation.h"
#include "scene/dissolve.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/datagen/show_demo.h"
#include "tools/datagen/show/credits.h"

namespace {

constexpr float SAMPLES_PER_SECOND = 10.0f;
constexpr float SMALLEST_READABLE = 12.0f, LARGEST_READABLE = 80.0f;  // pixels of em
constexpr float MARGIN = 16.0f;
constexpr float LEAST_READING_SECONDS = 1.5f;
constexpr int REPORTED_FAULTS = 12;

struct Box {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    bool Overlaps(const Box& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// Line i as the frame shows it.
struct Seen {
    bool drawn = false;      // not dissolved away, and some of it in front of the eye
    bool crossing = false;   // part of it behind the near plane: it fills the frame
    float depth = 0.0f;      // of its origin
    float em = 0.0f;         // pixels
    Box box;
    bool Readable() const { return drawn && !crossing && em >= SMALLEST_READABLE && em <= LARGEST_READABLE; }
};

float DissolveAmount(const Vector& vector)
{
    for (const Plugin* p = vector.firstPlugin; p != nullptr; p = p->next) {
        if (p->function == Dissolve::Swim)
            return static_cast<const Dissolve*>(p)->amount;
    }
    return 0.0f;
}

Seen Look(Scene& scene, int line)
{
    Vector& vector = *scene.objects[Credits::FIRST_LINE_OBJECT + line].vector;
    Seen seen;
    seen.depth = vector.matrix.m[11];
    seen.em = Credits::LetterHeight(line) * std::fabs(gAquarium.yScale) / seen.depth;
    seen.box = {1e9f, 1e9f, -1e9f, -1e9f};
    bool inFront = false;
    for (std::uint32_t a = 0; a < vector.atomCount; ++a) {
        Atom& atom = vector.atoms[a];
        Atom::Project(atom, vector.matrix);
        if (atom.behind != 0) {
            seen.crossing = true;
            continue;
        }
        inFront = true;
        seen.box = {std::min(seen.box.left, atom.screen[0]), std::min(seen.box.top, atom.screen[1]),
                    std::max(seen.box.right, atom.screen[0]), std::max(seen.box.bottom, atom.screen[1])};
    }
    seen.drawn = inFront && DissolveAmount(vector) < 1.0f;
    return seen;
}

std::vector<Seen> LookAll(Scene& scene, float seconds)
{
    AnimateScene(scene, seconds * scene.framesPerSecond);
    std::vector<Seen> lines;
    for (int i = 0; i < Credits::LineCount(); ++i)
        lines.push_back(Look(scene, i));
    return lines;
}

bool Inside(const Box& box)
{
    return box.left >= MARGIN && box.top >= MARGIN && box.right <= static_cast<float>(gAquarium.width) - MARGIN &&
           box.bottom <= static_cast<float>(gAquarium.height) - MARGIN;
}

std::string Where(int line, float seconds)
{
    return std::string("\"") + Credits::LineAt(line).text + "\" at " + std::to_string(seconds) + " s";
}

class Credits50 : public ::testing::Test {
protected:
    void SetUp() override
    {
        show_test::PrepareDemo();
        ASSERT_EQ(gAquarium.width, 640);
        ASSERT_TRUE(scene.LoadFile(SCENE_TABLE[Credits::SCENE], 0)) << Error::Text();
        ASSERT_EQ(scene.objectCount, static_cast<std::uint32_t>(Credits::FIRST_LINE_OBJECT + Credits::LineCount()));
        start = static_cast<float>(SCENE_END_TIMES[Credits::SCENE - 1]) / 1000.0f;
        end = static_cast<float>(SCENE_END_TIMES[Credits::SCENE]) / 1000.0f;
    }

    Scene scene;
    float start = 0.0f, end = 0.0f;
};

TEST_F(Credits50, AReadableLineLiesInsideTheFrameAndNoOtherLineCoversIt)
{
    std::vector<int> readable(static_cast<std::size_t>(Credits::LineCount()), 0);
    int faults = 0;
    const int samples = static_cast<int>(std::lround((end - start) * SAMPLES_PER_SECOND));
    for (int k = 0; k <= samples; ++k) {
        const float s = start + static_cast<float>(k) / SAMPLES_PER_SECOND;
        const std::vector<Seen> lines = LookAll(scene, s);
        for (int i = 0; i < Credits::LineCount(); ++i) {
            const Seen& line = lines[static_cast<std::size_t>(i)];
            if (!line.Readable())
                continue;
            ++readable[static_cast<std::size_t>(i)];
            if (!Inside(line.box) && ++faults <= REPORTED_FAULTS) {
                ADD_FAILURE() << Where(i, s) << " runs out of the frame: " << line.box.left << ", " << line.box.top
                              << " to " << line.box.right << ", " << line.box.bottom;
            }
            for (int j = 0; j < Credits::LineCount(); ++j) {
                const Seen& other = lines[static_cast<std::size_t>(j)];
                const bool nearer = other.depth < line.depth && other.box.Overlaps(line.box);
                const bool covers = other.drawn && (other.crossing || nearer);
                if (j != i && covers && ++faults <= REPORTED_FAULTS)
                    ADD_FAILURE() << Where(i, s) << " is covered by \"" << Credits::LineAt(j).text << "\"";
            }
        }
    }
    EXPECT_EQ(faults, 0);
    for (int i = 0; i < Credits::LineCount(); ++i)
        EXPECT_GE(static_cast<float>(readable[static_cast<std::size_t>(i)]), LEAST_READING_SECONDS * SAMPLES_PER_SECOND)
            << "\"" << Credits::LineAt(i).text << "\" is readable too briefly";
}

TEST_F(Credits50, TheLastLineComesToRestAsTheMusicEnds)
{
    const int last = Credits::LineCount() - 1;
    const Seen atEnd = LookAll(scene, end)[static_cast<std::size_t>(last)];
    ASSERT_TRUE(atEnd.Readable());
    EXPECT_TRUE(Inside(atEnd.box));
    const auto moved = [&](float before) {
        const Seen then = LookAll(scene, end - before)[static_cast<std::size_t>(last)];
        return std::max({std::fabs(then.box.left - atEnd.box.left), std::fabs(then.box.top - atEnd.box.top),
                         std::fabs(then.box.right - atEnd.box.right), std::fabs(then.box.bottom - atEnd.box.bottom)});
    };
    EXPECT_LT(moved(0.1f), 1.0f) << "still moving at the end";
    EXPECT_GT(moved(2.0f), 10.0f) << "at rest long before the end";
}

}  // namespace
