// A smooth path through control points (a centripetal-free, uniform
// Catmull-Rom spline), measured by its length, so that things can move along
// it at a chosen speed and scenery can be laid along it.
#pragma once

#include <vector>

#include "tools/datagen/builders/vec3.h"

class Path {
public:
    // At least two points; the ends are extended in a straight line.
    explicit Path(std::vector<Vec3> points);

    float Length() const { return lengths_.back(); }
    // The point and the unit direction at distance along the path, clamped to
    // its ends.
    Vec3 At(float distance) const;
    Vec3 Direction(float distance) const;
    // The unit vector to the right of the direction, level with the ground.
    Vec3 Side(float distance) const;

private:
    Vec3 Spline(float t) const;  // t from 0 to the number of segments

    std::vector<Vec3> points_;
    std::vector<float> lengths_;  // length from the start at each sample
    float samplesPerSegment_ = 32.0f;
};
