// The model's side of the key fit: its pose at a time, checked before use;
// the demo's channels of a pose; the model's slopes beside a key; and how far
// a straight line, or the demo's own evaluation of the keys, departs from the
// model between two keys. Departures are shares of the tolerance: the
// largest of position, orientation (the angle between the demo's rotation,
// built as the demo builds it, and the model's) and scale times reach.
// Segments are checked at two points a frame (8 to 64 a segment), at the
// float frames the demo would be given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/keys.h"
#include "tools/importer/keyangles.h"
#include "tools/importer/keyfit.h"
#include "tools/importer/keytangents.h"

namespace importer {

// A key in the making. The segment "into" a knot is the one from the knot before.
struct FitKnot {
    double time = 0.0;          // seconds, where the model is sampled
    float frame = 0.0f;         // the key's frame
    bool jumpEnd = false;       // the segment into this knot is a STEP jump: a line, not checked
    LocalPose pose;             // the model at time
    KeyChannels value = {};     // unwrapped channels
    bool fresh = true;          // new, or its value changed this round
    bool straight = false;      // the segment into this knot is a line
    bool straightMoved = true;  // ... and that changed this round
    Tcb tcb;
    bool keyMoved = true;        // the key written for this knot changed this round
    double departure = 0.0;      // of the segment into this knot, as a share of the tolerance
    double worstFraction = 0.5;  // where in that segment
};

// The channels of pose: its angles the principal ones, or those nearest previous.
KeyChannels ChannelsOf(const LocalPose& pose);
KeyChannels ChannelsNear(const LocalPose& pose, const DemoAngles& previous);
DemoAngles AnglesIn(const KeyChannels& value);

class ModelSampler {
public:
    // scaled: the scale channels count (object keys). The curve and why are
    // borrowed for the sampler's life; why receives every failure.
    ModelSampler(const PoseCurve& curve, bool scaled, std::string& why);

    // Whether the curve's function, fps and tolerance can be used.
    bool Usable() const;

    // The model at t; false for a pose that is not finite or not a proper rotation.
    bool At(double t, LocalPose& pose) const;

    // Largest departure of the straight line between the two knots' values.
    bool LineDeparture(const FitKnot& from, const FitKnot& to, double& departure) const;

    // Largest departure of the demo's evaluation of keys (a run of the track
    // that holds the segment's keys and their neighbours, starting at key 0
    // of the track or at the key before the segment) between from and to,
    // and where in the segment it lies (0 to 1).
    bool KeyDeparture(const ObjectKey* keys, std::uint32_t count, const FitKnot& from, const FitKnot& to,
                      double& departure, double& fraction) const;
    bool KeyDeparture(const MotionKey* keys, std::uint32_t count, const FitKnot& from, const FitKnot& to,
                      double& departure, double& fraction) const;

    // The goal of knot i's tangents: its neighbours, the model's slopes on the
    // sides where a spline segment lies, and the channels' weights.
    bool Slopes(const std::vector<FitKnot>& knots, std::size_t i, TangentGoal& goal) const;

private:
    template <class ChannelsAt>
    bool Worst(const FitKnot& from, const FitKnot& to, ChannelsAt channelsAt, double& departure,
               double& fraction) const;
    double DepartureOf(const float* channels, const LocalPose& model) const;
    bool Slope(const FitKnot& knot, double side, double step, KeyChannels& slope) const;

    const PoseCurve& curve_;
    const bool scaled_;
    std::string& why_;
    KeyChannels weight_ = {};  // per channel: 1 / tolerance
};

}  // namespace importer
