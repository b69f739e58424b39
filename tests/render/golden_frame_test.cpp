// The golden frame: the golden scene (golden_scene.h) drawn headless by
// aqtool render, compared pixel by pixel with the stored reference image, and
// a few facts of its regions checked directly so that a reader can see what
// the picture asserts. Regions are named (column, row), 160 pixels a side,
// (0, 0) at the top left:
//   row 0: (0) a flat-shaded cone, eight facets of eight flat colours, lit
//          from the upper left; (1) the same cone smooth-shaded, a gradient;
//          (2) a colour-mapped panel (drawer 8), a blue and white checker;
//          (3) a smooth cone with an environment map, red rising to the
//          right and green downward with the normals.
//   row 1: a grey bar fills the lower half of the row; over it and the black
//          above, panels of (0) blended green (drawer 9), (1) the checker
//          added (drawer 10), (2) the checker blended (drawer 11), (3) pink
//          added (drawer 14).
//   row 2: (0) a checkered cell crossing the near plane, drawn as the two
//          triangles the clipper makes, all inside its region; (1) a grey
//          cell facing the eye on the left, and on the right nothing: a red
//          cell wound away is culled; (2) a yellow light flare; (3) a trail
//          flare, a white comet moving right: dim at the object itself (the
//          newest sprite has intensity 0), bright just behind it, narrowing
//          to the left, nothing ahead of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "host/error.h"
#include "image/tga.h"
#include "tests/render/golden_scene.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/tgawriter.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
// Mesa draws the same frame from run to run; its two software rasterisers
// (llvmpipe, softpipe) differ by at most 3 levels, in colour rounding and
// texture filtering. 4 allows for that, not for a moved edge or a wrong colour.
constexpr int TOLERANCE = 4;

// From the source folder, not __FILE__: a compiler cache that shares objects
// between checkouts makes __FILE__ relative, and the test runs elsewhere.
const std::filesystem::path REFERENCE =
    std::filesystem::path(AQUARIUM_SOURCE_DIR) / "tests" / "render" / "golden" / "scene_frame.tga";

// A loaded 24-bit picture, rows top first, blue, green, red.
struct Picture {
    std::unique_ptr<std::uint8_t, decltype(&std::free)> pixels{nullptr, std::free};
    std::int32_t width = 0, height = 0, bits = 0;

    const std::uint8_t* At(int x, int y) const { return pixels.get() + (static_cast<std::size_t>(y) * width + x) * 3; }
};

Picture Load(const std::string& path)
{
    Picture picture;
    picture.pixels.reset(TGA::Load(path.c_str(), &picture.width, &picture.height, &picture.bits));
    return picture;
}

struct Colour {
    double red, green, blue;
};

// Mean colour of the pixels x0 <= x < x1, y0 <= y < y1.
Colour Mean(const Picture& picture, int x0, int y0, int x1, int y1)
{
    Colour sum{0, 0, 0};
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* const pixel = picture.At(x, y);
            sum.blue += pixel[0], sum.green += pixel[1], sum.red += pixel[2];
        }
    }
    const double count = static_cast<double>((x1 - x0) * (y1 - y0));
    return {sum.red / count, sum.green / count, sum.blue / count};
}

std::size_t DistinctColours(const Picture& picture, int column, int row)
{
    std::set<std::uint32_t> colours;
    for (int y = row * golden::REGION; y < (row + 1) * golden::REGION; ++y) {
        for (int x = column * golden::REGION; x < (column + 1) * golden::REGION; ++x) {
            const std::uint8_t* const p = picture.At(x, y);
            colours.insert(static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16);
        }
    }
    return colours.size();
}

// The scene is drawn once for every test of the suite.
class GoldenFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch_ = new test_support::ScratchDirectory;
        Error::Reset();
        golden::WriteScene();
        rendered_ =
            test_support::Aqtool({"render", golden::SCENE_FILE, std::to_string(golden::RENDER_TIME), "frame.tga"});
        frame_ = new Picture(Load("frame.tga"));
    }

    static void TearDownTestSuite()
    {
        delete frame_;
        delete scratch_;
    }

    void SetUp() override
    {
        ASSERT_EQ(rendered_.status, 0) << rendered_.err;
        // The offscreen display has no 640 x 480 mode; its message is not a failure to show.
        EXPECT_EQ(rendered_.err, "");
        ASSERT_NE(frame_->pixels, nullptr) << Error::Text();
        ASSERT_EQ(frame_->width, WIDTH);
        ASSERT_EQ(frame_->height, HEIGHT);
        ASSERT_EQ(frame_->bits, 24);
    }

    static test_support::ScratchDirectory* scratch_;
    static test_support::AqtoolOutcome rendered_;
    static Picture* frame_;
};

test_support::ScratchDirectory* GoldenFrame::scratch_ = nullptr;
test_support::AqtoolOutcome GoldenFrame::rendered_;
Picture* GoldenFrame::frame_ = nullptr;

// Keeps a frame that does not match for a look, run-length encoded as the
// reference is stored, so that a frame found right can replace it. It goes
// into the build, not the temporary directory, which every test leaves as it
// found it.
std::string KeepFrame(const Picture& frame)
{
    const std::filesystem::path kept = AQUARIUM_BUILD_DIR "/golden_frame_actual.tga";
    TgaPicture picture;
    picture.imageType = TGA_TYPE_RUN_LENGTH;
    picture.width = static_cast<std::uint16_t>(frame.width);
    picture.height = static_cast<std::uint16_t>(frame.height);
    picture.pixels.assign(frame.pixels.get(), frame.pixels.get() + static_cast<std::size_t>(WIDTH) * HEIGHT * 3);
    EXPECT_TRUE(WriteBytesFile(kept.string(), TgaEncode(picture)));
    return kept.string();
}

TEST_F(GoldenFrame, MatchesTheReferenceWithinTheTolerance)
{
    const Picture reference = Load(REFERENCE.string());
    ASSERT_NE(reference.pixels, nullptr) << Error::Text() << "the frame drawn is kept as " << KeepFrame(*frame_);
    ASSERT_EQ(reference.width, WIDTH);
    ASSERT_EQ(reference.height, HEIGHT);
    int worst = 0;
    std::size_t differing = 0;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            int difference = 0;
            for (int channel = 0; channel < 3; ++channel)
                difference = std::max(difference, std::abs(frame_->At(x, y)[channel] - reference.At(x, y)[channel]));
            worst = std::max(worst, difference);
            differing += difference > TOLERANCE ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0u) << "pixels differ by more than " << TOLERANCE << " (at most " << worst
                             << "); the frame drawn is kept as " << (differing > 0 ? KeepFrame(*frame_) : "");
}

struct Rgb {
    int red, green, blue;
};

Rgb PixelAt(const Picture& picture, int x, int y)
{
    const std::uint8_t* const p = picture.At(x, y);
    return {p[2], p[1], p[0]};
}

std::size_t LitPixels(const Picture& picture, int x0, int y0, int x1, int y1)
{
    std::size_t lit = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb p = PixelAt(picture, x, y);
            lit += (p.red | p.green | p.blue) != 0 ? 1 : 0;
        }
    }
    return lit;
}

// A level of the frame: value (0 to 1) as OpenGL turns it into a byte.
int Level(double value) { return static_cast<int>(value * 255.0 + 0.5); }

// The sun's share on a cell facing the eye (the z row of its rotation) plus
// the materials' added light.
double FacingLight() { return std::cos(golden::SUN_PITCH) * std::cos(golden::SUN_HEADING) + golden::ADDED_LIGHT; }

TEST_F(GoldenFrame, FlatFacetsHaveOneColourEachAndSmoothShadingBlendsThem)
{
    EXPECT_LE(DistinctColours(*frame_, 0, 0), 12u);  // eight facets, black, a few edge pixels
    EXPECT_GT(DistinctColours(*frame_, 1, 0), 150u);
}

TEST_F(GoldenFrame, MapsShowTheirPictures)
{
    // The checker's top-left square is white, the next one blue, both lit
    // by the sun without the material's colour.
    const int white = Level(0xF0 / 255.0 * FacingLight());
    const Rgb whiteSquare = PixelAt(*frame_, 356, 36), blueSquare = PixelAt(*frame_, 385, 36);
    EXPECT_NEAR(whiteSquare.red, white, 3);
    EXPECT_NEAR(whiteSquare.blue, white, 3);
    EXPECT_GT(blueSquare.blue, 3 * blueSquare.red);
    // The environment map's red follows the normals' y and its green their
    // x: the cone's top is redder than its bottom, its right greener than its left.
    const Colour top = Mean(*frame_, 480, 0, 640, 80), bottom = Mean(*frame_, 480, 80, 640, 160);
    const Colour left = Mean(*frame_, 480, 0, 560, 160), right = Mean(*frame_, 560, 0, 640, 160);
    EXPECT_GT(top.red, bottom.red + 20);
    EXPECT_GT(right.green, left.green + 10);
}

TEST_F(GoldenFrame, SeeThroughPanelsBlendOrAddOverTheBar)
{
    const int barRow = 270, blackRow = 200;
    const Rgb bar = PixelAt(*frame_, 160, barRow);
    EXPECT_NEAR(bar.red, Level(0.6 * FacingLight()), 2);
    // Drawer 9 over black: the lit green times alpha 0.5.
    EXPECT_NEAR(PixelAt(*frame_, 80, blackRow).green, Level(0.5 * 0.9 * FacingLight()), 2);
    struct Case {
        int x;          // a column of the panel where the checker is light or plain
        bool additive;  // drawers 10 and 14 add; 9 and 11 mix
    };
    for (const Case& c : {Case{80, false}, Case{240, true}, Case{400, false}, Case{560, true}}) {
        SCOPED_TRACE(c.x);
        const Rgb over = PixelAt(*frame_, c.x, barRow);
        if (c.additive) {
            EXPECT_GE(over.red, bar.red);
            EXPECT_GE(over.green, bar.green);
            EXPECT_GT(over.blue, bar.blue);
        } else {
            EXPECT_LT(over.red, bar.red);
        }
    }
}

TEST_F(GoldenFrame, ClippingAndCullingLeaveNothingOutsideTheirPlace)
{
    // The clipped cell stays inside its region: the band between the rows is black.
    EXPECT_GT(LitPixels(*frame_, 0, 320, 160, 480), 4000u);
    EXPECT_EQ(LitPixels(*frame_, 0, 300, 640, 330), 0u);
    // The facing cell is drawn, the one wound away is not.
    EXPECT_GT(LitPixels(*frame_, 160, 320, 240, 480), 2000u);
    EXPECT_EQ(LitPixels(*frame_, 240, 320, 320, 480), 0u);
}

TEST_F(GoldenFrame, FlaresShowTheLightAndTheTrail)
{
    const Rgb light = PixelAt(*frame_, 400, 400);
    EXPECT_GT(light.red, light.blue + 100);
    EXPECT_EQ(LitPixels(*frame_, 320, 320, 340, 340), 0u);
    // The newest sprite, at the object, has intensity 0; the older ones
    // behind it (to the left) are bright; nothing lies ahead of it.
    EXPECT_LT(PixelAt(*frame_, 560, 400).red, 60);
    EXPECT_EQ(PixelAt(*frame_, 522, 400).red, 255);
    EXPECT_EQ(LitPixels(*frame_, 590, 320, 640, 480), 0u);
}

// The same scene at twice the size, averaged over 2 x 2 pixels: everything
// sized in pixels (the view, the clip edges, the flares, the near-plane cuts)
// scales with the picture, so only the finer edges differ.
TEST_F(GoldenFrame, DrawnAt1280By960AndAveragedTwoByTwoItIsThe640By480Frame)
{
    const test_support::AqtoolOutcome big = test_support::Aqtool(
        {"render", golden::SCENE_FILE, std::to_string(golden::RENDER_TIME), "big.tga", "--size", "1280x960"});
    ASSERT_EQ(big.status, 0) << big.err;
    const Picture twice = Load("big.tga");
    ASSERT_EQ(twice.width, 2 * WIDTH);
    ASSERT_EQ(twice.height, 2 * HEIGHT);
    double difference = 0.0;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const int sum = twice.At(2 * x, 2 * y)[channel] + twice.At(2 * x + 1, 2 * y)[channel] +
                                twice.At(2 * x, 2 * y + 1)[channel] + twice.At(2 * x + 1, 2 * y + 1)[channel];
                difference += std::abs(sum / 4.0 - frame_->At(x, y)[channel]);
            }
        }
    }
    const double mean = difference / (3.0 * WIDTH * HEIGHT);
    EXPECT_LT(mean, 3.0) << "mean difference in levels";
}

}  // namespace
