// The light operations on one lit point and the material's shading: cones
// and ramp of a spot light, range and unclamped falloff of a point light,
// and the clamp and tint of a material.
#include <gtest/gtest.h>

#include <limits>

#include "render/lighting.h"
#include "scene/scenerecords.h"
#include "tests/support/render_stage.h"

namespace {

constexpr float TOLERANCE = 1e-6f;

// A point at (x, y, z) whose normal faces a light at the origin.
class LightingTest : public ::testing::Test {
protected:
    void SetUp() override { test_support::SetUpRenderStage(); }

    float Shade(Light& light, float x, float y, float z)
    {
        atom_.camera[0] = x;
        atom_.camera[1] = y;
        atom_.camera[2] = z;
        gLighting.atom = &atom_;
        gLighting.normal[0] = gLighting.normal[1] = 0.0f;
        gLighting.normal[2] = -1.0f;
        gLighting.dynamicSum[0] = gLighting.staticSum[0] = 0.0f;
        gAquarium.currentLightObject = &light;
        gAquarium.lightTable[light.type]();
        return gLighting.dynamicSum[0] + gLighting.staticSum[0];
    }

    Atom atom_;
};

struct SpotCase {
    const char* what;
    float x;              // the point is (x, 0, 4)
    float inner, outer;   // cone cosines
    float expected;       // red added
};

// On the axis D = 4; off it at x = 3, D = 5, s = 0.8 and d / D = 0.8.
const SpotCase SPOT_CASES[] = {
    {"dead on axis", 0.0f, 0.9f, 0.7f, 1.0f - 4.0f * 0.01f},
    {"inside the inner cone", 3.0f, 0.7f, 0.5f, 0.8f * (1.0f - 5.0f * 0.01f)},
    {"half way up the ramp", 3.0f, 0.9f, 0.7f, 0.8f * (1.0f - 5.0f * 0.01f) * 0.5f},
    {"outside the cone", 3.0f, 0.95f, 0.85f, 0.0f},
};

TEST_F(LightingTest, SpotLightIsFullInsideItsInnerConeAndRampsToTheOuter)
{
    for (const SpotCase& test : SPOT_CASES) {
        Light spot(Light::SPOT);
        spot.directionZ = 1.0f;
        spot.range = 100.0f;
        spot.falloff = 0.01f;
        spot.innerConeCosine = test.inner;
        spot.outerConeCosine = test.outer;
        EXPECT_NEAR(Shade(spot, test.x, 0.0f, 4.0f), test.expected, TOLERANCE) << test.what;
    }
}

TEST_F(LightingTest, PointLightAddsNothingBeyondItsRangeAndGoesNegativeWithinIt)
{
    Light point(Light::POINT);
    point.range = 4.0f;
    point.falloff = 0.3f;
    EXPECT_EQ(Shade(point, 0.0f, 0.0f, 5.0f), 0.0f) << "beyond the range";
    point.range = 10.0f;
    EXPECT_NEAR(Shade(point, 0.0f, 0.0f, 5.0f), 1.0f - 5.0f * 0.3f, TOLERANCE) << "no clamp at zero";
    EXPECT_EQ(Shade(point, 0.0f, 0.0f, -5.0f), 0.0f) << "behind the lit surface";
}

// A NaN met at run time (a direction normalised from a zero vector, a range
// that is no number) fails every condition of the light and adds nothing.
TEST_F(LightingTest, ANumberThatIsNoNumberAddsNoLight)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Light distant(Light::DISTANT);
    distant.directionZ = nan;
    EXPECT_EQ(Shade(distant, 0.0f, 0.0f, 4.0f), 0.0f) << "distant, direction NaN";
    Light point(Light::POINT);
    point.range = nan;
    EXPECT_EQ(Shade(point, 0.0f, 0.0f, 4.0f), 0.0f) << "point, range NaN";
    Light spot(Light::SPOT);
    spot.range = 100.0f;
    spot.directionX = spot.directionY = spot.directionZ = nan;
    spot.innerConeCosine = 0.9f;
    spot.outerConeCosine = 0.7f;
    EXPECT_EQ(Shade(spot, 0.0f, 0.0f, 4.0f), 0.0f) << "spot, direction NaN";
    spot.directionZ = 1.0f;
    spot.directionX = spot.directionY = 0.0f;
    spot.range = nan;
    EXPECT_EQ(Shade(spot, 0.0f, 0.0f, 4.0f), 0.0f) << "spot, range NaN";
    point.range = 100.0f;
    gLighting.normal[2] = nan;  // Shade's point (0, 0, 4) stays the lit one
    gAquarium.lightTable[point.type]();
    EXPECT_EQ(gLighting.dynamicSum[0], 0.0f) << "point, normal NaN";
}

struct ShadeCase {
    const char* what;
    std::uint32_t flags;
    float fourth, further, sum;
    float expected;  // for the colour 0.5
};

const ShadeCase SHADE_CASES[] = {
    {"clamped, then tinted", 0, 1.0f, 0.0f, 2.0f, 0.5f},
    {"a colour map gives the colour", Material::COLOUR_MAP, 1.0f, 0.0f, 2.0f, 1.0f},
    {"so does an environment map", Material::ENVIRONMENT, 1.0f, 0.0f, 2.0f, 1.0f},
    {"scaled and offset", 0, 2.0f, 0.25f, 0.25f, 0.375f},
    {"no lower clamp", Material::COLOUR_MAP, 1.0f, 0.0f, -1.5f, -1.5f},
};

TEST(MaterialShadeTest, SumsAreScaledOffsetClampedAtOneAndTintedWithoutMap)
{
    for (const ShadeCase& test : SHADE_CASES) {
        Material material;
        material.flags = test.flags;
        material.colour[0] = material.colour[1] = material.colour[2] = 0.5f;
        material.fourth = test.fourth;
        material.further[0] = test.further;
        float colour[3];
        Material::Shade(material, test.sum, test.sum, test.sum, colour);
        EXPECT_EQ(colour[0], test.expected) << test.what;
        EXPECT_EQ(colour[2], test.expected) << test.what;
    }
}

}  // namespace
