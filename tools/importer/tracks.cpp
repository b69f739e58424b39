// Sampling the model's tracks: the segment that holds a time, then the
// track's interpolation on it. Everything is double precision; the demo's
// floats come only with its keys.
#include "tools/importer/tracks.h"

#include <algorithm>
#include <cmath>

namespace importer {

namespace {

using Vector = std::array<double, 3>;
using Quaternion = std::array<double, 4>;

constexpr double NEARLY_PARALLEL = 0.9995;     // cosine above which slerp is a normalised line
constexpr double SAME_ROTATION = 1.0 - 1e-12;  // |cosine| of two keys that are one rotation

template <std::size_t N>
bool Finite(const std::array<double, N>& values)
{
    return std::all_of(values.begin(), values.end(), [](double x) { return std::isfinite(x); });
}

template <std::size_t N>
double Dot(const std::array<double, N>& a, const std::array<double, N>& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < N; ++i)
        sum += a[i] * b[i];
    return sum;
}

Quaternion Normalised(const Quaternion& q)
{
    const double length = std::sqrt(Dot(q, q));
    if (!(length > 0.0))
        return {0.0, 0.0, 0.0, 1.0};
    return {q[0] / length, q[1] / length, q[2] / length, q[3] / length};
}

// wa × a + wb × b, element by element.
template <std::size_t N>
std::array<double, N> Mix(const std::array<double, N>& a, double wa, const std::array<double, N>& b, double wb)
{
    std::array<double, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = wa * a[i] + wb * b[i];
    return out;
}

// glTF's cubic spline on one segment: values v0, v1, the out-tangent of the
// first key and the in-tangent of the second, stretched by the segment's length.
template <std::size_t N>
std::array<double, N> Hermite(const std::array<double, N>& v0, const std::array<double, N>& out0,
                              const std::array<double, N>& v1, const std::array<double, N>& in1, double length,
                              double s)
{
    const double s2 = s * s;
    const double s3 = s2 * s;
    std::array<double, N> value;
    for (std::size_t i = 0; i < N; ++i) {
        value[i] = (2.0 * s3 - 3.0 * s2 + 1.0) * v0[i] + (s3 - 2.0 * s2 + s) * length * out0[i] +
                   (-2.0 * s3 + 3.0 * s2) * v1[i] + (s3 - s2) * length * in1[i];
    }
    return value;
}

Quaternion Slerp(const Quaternion& from, const Quaternion& to, double s)
{
    const Quaternion a = Normalised(from);
    Quaternion b = Normalised(to);
    double cosine = Dot(a, b);
    if (cosine < 0.0) {  // q and -q are one rotation: take the shorter arc
        b = {-b[0], -b[1], -b[2], -b[3]};
        cosine = -cosine;
    }
    if (cosine > NEARLY_PARALLEL)
        return Normalised(Mix(a, 1.0 - s, b, s));
    const double angle = std::acos(cosine);
    const double sine = std::sin(angle);
    return Normalised(Mix(a, std::sin((1.0 - s) * angle) / sine, b, std::sin(s * angle) / sine));
}

// Index of the key that starts the segment holding t, for t strictly inside
// the keys' range.
template <class Key>
std::size_t SegmentStart(const std::vector<Key>& keys, double t)
{
    const auto after =
        std::upper_bound(keys.begin(), keys.end(), t, [](double time, const Key& key) { return time < key.time; });
    return static_cast<std::size_t>(after - keys.begin()) - 1;
}

template <class Track, class Value, class Between>
Value SampleTrack(const Track& track, double t, const Value& rest, Between between)
{
    const auto& keys = track.keys;
    if (keys.empty())
        return rest;
    if (!(t > keys.front().time))
        return keys.front().value;
    if (!(t < keys.back().time))
        return keys.back().value;
    const std::size_t k = SegmentStart(keys, t);
    const double length = keys[k + 1].time - keys[k].time;
    if (track.interpolation == Interpolation::STEP || !(length > 0.0))
        return keys[k].value;
    return between(keys[k], keys[k + 1], length, (t - keys[k].time) / length);
}

template <class Track>
bool CheckKeys(const Track& track, std::string& why)
{
    for (std::size_t i = 0; i < track.keys.size(); ++i) {
        const auto& key = track.keys[i];
        if (!std::isfinite(key.time) || !Finite(key.value) || !Finite(key.inTangent) || !Finite(key.outTangent)) {
            why = "key " + std::to_string(i) + " of a track holds a number that is not finite";
            return false;
        }
        if (i > 0 && !(key.time > track.keys[i - 1].time)) {
            why = "the key times of a track do not ascend at key " + std::to_string(i);
            return false;
        }
    }
    return true;
}

template <class Track, class Changed>
void AddTrackTimes(const Track& track, std::vector<double>& keyTimes, std::vector<double>& jumpTimes, Changed changed)
{
    for (std::size_t i = 0; i < track.keys.size(); ++i) {
        keyTimes.push_back(track.keys[i].time);
        if (track.interpolation == Interpolation::STEP && i > 0 &&
            changed(track.keys[i - 1].value, track.keys[i].value))
            jumpTimes.push_back(track.keys[i].time);
    }
}

}  // namespace

bool CheckTrack(const VectorTrack& track, std::string& why)
{
    return CheckKeys(track, why);
}

bool CheckTrack(const RotationTrack& track, std::string& why)
{
    if (!CheckKeys(track, why))
        return false;
    for (std::size_t i = 0; i < track.keys.size(); ++i) {
        if (!(Dot(track.keys[i].value, track.keys[i].value) > 0.0)) {
            why = "rotation key " + std::to_string(i) + " is not a rotation (length zero)";
            return false;
        }
    }
    return true;
}

Vector Sample(const VectorTrack& track, double t, const Vector& rest)
{
    const bool cubic = track.interpolation == Interpolation::CUBIC_SPLINE;
    return SampleTrack(track, t, rest, [cubic](const VectorKey& a, const VectorKey& b, double length, double s) {
        return cubic ? Hermite(a.value, a.outTangent, b.value, b.inTangent, length, s)
                     : Mix(a.value, 1.0 - s, b.value, s);
    });
}

Quaternion Sample(const RotationTrack& track, double t, const Quaternion& rest)
{
    const bool cubic = track.interpolation == Interpolation::CUBIC_SPLINE;
    return Normalised(
        SampleTrack(track, t, rest, [cubic](const RotationKey& a, const RotationKey& b, double length, double s) {
            return cubic ? Hermite(a.value, a.outTangent, b.value, b.inTangent, length, s) : Slerp(a.value, b.value, s);
        }));
}

std::array<double, 9> RotationMatrix(const Quaternion& q)
{
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {1.0 - 2.0 * (y * y + z * z), 2.0 * (x * y - z * w),       2.0 * (x * z + y * w),
            2.0 * (x * y + z * w),       1.0 - 2.0 * (x * x + z * z), 2.0 * (y * z - x * w),
            2.0 * (x * z - y * w),       2.0 * (y * z + x * w),       1.0 - 2.0 * (x * x + y * y)};
}

void AddTimes(const VectorTrack& track, std::vector<double>& keyTimes, std::vector<double>& jumpTimes)
{
    AddTrackTimes(track, keyTimes, jumpTimes, [](const Vector& a, const Vector& b) { return a != b; });
}

void AddTimes(const RotationTrack& track, std::vector<double>& keyTimes, std::vector<double>& jumpTimes)
{
    AddTrackTimes(track, keyTimes, jumpTimes, [](const Quaternion& a, const Quaternion& b) {
        return std::fabs(Dot(Normalised(a), Normalised(b))) < SAME_ROTATION;
    });
}

}  // namespace importer
