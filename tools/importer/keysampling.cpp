// Sampling the model against the demo's channels. The demo's rotation is
// built by its own code (render/pose.h) from float channels, so the angle
// measured is the one the demo would show.
#include "tools/importer/keysampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/pose.h"

namespace importer {

namespace {

constexpr double SAMPLES_PER_FRAME = 2.0;  // checked points of a segment, within the two below
constexpr int MIN_SAMPLES = 8;
constexpr int MAX_SAMPLES = 64;
constexpr double SLOPE_STEP = 1e-3;                // frames, the step of the one-sided differences
constexpr double PROPER = 1e-4;                    // largest error of R^T R = I and det R = 1 in a rotation
constexpr double SQRT_EIGHT = 2.8284271247461903;  // |R1 - R2| = sqrt(8) sin(angle / 2)

constexpr int PITCH = KeyChannel::PITCH;
constexpr int HEADING = KeyChannel::HEADING;
constexpr int BANK = KeyChannel::BANK;

// Finite and within a float's range, so that every key made of it is a finite float.
template <std::size_t N>
bool FloatSized(const std::array<double, N>& values)
{
    return std::all_of(values.begin(), values.end(),
                       [](double x) { return std::fabs(x) <= std::numeric_limits<float>::max(); });
}

bool Proper(const std::array<double, 9>& r)
{
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const double dot = r[i] * r[j] + r[3 + i] * r[3 + j] + r[6 + i] * r[6 + j];
            if (std::fabs(dot - (i == j ? 1.0 : 0.0)) > PROPER)
                return false;
        }
    }
    const double det =
        r[0] * (r[4] * r[8] - r[5] * r[7]) - r[1] * (r[3] * r[8] - r[5] * r[6]) + r[2] * (r[3] * r[7] - r[4] * r[6]);
    return std::fabs(det - 1.0) <= PROPER;
}

KeyChannels Channels(const LocalPose& pose, const DemoAngles& angles)
{
    KeyChannels c;
    for (int i = 0; i < 3; ++i) {
        c[KeyChannel::POSITION_X + i] = pose.position[i];
        c[KeyChannel::SCALE_X + i] = pose.scale[i];
    }
    c[PITCH] = angles.pitch;
    c[HEADING] = angles.heading;
    c[BANK] = angles.bank;
    return c;
}

int SampleCount(double span)
{
    return std::clamp(static_cast<int>(std::ceil(span * SAMPLES_PER_FRAME)), MIN_SAMPLES, MAX_SAMPLES);
}

std::string Seconds(double t)
{
    return std::to_string(t) + " s";
}

}  // namespace

KeyChannels ChannelsOf(const LocalPose& pose)
{
    return Channels(pose, AnglesOf(pose.rotation));
}

KeyChannels ChannelsNear(const LocalPose& pose, const DemoAngles& previous)
{
    return Channels(pose, AnglesNear(pose.rotation, previous));
}

DemoAngles AnglesIn(const KeyChannels& value)
{
    return {value[PITCH], value[HEADING], value[BANK]};
}

ModelSampler::ModelSampler(const PoseCurve& curve, bool scaled, std::string& why)
    : curve_(curve), scaled_(scaled), why_(why)
{
    const FitTolerance& tolerance = curve.tolerance;
    for (int i = 0; i < 3; ++i) {
        weight_[KeyChannel::POSITION_X + i] = 1.0 / tolerance.length;
        weight_[PITCH + i] = 1.0 / tolerance.angle;
        weight_[KeyChannel::SCALE_X + i] = scaled ? tolerance.reach / tolerance.length : 0.0;
    }
}

bool ModelSampler::Usable() const
{
    const FitTolerance& tolerance = curve_.tolerance;
    if (!curve_.pose)
        why_ = "the curve has no pose to follow";
    else if (!(std::isfinite(curve_.fps) && curve_.fps > 0.0))
        why_ = "the frames per second are not a positive number";
    else if (!(std::isfinite(tolerance.angle) && tolerance.angle > 0.0 && std::isfinite(tolerance.length) &&
               tolerance.length > 0.0 && std::isfinite(tolerance.reach) && tolerance.reach >= 0.0))
        why_ = "the tolerance of the key fit is not a positive number";
    else
        return true;
    return false;
}

bool ModelSampler::At(double t, LocalPose& pose) const
{
    pose = curve_.pose(t);
    if (!FloatSized(pose.position) || !FloatSized(pose.rotation) || !FloatSized(pose.scale)) {
        why_ = "the model's pose at " + Seconds(t) + " holds a number that is not a finite float";
        return false;
    }
    if (!Proper(pose.rotation)) {
        why_ = "the model's rotation at " + Seconds(t) + " is not a proper rotation";
        return false;
    }
    return true;
}

double ModelSampler::DepartureOf(const float* channels, const LocalPose& model) const
{
    Pose pose;
    std::copy(channels, channels + MotionKey::CHANNEL_COUNT, pose.c);
    SetTranslationAndRotation(pose);
    double moved = 0.0, turned = 0.0, scaled = 0.0;
    for (int r = 0; r < 3; ++r) {
        const double d = channels[KeyChannel::POSITION_X + r] - model.position[r];
        moved += d * d;
        for (int c = 0; c < 3; ++c) {
            const double e = pose.rotation.m[4 * r + c] - model.rotation[3 * r + c];
            turned += e * e;
        }
        if (scaled_)
            scaled = std::max(scaled, std::fabs(channels[KeyChannel::SCALE_X + r] - model.scale[r]));
    }
    const double angle = 2.0 * std::asin(std::min(1.0, std::sqrt(turned) / SQRT_EIGHT));
    const FitTolerance& tolerance = curve_.tolerance;
    return std::max(
        {std::sqrt(moved) / tolerance.length, angle / tolerance.angle, scaled * tolerance.reach / tolerance.length});
}

// The largest departure of channelsAt(frame, channels) at the segment's
// samples, and where it lies.
template <class ChannelsAt>
bool ModelSampler::Worst(const FitKnot& from, const FitKnot& to, ChannelsAt channelsAt, double& departure,
                         double& fraction) const
{
    const double span = static_cast<double>(to.frame) - from.frame;
    const int samples = SampleCount(span);
    departure = 0.0;
    fraction = 0.5;
    for (int j = 1; j <= samples; ++j) {
        const float frame = static_cast<float>(from.frame + span * j / (samples + 1));
        float channels[ObjectKey::CHANNEL_COUNT] = {};
        channelsAt(frame, channels);
        LocalPose model;
        if (!At(frame / curve_.fps, model))
            return false;
        const double d = DepartureOf(channels, model);
        if (d > departure) {
            departure = d;
            fraction = (frame - from.frame) / span;
        }
    }
    return true;
}

bool ModelSampler::LineDeparture(const FitKnot& from, const FitKnot& to, double& departure) const
{
    const double span = static_cast<double>(to.frame) - from.frame;
    double fraction = 0.0;
    const auto line = [&](float frame, float* channels) {
        const double u = (frame - from.frame) / span;
        for (int c = 0; c < ObjectKey::CHANNEL_COUNT; ++c)
            channels[c] = static_cast<float>(from.value[c] + u * (to.value[c] - from.value[c]));
    };
    return Worst(from, to, line, departure, fraction);
}

bool ModelSampler::KeyDeparture(const ObjectKey* keys, std::uint32_t count, const FitKnot& from, const FitKnot& to,
                                double& departure, double& fraction) const
{
    const auto demo = [&](float frame, float* channels) { EvaluateObjectKeys(frame, count, keys, channels); };
    return Worst(from, to, demo, departure, fraction);
}

bool ModelSampler::KeyDeparture(const MotionKey* keys, std::uint32_t count, const FitKnot& from, const FitKnot& to,
                                double& departure, double& fraction) const
{
    const auto demo = [&](float frame, float* channels) { EvaluateMotionKeys(frame, count, keys, channels); };
    return Worst(from, to, demo, departure, fraction);
}

// The model's slope beside knot (side -1 before it, +1 after), per frame, by
// a one-sided difference of second order that never crosses to the other side.
bool ModelSampler::Slope(const FitKnot& knot, double side, double step, KeyChannels& slope) const
{
    LocalPose near, far;
    if (!At(knot.time + side * step / curve_.fps, near) || !At(knot.time + 2.0 * side * step / curve_.fps, far))
        return false;
    const DemoAngles angles = AnglesIn(knot.value);
    const KeyChannels c1 = ChannelsNear(near, angles);
    const KeyChannels c2 = ChannelsNear(far, angles);
    for (std::size_t c = 0; c < slope.size(); ++c)
        slope[c] = side * (-3.0 * knot.value[c] + 4.0 * c1[c] - c2[c]) / (2.0 * step);
    return true;
}

bool ModelSampler::Slopes(const std::vector<FitKnot>& knots, std::size_t i, TangentGoal& goal) const
{
    const FitKnot& knot = knots[i];
    goal.at = &knot.value;
    goal.frame = knot.frame;
    goal.weight = weight_;
    if (i > 0) {
        goal.before = &knots[i - 1].value;
        goal.frameBefore = knots[i - 1].frame;
        goal.enters = !knot.straight;
    }
    if (i + 1 < knots.size()) {
        goal.after = &knots[i + 1].value;
        goal.frameAfter = knots[i + 1].frame;
        goal.leaves = !knots[i + 1].straight;
    }
    const double stepBefore = std::min(SLOPE_STEP, (goal.frame - goal.frameBefore) / 4.0);
    const double stepAfter = std::min(SLOPE_STEP, (goal.frameAfter - goal.frame) / 4.0);
    return (!goal.enters || Slope(knot, -1.0, stepBefore, goal.slopeBefore)) &&
           (!goal.leaves || Slope(knot, 1.0, stepAfter, goal.slopeAfter));
}

}  // namespace importer
