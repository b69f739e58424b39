// A model's tracks sampled as glTF 2.0 defines them: each interpolation at
// and between its keys and beyond both ends, the slerp that must take the
// shorter arc when the second quaternion has the other sign, the cubic
// spline's rotation normalised, and the times the key fitter is told of.
#include "tools/importer/tracks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using importer::Interpolation;
using Vector = std::array<double, 3>;
using Quaternion = std::array<double, 4>;

constexpr double PI = 3.14159265358979323846;

Quaternion AboutY(double angle)
{
    return {0.0, std::sin(angle / 2.0), 0.0, std::cos(angle / 2.0)};
}

// The angle of the rotation that takes a to b, whatever their signs.
double AngleBetween(const Quaternion& a, const Quaternion& b)
{
    const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    return 2.0 * std::acos(std::min(1.0, std::fabs(dot)));
}

TEST(ImportTracks, EachInterpolationHoldsItsKeysAndFillsBetweenThem)
{
    importer::VectorTrack track;
    track.keys = {{1.0, {0.0, 0.0, 0.0}, {}, {1.0, 0.0, 0.0}}, {3.0, {2.0, 4.0, -2.0}, {0.0, 3.0, 0.0}, {}}};
    // The cubic at s = 1/2 over 2 s: v0 / 2 + 2 × (b0 / 8) + v1 / 2 - 2 × (a1 / 8).
    const struct {
        Interpolation interpolation;
        double t;
        Vector value;
    } CASES[] = {
        {Interpolation::STEP, 0.0, {0.0, 0.0, 0.0}},          {Interpolation::STEP, 2.999, {0.0, 0.0, 0.0}},
        {Interpolation::STEP, 3.0, {2.0, 4.0, -2.0}},         {Interpolation::LINEAR, 2.0, {1.0, 2.0, -1.0}},
        {Interpolation::LINEAR, 1.5, {0.5, 1.0, -0.5}},       {Interpolation::LINEAR, 9.0, {2.0, 4.0, -2.0}},
        {Interpolation::CUBIC_SPLINE, 1.0, {0.0, 0.0, 0.0}},  {Interpolation::CUBIC_SPLINE, 2.0, {1.25, 1.25, -1.0}},
        {Interpolation::CUBIC_SPLINE, 3.0, {2.0, 4.0, -2.0}}, {Interpolation::CUBIC_SPLINE, -4.0, {0.0, 0.0, 0.0}},
    };
    for (const auto& c : CASES) {
        track.interpolation = c.interpolation;
        const Vector value = importer::Sample(track, c.t, {9.0, 9.0, 9.0});
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(value[i], c.value[i], 1e-12) << static_cast<int>(c.interpolation) << " at " << c.t;
    }
    EXPECT_EQ(importer::Sample(importer::VectorTrack{}, 1.0, {1.0, 2.0, 3.0}), (Vector{1.0, 2.0, 3.0}));
}

TEST(ImportTracks, SlerpTakesTheShorterArcWhenTheSecondKeyHasTheOtherSign)
{
    importer::RotationTrack track;
    const Quaternion flipped = AboutY(PI / 2.0);
    track.keys = {{0.0, AboutY(0.0)}, {1.0, {-flipped[0], -flipped[1], -flipped[2], -flipped[3]}}};
    for (const Interpolation interpolation : {Interpolation::LINEAR, Interpolation::SPHERICAL_LINEAR}) {
        track.interpolation = interpolation;
        for (const double s : {0.25, 0.5, 0.9})
            EXPECT_NEAR(AngleBetween(importer::Sample(track, s, {}), AboutY(s * PI / 2.0)), 0.0, 1e-7) << s;
    }
}

TEST(ImportTracks, ACubicSplineRotationIsNormalised)
{
    importer::RotationTrack track;
    track.interpolation = Interpolation::CUBIC_SPLINE;
    track.keys = {{0.0, AboutY(0.0), {}, {0.0, 2.0, 0.0, 0.0}}, {1.0, AboutY(PI), {0.0, 2.0, 0.0, 0.0}, {}}};
    const Quaternion q = importer::Sample(track, 0.3, {});
    EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0, 1e-12);
    EXPECT_GT(q[1], 0.0);
}

TEST(ImportTracks, OnlyAStepTrackThatChangesValueJumps)
{
    importer::RotationTrack rotation;
    rotation.interpolation = Interpolation::STEP;
    const Quaternion half = AboutY(PI);
    // The third key is the second's rotation with the other sign: no jump.
    rotation.keys = {{0.0, AboutY(0.0)}, {1.0, half}, {2.0, {-half[0], -half[1], -half[2], -half[3]}}};
    importer::VectorTrack position;
    position.interpolation = Interpolation::STEP;
    position.keys = {{0.5, {1.0, 0.0, 0.0}}, {1.5, {1.0, 0.0, 0.0}}, {2.5, {1.0, 1.0, 0.0}}};
    std::vector<double> keyTimes, jumpTimes;
    importer::AddTimes(rotation, keyTimes, jumpTimes);
    importer::AddTimes(position, keyTimes, jumpTimes);
    EXPECT_EQ(keyTimes, (std::vector<double>{0.0, 1.0, 2.0, 0.5, 1.5, 2.5}));
    EXPECT_EQ(jumpTimes, (std::vector<double>{1.0, 2.5}));
    position.interpolation = Interpolation::LINEAR;
    jumpTimes.clear();
    importer::AddTimes(position, keyTimes, jumpTimes);
    EXPECT_TRUE(jumpTimes.empty());
}

TEST(ImportTracks, ATrackThatCannotBeSampledIsRefused)
{
    std::string why;
    importer::VectorTrack backwards;
    backwards.keys = {{1.0, {}}, {1.0, {}}};
    importer::VectorTrack nan;
    nan.keys = {{0.0, {std::nan(""), 0.0, 0.0}}};
    importer::RotationTrack zero;
    zero.keys = {{0.0, {0.0, 0.0, 0.0, 0.0}}};
    EXPECT_FALSE(importer::CheckTrack(backwards, why));
    EXPECT_FALSE(importer::CheckTrack(nan, why));
    EXPECT_FALSE(importer::CheckTrack(zero, why));
    EXPECT_FALSE(why.empty());
    importer::RotationTrack fine;
    fine.keys = {{0.0, AboutY(0.0)}, {0.5, AboutY(1.0)}};
    EXPECT_TRUE(importer::CheckTrack(fine, why));
}

}  // namespace
