// A model's own animation curves, as glTF 2.0 defines them: a node's
// translation, rotation and scale each keyed at times of their own (seconds)
// with one interpolation per track. Sampling follows glTF's rules: before the
// first key the first value, after the last the last value, slerp along the
// shorter arc, the cubic spline's rotation normalised. Nothing here knows the
// demo's axes or keys; the key fitter (keyfit.h) turns sampled curves into keys.
//
// Limits: a track is sampled as given once CheckTrack accepts it (finite
// numbers, times strictly ascending, rotations of non-zero length); a track
// that was not checked never reads outside its keys but has no defined curve.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace importer {

// How a track goes from one key to the next. LINEAR and SPHERICAL_LINEAR
// are the same for a track of one kind: slerp for rotations, a straight line
// for vectors, whichever of the two a reader names.
enum class Interpolation { STEP, LINEAR, SPHERICAL_LINEAR, CUBIC_SPLINE };

// A translation or scale key. The tangents are read only by CUBIC_SPLINE, in
// units per second, as glTF stores them.
struct VectorKey {
    double time = 0.0;                 // seconds
    std::array<double, 3> value = {};  // x, y, z
    std::array<double, 3> inTangent = {};
    std::array<double, 3> outTangent = {};
};

// A rotation key: a unit quaternion x, y, z, w and, for CUBIC_SPLINE, its tangents.
struct RotationKey {
    double time = 0.0;  // seconds
    std::array<double, 4> value = {0.0, 0.0, 0.0, 1.0};
    std::array<double, 4> inTangent = {};
    std::array<double, 4> outTangent = {};
};

struct VectorTrack {
    Interpolation interpolation = Interpolation::LINEAR;
    std::vector<VectorKey> keys;  // ascending by time
};

struct RotationTrack {
    Interpolation interpolation = Interpolation::SPHERICAL_LINEAR;
    std::vector<RotationKey> keys;  // ascending by time
};

// Whether the track can be sampled: false, with why naming the first fault,
// for a non-finite number, times that do not strictly ascend, or a rotation
// key of length zero.
bool CheckTrack(const VectorTrack& track, std::string& why);
bool CheckTrack(const RotationTrack& track, std::string& why);

// The track's value at time t (seconds); rest for a track without keys.
std::array<double, 3> Sample(const VectorTrack& track, double t, const std::array<double, 3>& rest);
// A unit quaternion; rest (normalised) for a track without keys.
std::array<double, 4> Sample(const RotationTrack& track, double t, const std::array<double, 4>& rest);

// The row-major 3 x 3 rotation of unit quaternion q (x, y, z, w), column vectors.
std::array<double, 9> RotationMatrix(const std::array<double, 4>& q);

// Adds the track's key times to keyTimes and, for a STEP track, the times
// where its value changes to jumpTimes: what the key fitter needs to know of
// a curve besides its samples. Neither list is sorted.
void AddTimes(const VectorTrack& track, std::vector<double>& keyTimes, std::vector<double>& jumpTimes);
void AddTimes(const RotationTrack& track, std::vector<double>& keyTimes, std::vector<double>& jumpTimes);

}  // namespace importer
