// The demo's keys for a node's curve. The model says where the node is at
// any time (a function, already in the demo's axes) and when it has keys; the
// fitter writes keys at those times (time × fps: a key at 2.0 s at 25 fps is
// frame 50), turns each rotation into the demo's heading, pitch and bank
// unwrapped against the key before, chooses per key the linear flag (where
// the model is straight in the demo's channels) and tension, continuity and
// bias (to leave and enter each key with the model's slopes), and then
// evaluates its own keys with the demo's evaluator between them: wherever the
// demo's curve departs from the model's by more than the tolerance, it adds a
// key at the worst point of that segment and tries again.
//
// What is true of the keys made: finite floats in strictly ascending frames,
// no span 0. A jump (a STEP key) becomes two keys 1/1024 frame apart (more
// where a float frame is coarser) joined by a line, so the demo takes the new
// value on the jump's own frame. Each segment is checked at two points a
// frame (8 to 64 a segment) and refined until it departs by at most 90 % of
// the tolerance there, leaving room for what lies between the points. Before
// the first key the demo holds the first key, as the model does; past the
// last key the scene's end behaviour decides, not the fitter (the demo's hold
// holds the pose at the last key's frame truncated to a whole frame).
//
// Limits: at most one key per frame of the curve's span, plus one, beyond the
// model's own (and never more than MAX_TRACK_KEYS in all); at that bound, or
// where a segment is already shorter than 1/64 frame, refinement stops and
// the keys made so far are kept: the result then says whether the fit is
// outside the tolerance and by how much. The model's key times must lie
// within ±2^20 frames, where a float frame still holds a fraction of a frame.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "scene/keys.h"

namespace importer {

constexpr std::size_t MAX_TRACK_KEYS = std::size_t{1} << 18;  // keys of one fitted track at most

// A node's local transform at one time, in the demo's axes.
struct LocalPose {
    std::array<double, 3> position = {0.0, 0.0, 0.0};
    std::array<double, 9> rotation = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};  // row-major, proper
    std::array<double, 3> scale = {1.0, 1.0, 1.0};
};

// How far the demo's curve may depart from the model's at any time.
struct FitTolerance {
    double angle = 0.25 * 3.14159265358979323846 / 180.0;  // radians between the two orientations
    double length = 0.001;  // scene units between the two positions; the caller sets 0.1 % of the model's size
    double reach = 1.0;     // how far the node's geometry reaches from its origin: a scale error
                            // counts as that error × reach, against length (objects only)
};

// What the fitter knows of a node's curve.
struct PoseCurve {
    std::function<LocalPose(double seconds)> pose;  // the model's local pose, called often
    std::vector<double> keyTimes;                   // seconds: where the model has keys, the union over its channels
    std::vector<double> jumpTimes;                  // seconds: where a STEP channel changes value
    double fps = 25.0;                              // the scene's frames per second
    FitTolerance tolerance;
};

// Keys made for a curve, and how closely they follow it.
template <class Key>
struct FittedKeys {
    std::vector<Key> keys;
    bool withinTolerance = true;  // false: stopped at the key bound (see the limits above)
    double worstDeparture = 0.0;  // largest departure found, as a share of the tolerance
    double worstTime = 0.0;       // seconds, where it was found
};

// The keys of an object (9 channels) or of a light or the camera (6, no scale).
// False, with why naming the reason, when the curve cannot be keyed: no pose
// function, an fps or tolerance that is not a positive finite number, a time
// or pose that is not finite, a rotation that is not proper, a key time
// beyond the frames a float holds, more model keys than MAX_TRACK_KEYS, or no
// memory. With no key times the keys are one key at frame 0.
bool FitObjectKeys(const PoseCurve& curve, FittedKeys<ObjectKey>& fitted, std::string& why);
bool FitMotionKeys(const PoseCurve& curve, FittedKeys<MotionKey>& fitted, std::string& why);

}  // namespace importer
