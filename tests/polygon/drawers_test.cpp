// The triangle drawers against the recording GL library: state set up only
// on a change of material and in its fixed order, the colour call of each
// drawer, clipped cells, the vertex with the depth as w, flare sprites, and
// the depth comparison that only the additive mapped drawer sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "host/opengllib.h"
#include "host/systemobjects.h"
#include "image/texture.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "polygon/drawers.h"
#include "scene/flaresprite.h"
#include "scene/vector.h"
#include "tests/support/render_stage.h"

namespace {

using Lines = std::vector<std::string>;

// Corners at (0, 0, z0), (0.5, 0, z1), (0, 0.5, z2) of colour 0.5 and the
// behind bits the mesh swim would set.
struct TestCell {
    TestCell(Material& material, float z0 = 2.0f, float z1 = 2.0f, float z2 = 2.0f)
    {
        const float z[3] = {z0, z1, z2};
        for (int k = 0; k < 3; ++k) {
            atoms[k].camera[0] = k == 1 ? 0.5f : 0.0f;
            atoms[k].camera[1] = k == 2 ? 0.5f : 0.0f;
            atoms[k].camera[2] = z[k];
            atoms[k].behind = z[k] < 1.0f ? 1 : 0;
            cell.corners[k] = &atoms[k];
            cell.renderFlags |= atoms[k].behind << (2 + k);
        }
        std::fill(std::begin(cell.colours), std::end(cell.colours), 0.5f);
        cell.material = &material;
    }

    PolygonNode* node() { return &cell.node; }

    Atom atoms[3];
    Cell cell;
};

class DrawersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scoped_.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
        test_support::SetUpRenderStage();
        platform::FakeGLReset();
        gDrawState = 0;
        map_.flags = Material::COLOUR_MAP;
        map_.colourMap = nullptr;
    }

    void TearDown() override { OpenGLLib::Free(); }

    // The recorded calls of one entry point, in order.
    static Lines CallsOf(const std::string& name)
    {
        Lines lines;
        for (const std::string& line : platform::FakeGLCalls()) {
            if (line.compare(0, name.size() + 1, name + "(") == 0)
                lines.push_back(line);
        }
        return lines;
    }

    // One frame through OrderTableDraw of cells drawn as type.
    static void DrawFrame(std::vector<TestCell*> cells, std::int32_t type)
    {
        PolygonNode terminator;
        test_support::StartFrame(&terminator);
        for (TestCell* cell : cells) {
            cell->cell.node.type = type;
            OrderTableAppend(SetA(gAquarium.orderTable), 0, cell->node());
        }
        gAquarium.mode = 1;
        OrderTableDraw::Swim();
        gAquarium.mode = 0;
    }

    platform::ScopedFakeBackend scoped_;
    Material plain_;
    Material other_;
    Material map_;
};

TEST_F(DrawersTest, StateIsSetUpOnlyWhenTheMaterialChanges)
{
    TestCell first(plain_), second(plain_), between(other_);
    DrawOpaque(0, first.node());
    DrawOpaque(0, second.node());
    EXPECT_EQ(CallsOf("glPolygonMode").size(), 1u);
    DrawOpaque(0, between.node());
    DrawOpaque(0, first.node());
    EXPECT_EQ(CallsOf("glPolygonMode").size(), 3u);
    EXPECT_EQ(CallsOf("glBegin").size(), 3u);
    EXPECT_EQ(CallsOf("glEnd").size(), 3u);
}

TEST_F(DrawersTest, AdditiveMappedStateFollowsTheTableOrderThenOneTriangle)
{
    TestCell cell(map_);
    map_.further[1] = 0.25f;
    DrawAdditiveMapped(0, cell.node());
    const Lines expected = {
        "glEnd()", "glPolygonMode(0x408, 0x1B02)", "glEnable(0xB71)", "glDepthMask(0)", "glDepthFunc(0x203)",
        "glEnable(0xBE2)", "glBlendFunc(0x302, 0x1)", "glShadeModel(0x1D01)", "glEnable(0xDE1)",
        "glBindTexture(0xDE1, 0)", "glBegin(0x4)", "glNormal3f(0, 0, 1)",
        "glTexCoord2f(0, 0)", "glColor4f(0.5, 0.5, 0.5, 0.75)", "glVertex4f(0, 0, 1, 2)",
        "glTexCoord2f(0, 0)", "glColor4f(0.5, 0.5, 0.5, 0.75)", "glVertex4f(1.2, 0, 1, 2)",
        "glTexCoord2f(0, 0)", "glColor4f(0.5, 0.5, 0.5, 0.75)", "glVertex4f(0, 1.6, 1, 2)"};
    EXPECT_EQ(platform::FakeGLCalls(), expected);
}

struct ColourCase {
    const char* what;
    PolygonFunction drawer;
    bool textured;
    const char* colourCall;  // of every corner
};

const ColourCase COLOUR_CASES[] = {
    {"opaque", DrawOpaque, false, "glColor3f(0.5, 0.5, 0.5)"},
    {"opaque mapped", DrawOpaqueMapped, true, "glColor4f(0.5, 0.5, 0.5, 1)"},
    {"blended", DrawBlended, false, "glColor4f(0.5, 0.5, 0.5, 0.75)"},
    {"additive mapped", DrawAdditiveMapped, true, "glColor4f(0.5, 0.5, 0.5, 0.75)"},
    {"blended mapped", DrawBlendedMapped, true, "glColor4f(0.5, 0.5, 0.5, 0.75)"},
    {"additive", DrawAdditive, false, "glColor4f(0.5, 0.5, 0.5, 0.75)"},
};

TEST_F(DrawersTest, EachDrawerSendsItsColourCallAndAlphaFromTransparency)
{
    for (const ColourCase& test : COLOUR_CASES) {
        platform::FakeGLReset();
        gDrawState = 0;
        Material material;
        material.further[1] = 0.25f;
        TestCell cell(material);
        test.drawer(0, cell.node());
        const std::string colourName = std::string(test.colourCall).substr(0, 9);
        EXPECT_EQ(CallsOf(colourName), Lines(3, test.colourCall)) << test.what;
        EXPECT_EQ(CallsOf("glTexCoord2f").size(), test.textured ? 3u : 0u) << test.what;
        EXPECT_EQ(CallsOf(test.textured ? "glEnable" : "glDisable").back(),
                  test.textured ? "glEnable(0xDE1)" : "glDisable(0xDE1)")
            << test.what;
    }
}

TEST_F(DrawersTest, ACellAcrossTheNearPlaneSendsTheSecondClippedTriangleFirst)
{
    TestCell oneBehind(plain_, 0.5f, 2.0f, 3.0f);
    DrawOpaque(0, oneBehind.node());
    // Second triangle (cut A-B, C, cut C-A), then the first (cut A-B, B, C);
    // cut points lie on the near plane.
    EXPECT_EQ(CallsOf("glVertex4f"), (Lines{"glVertex4f(0.4, 0, 0, 1)", "glVertex4f(0, 1.6, 2, 3)",
                                            "glVertex4f(0, 0.32, 0, 1)", "glVertex4f(0.4, 0, 0, 1)",
                                            "glVertex4f(1.2, 0, 1, 2)", "glVertex4f(0, 1.6, 2, 3)"}));
    EXPECT_EQ(CallsOf("glNormal3f").size(), 2u);

    platform::FakeGLReset();
    TestCell twoBehind(plain_, 0.5f, 0.5f, 3.0f);
    DrawOpaque(0, twoBehind.node());
    EXPECT_EQ(CallsOf("glVertex4f").size(), 3u);
}

TEST_F(DrawersTest, DepthAfterTheDivisionByWIsZeroAtTheNearPlaneAndOneHalfAtTwo)
{
    TestCell cell(plain_, 1.0f, 2.0f, 2.0f);
    DrawOpaque(0, cell.node());
    // (z - 1) / z: 0 / 1 and 1 / 2; x: 0.5 × 768 / 2 + 320 = 512 is 0.6 = 1.2 / 2.
    EXPECT_EQ(CallsOf("glVertex4f"),
              (Lines{"glVertex4f(0, 0, 0, 1)", "glVertex4f(1.2, 0, 1, 2)", "glVertex4f(0, 1.6, 1, 2)"}));
}

TEST_F(DrawersTest, ASpriteWithoutColourMapIsAddedUntexturedInItsColourTimesIntensity)
{
    FlareSprite sprite;
    Material flare;
    sprite.material = &flare;
    sprite.x0 = -1.0f, sprite.y0 = -1.0f, sprite.z0 = 4.0f;
    sprite.x1 = 1.0f, sprite.y1 = 1.0f, sprite.z1 = 9.0f;
    sprite.red = 0.5f, sprite.green = 0.25f, sprite.blue = 1.0f, sprite.intensity = 2.0f;
    DrawSprite(0, &sprite.node);
    const Lines expected = {
        "glEnd()", "glPolygonMode(0x408, 0x1B02)", "glEnable(0xB71)", "glDepthMask(0)", "glShadeModel(0x1D00)",
        "glEnable(0xBE2)", "glBlendFunc(0x1, 0x1)", "glDisable(0xDE1)", "glBegin(0x4)",
        "glNormal3f(0, 0, 1)", "glColor3f(1, 0.5, 2)",
        "glTexCoord2f(0, 0)", "glVertex4f(-2.4, -3.2, 3, 4)", "glTexCoord2f(0, 1)", "glVertex4f(-2.4, 3.2, 3, 4)",
        "glTexCoord2f(1, 1)", "glVertex4f(2.4, 3.2, 3, 4)", "glNormal3f(0, 0, 1)",
        "glTexCoord2f(0, 0)", "glVertex4f(-2.4, -3.2, 3, 4)", "glTexCoord2f(1, 0)", "glVertex4f(2.4, -3.2, 3, 4)",
        "glTexCoord2f(1, 1)", "glVertex4f(2.4, 3.2, 3, 4)"};
    EXPECT_EQ(platform::FakeGLCalls(), expected);
}

// Finite data may still overflow on its way (a camera x of 2e38 times the
// x factor 2.4); whatever is no number leaves its triangle out, whole, and
// the next one is drawn as ever.
TEST_F(DrawersTest, ATriangleOrSpriteWithAValueThatIsNoNumberIsLeftOutWhole)
{
    constexpr float HUGE_X = 2e38f;
    constexpr float NAN_VALUE = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        void (*spoil)(TestCell&);
    };
    const Case cases[] = {
        {"x overflows", [](TestCell& c) { c.atoms[1].camera[0] = HUGE_X; }},
        {"colour NaN", [](TestCell& c) { c.cell.colours[4] = NAN_VALUE; }},
        {"map coordinate infinite", [](TestCell& c) { c.cell.uv[5] = std::numeric_limits<float>::infinity(); }},
    };
    for (const Case& test : cases) {
        platform::FakeGLReset();
        gDrawState = 0;
        TestCell spoilt(map_), sound(map_);
        test.spoil(spoilt);
        DrawOpaqueMapped(0, spoilt.node());
        DrawOpaqueMapped(0, sound.node());
        EXPECT_EQ(CallsOf("glVertex4f").size(), 3u) << test.what;
        EXPECT_EQ(CallsOf("glNormal3f").size(), 1u) << test.what;
        EXPECT_FALSE(platform::FakeGLSawNonFinite()) << test.what;
    }
    platform::FakeGLReset();
    FlareSprite sprite;
    sprite.z0 = 4.0f;
    sprite.intensity = NAN_VALUE;
    DrawSprite(0, &sprite.node);
    EXPECT_TRUE(CallsOf("glVertex4f").empty());
    EXPECT_FALSE(platform::FakeGLSawNonFinite());
}

TEST_F(DrawersTest, LessOrEqualIsSetOnlyByTheAdditiveMappedDrawer)
{
    TestCell a(map_), b(other_);
    for (const std::int32_t type :
         {DrawMode::OPAQUE, DrawMode::OPAQUE_MAPPED, DrawMode::BLENDED, DrawMode::BLENDED_MAPPED, DrawMode::ADDITIVE})
        DrawFrame({&a, &b}, type);
    EXPECT_TRUE(CallsOf("glDepthFunc").empty());
    DrawFrame({&a, &b}, DrawMode::ADDITIVE_MAPPED);
    EXPECT_EQ(CallsOf("glDepthFunc"), Lines(2, "glDepthFunc(0x203)"));
}

}  // namespace
