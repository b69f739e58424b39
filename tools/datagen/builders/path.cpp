// Catmull-Rom evaluation and the length table, sampled finely once.
#include "tools/datagen/builders/path.h"

#include <algorithm>
#include <cmath>

Path::Path(std::vector<Vec3> points) : points_(std::move(points))
{
    const int segments = static_cast<int>(points_.size()) - 1;
    const int samples = segments * static_cast<int>(samplesPerSegment_);
    lengths_.push_back(0.0f);
    Vec3 previous = Spline(0.0f);
    for (int i = 1; i <= samples; ++i) {
        const Vec3 next = Spline(static_cast<float>(i) / samplesPerSegment_);
        lengths_.push_back(lengths_.back() + ::Length(next - previous));
        previous = next;
    }
}

Vec3 Path::Spline(float t) const
{
    const int last = static_cast<int>(points_.size()) - 1;
    const int i = std::min(static_cast<int>(std::floor(t)), last - 1);
    const float f = t - static_cast<float>(i);
    const auto point = [&](int k) {
        if (k < 0)
            return points_[0] * 2.0f - points_[1];
        if (k > last)
            return points_[last] * 2.0f - points_[last - 1];
        return points_[k];
    };
    const Vec3 p0 = point(i - 1), p1 = point(i), p2 = point(i + 1), p3 = point(i + 2);
    const float f2 = f * f, f3 = f2 * f;
    return (p1 * 2.0f + (p2 - p0) * f + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * f2 +
            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * f3) *
           0.5f;
}

Vec3 Path::At(float distance) const
{
    distance = std::clamp(distance, 0.0f, Length());
    const auto it = std::lower_bound(lengths_.begin(), lengths_.end(), distance);
    const std::size_t i = std::max<std::size_t>(1, static_cast<std::size_t>(it - lengths_.begin()));
    const float span = lengths_[i] - lengths_[i - 1];
    const float f = span > 0.0f ? (distance - lengths_[i - 1]) / span : 0.0f;
    return Spline((static_cast<float>(i - 1) + f) / samplesPerSegment_);
}

Vec3 Path::Direction(float distance) const
{
    constexpr float STEP = 0.5f;
    const float a = std::max(0.0f, distance - STEP), b = std::min(Length(), distance + STEP);
    return Normalised(At(b) - At(a));
}

Vec3 Path::Side(float distance) const
{
    const Vec3 d = Direction(distance);
    return Normalised(Vec3{d.z, 0.0f, -d.x});
}
