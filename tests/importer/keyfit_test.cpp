// The demo's keys for a model's curve follow it: evaluated densely with the
// demo's own evaluator and rotation order, they stay within the tolerance, in
// few keys where the model is linear or a spline the demo can draw, unwrapped
// so that nothing turns the long way, with jumps kept sharp; keys are finite
// and ascend; a hostile curve stops at the key bound; curves that cannot be
// keyed are refused with a reason.
#include "tools/importer/keyfit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/pose.h"
#include "tools/importer/tracks.h"

namespace {

using importer::Interpolation;
using importer::PoseCurve;

constexpr double PI = 3.14159265358979323846;
constexpr double FPS = 25.0;
constexpr double DENSE_STEP = 0.05;  // frames between the dense checks

struct ModelTracks {
    importer::VectorTrack translation;
    importer::RotationTrack rotation;
    importer::VectorTrack scale;
};

std::array<double, 4> About(std::array<double, 3> axis, double angle)
{
    const double s = std::sin(angle / 2.0) / std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    return {axis[0] * s, axis[1] * s, axis[2] * s, std::cos(angle / 2.0)};
}

importer::RotationTrack Spin(std::array<double, 3> axis, double step, double seconds, int keys)
{
    importer::RotationTrack track;
    for (int i = 0; i < keys; ++i)
        track.keys.push_back({i * seconds, About(axis, i * step)});
    return track;
}

// Bounces of height 1 every 0.5 s, each arc a parabola as glTF's cubic
// spline draws it, travelling x per second along x.
importer::VectorTrack Bounce(double travel)
{
    importer::VectorTrack track;
    track.interpolation = Interpolation::CUBIC_SPLINE;
    for (int i = 0; i <= 6; ++i) {
        const double fall = i % 2 == 0 ? 8.0 : 0.0;
        track.keys.push_back(
            {0.25 * i, {travel * 0.25 * i, i % 2 == 0 ? 0.0 : 1.0, 0.0}, {travel, -fall, 0.0}, {travel, fall, 0.0}});
    }
    return track;
}

PoseCurve CurveOf(const ModelTracks& tracks)
{
    PoseCurve curve;
    curve.fps = FPS;
    curve.tolerance.length = 0.001;
    importer::AddTimes(tracks.translation, curve.keyTimes, curve.jumpTimes);
    importer::AddTimes(tracks.rotation, curve.keyTimes, curve.jumpTimes);
    importer::AddTimes(tracks.scale, curve.keyTimes, curve.jumpTimes);
    curve.pose = [tracks](double t) {
        importer::LocalPose pose;
        pose.position = importer::Sample(tracks.translation, t, {0.0, 0.0, 0.0});
        pose.rotation = importer::RotationMatrix(importer::Sample(tracks.rotation, t, {0.0, 0.0, 0.0, 1.0}));
        pose.scale = importer::Sample(tracks.scale, t, {1.0, 1.0, 1.0});
        return pose;
    };
    return curve;
}

// The largest departure of the demo's keys from the curve, as a share of the
// tolerance, every DENSE_STEP frames from the first key to the last, the
// frames inside a jump left out.
double DenseDeparture(const std::vector<ObjectKey>& keys, const PoseCurve& curve)
{
    double worst = 0.0;
    const std::uint32_t n = static_cast<std::uint32_t>(keys.size());
    for (double f = keys.front().frame; f <= keys.back().frame; f += DENSE_STEP) {
        const double t = f / curve.fps;
        const auto insideJump = [&](double j) { return t < j && t > j - 0.1 / curve.fps; };
        if (std::any_of(curve.jumpTimes.begin(), curve.jumpTimes.end(), insideJump))
            continue;
        Pose demo;
        EvaluateObjectKeys(static_cast<float>(f), n, keys.data(), demo.c);
        SetTranslationAndRotation(demo);
        const importer::LocalPose model = curve.pose(t);
        double moved = 0.0, turned = 0.0, scaled = 0.0;
        for (int r = 0; r < 3; ++r) {
            moved += std::pow(demo.c[r] - model.position[r], 2.0);
            scaled = std::max(scaled, std::fabs(demo.c[KeyChannel::SCALE_X + r] - model.scale[r]));
            for (int c = 0; c < 3; ++c)
                turned += std::pow(demo.rotation.m[4 * r + c] - model.rotation[3 * r + c], 2.0);
        }
        const double angle = 2.0 * std::asin(std::sqrt(turned / 8.0));  // |R1 - R2| = sqrt(8) sin(angle / 2)
        worst = std::max({worst, std::sqrt(moved) / curve.tolerance.length, angle / curve.tolerance.angle,
                          scaled * curve.tolerance.reach / curve.tolerance.length});
    }
    return worst;
}

template <class Key>
void ExpectFiniteAndAscending(const std::vector<Key>& keys)
{
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_TRUE(std::isfinite(keys[i].frame) && std::isfinite(keys[i].tension) &&
                    std::isfinite(keys[i].continuity) && std::isfinite(keys[i].bias));
        for (const float v : keys[i].value)
            EXPECT_TRUE(std::isfinite(v));
        if (i > 0) {
            EXPECT_GT(keys[i].frame, keys[i - 1].frame) << i;
        }
    }
}

ModelTracks Translation(const importer::VectorTrack& track)
{
    return {track, {}, {}};
}

ModelTracks Rotation(const importer::RotationTrack& track)
{
    return {{}, track, {}};
}

TEST(KeyFit, TypicalCurvesAreFollowedWithinTheToleranceInFewKeys)
{
    importer::VectorTrack line;
    line.keys = {{0.0, {0.0, 0.0, 0.0}}, {2.0, {1.0, 2.0, 3.0}}};
    importer::VectorTrack steps;
    steps.interpolation = Interpolation::STEP;
    steps.keys = {{0.0, {0.0, 0.0, 0.0}}, {1.0, {1.0, 0.0, 0.0}}, {2.0, {1.0, 1.0, 0.0}}};
    const struct {
        const char* name;
        ModelTracks tracks;
        std::size_t most;  // keys
    } CASES[] = {
        {"linear translation", Translation(line), 2},
        {"slerp spin of 360 degrees in 2 s", Rotation(Spin({0.0, 1.0, 0.0}, PI / 2.0, 0.5, 5)), 5},
        {"spin about a tilted axis", Rotation(Spin({1.0, 1.0, 0.3}, PI / 2.0, 0.5, 5)), 24},
        {"350 degrees in steps of 10", Rotation(Spin({0.0, 1.0, 0.0}, PI / 18.0, 0.1, 36)), 36},
        {"a somersault through pitch 90", Rotation(Spin({1.0, 0.0, 0.0}, PI / 4.0, 0.25, 9)), 9},
        {"cubic-spline bounce", Translation(Bounce(0.0)), 7},
        {"cubic-spline bounce travelling", Translation(Bounce(1.2)), 24},
        {"step track", Translation(steps), 5},
        {"scale wobble", {{}, {}, Bounce(0.5)}, 24},
    };
    for (const auto& c : CASES) {
        const PoseCurve curve = CurveOf(c.tracks);
        importer::FittedKeys<ObjectKey> fitted;
        std::string why;
        ASSERT_TRUE(importer::FitObjectKeys(curve, fitted, why)) << c.name << ": " << why;
        EXPECT_TRUE(fitted.withinTolerance) << c.name;
        EXPECT_LE(fitted.keys.size(), c.most) << c.name;
        EXPECT_LE(DenseDeparture(fitted.keys, curve), 1.0) << c.name;
        ExpectFiniteAndAscending(fitted.keys);
    }
}

TEST(KeyFit, ATurnOf350DegreesIsUnwrappedSoTheDemoNeverTurnsBack)
{
    const PoseCurve curve = CurveOf(Rotation(Spin({0.0, 1.0, 0.0}, PI / 18.0, 0.1, 36)));
    importer::FittedKeys<ObjectKey> fitted;
    std::string why;
    ASSERT_TRUE(importer::FitObjectKeys(curve, fitted, why)) << why;
    for (std::size_t i = 1; i < fitted.keys.size(); ++i)
        EXPECT_NEAR(fitted.keys[i].value[KeyChannel::HEADING] - fitted.keys[i - 1].value[KeyChannel::HEADING],
                    PI / 18.0, 1e-5)
            << i;
    EXPECT_NEAR(fitted.keys.back().value[KeyChannel::HEADING], 35.0 * PI / 18.0, 1e-5);
}

TEST(KeyFit, AStepJumpsOnItsOwnFrameAndTimesKeepTheirOrigin)
{
    importer::VectorTrack steps;
    steps.interpolation = Interpolation::STEP;
    steps.keys = {{2.0, {0.0, 0.0, 0.0}}, {3.0, {1.0, 0.0, 0.0}}};
    const PoseCurve curve = CurveOf(Translation(steps));
    importer::FittedKeys<ObjectKey> fitted;
    std::string why;
    ASSERT_TRUE(importer::FitObjectKeys(curve, fitted, why)) << why;
    ASSERT_EQ(fitted.keys.size(), 3u);
    EXPECT_EQ(fitted.keys.front().frame, 50.0f);
    EXPECT_EQ(fitted.keys.back().frame, 75.0f);
    const auto x = [&](float frame) {
        float c[ObjectKey::CHANNEL_COUNT];
        EvaluateObjectKeys(frame, 3, fitted.keys.data(), c);
        return c[KeyChannel::POSITION_X];
    };
    EXPECT_EQ(x(60.0f), 0.0f);
    EXPECT_EQ(x(74.99f), 0.0f);
    EXPECT_EQ(x(75.0f), 1.0f);
    EXPECT_EQ(x(40.0f), 0.0f);
}

TEST(KeyFit, LightsAndTheCameraHaveNoScaleToFollow)
{
    const PoseCurve curve = CurveOf({{}, Spin({0.0, 1.0, 0.0}, PI / 2.0, 0.5, 5), Bounce(0.5)});
    importer::FittedKeys<MotionKey> motion;
    importer::FittedKeys<ObjectKey> object;
    std::string why;
    ASSERT_TRUE(importer::FitMotionKeys(curve, motion, why)) << why;
    ASSERT_TRUE(importer::FitObjectKeys(curve, object, why)) << why;
    EXPECT_EQ(motion.keys.size(), 8u);  // the spin's and the bounce's key times, no more
    EXPECT_GT(object.keys.size(), motion.keys.size());
    EXPECT_FLOAT_EQ(motion.keys.back().value[KeyChannel::HEADING], static_cast<float>(2.0 * PI));
}

TEST(KeyFit, AHostileCurveStopsAtAKeyAFrameAndSaysItIsOutsideTheTolerance)
{
    PoseCurve curve;
    curve.keyTimes = {0.0, 4.0};
    curve.pose = [](double t) {
        importer::LocalPose pose;
        pose.position[0] = std::sin(t * 1000.0) * std::sin(t * 7777.0);
        return pose;
    };
    importer::FittedKeys<ObjectKey> fitted;
    std::string why;
    ASSERT_TRUE(importer::FitObjectKeys(curve, fitted, why)) << why;
    EXPECT_LE(fitted.keys.size(), 2u + 100u + 1u);
    EXPECT_FALSE(fitted.withinTolerance);
    EXPECT_GT(fitted.worstDeparture, 1.0);
    ExpectFiniteAndAscending(fitted.keys);
}

TEST(KeyFit, ACurveThatCannotBeKeyedIsRefusedWithAReason)
{
    const auto pose = [](importer::LocalPose p) { return [p](double) { return p; }; };
    importer::LocalPose mirror, nan;
    mirror.rotation[0] = -1.0;
    nan.position[1] = std::nan("");
    PoseCurve base;
    base.keyTimes = {0.0, 1.0};
    base.pose = pose({});
    std::vector<PoseCurve> refused(6, base);
    refused[0].pose = pose(mirror);
    refused[1].pose = pose(nan);
    refused[2].fps = 0.0;
    refused[3].keyTimes.push_back(std::nan(""));
    refused[4].keyTimes.push_back(1e6);  // frame 2.5e7
    refused[5].tolerance.length = 0.0;
    for (std::size_t i = 0; i < refused.size(); ++i) {
        importer::FittedKeys<ObjectKey> fitted;
        std::string why;
        EXPECT_FALSE(importer::FitObjectKeys(refused[i], fitted, why)) << i;
        EXPECT_FALSE(why.empty()) << i;
    }
}

}  // namespace
