// The demo's frame for a model's numbers. The Open Asset Import Library
// gives every model right-handed, +Y up, a camera looking down -Z, in the
// model's units (glTF: metres). The demo's world has +Y up and a camera
// looking down +Z with x to the right: the same axes mirrored in z. So a
// point or a direction changes the sign of z, a rotation R becomes S R S
// (S the mirror), which is again a rotation, and a triangle's corners go
// the other way round, so that its front stays its front. Lengths are then
// multiplied by the user's scale.
#pragma once

#include <assimp/matrix3x3.h>
#include <assimp/vector3.h>

#include <array>

#include "scene/vector.h"

namespace importer {

using Vec3 = std::array<double, 3>;
using Rotation = std::array<double, 9>;  // row-major, acting on column vectors

class Axes {
public:
    explicit Axes(double scale) : scale_(scale) {}

    double Scale() const { return scale_; }
    // A position: mirrored and scaled.
    Vec3 Position(const Vec3& p) const { return {p[0] * scale_, p[1] * scale_, -p[2] * scale_}; }
    Vec3 Position(const aiVector3D& p) const { return Position(Vec3{p.x, p.y, p.z}); }
    VECTOR_FILE_Vertex Vertex(const aiVector3D& p) const;
    // A direction: mirrored only.
    static Vec3 Direction(const aiVector3D& d) { return {d.x, d.y, -d.z}; }
    // S R S.
    static Rotation Mirrored(const Rotation& r);

private:
    double scale_;
};

}  // namespace importer
