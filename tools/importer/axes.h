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

#include "scene/vector.h"

namespace importer {

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A rotation or any 3 x 3 matrix, row-major, acting on column vectors.
struct Mat3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

class Axes {
public:
    explicit Axes(double scale) : scale_(scale) {}

    double Scale() const { return scale_; }
    // A position: mirrored and scaled.
    Vec3 Position(const aiVector3D& p) const { return {p.x * scale_, p.y * scale_, -p.z * scale_}; }
    VECTOR_FILE_Vertex Vertex(const aiVector3D& p) const;
    // A direction: mirrored only.
    static Vec3 Direction(const aiVector3D& d) { return {d.x, d.y, -d.z}; }
    // S R S.
    static Mat3 Rotation(const aiMatrix3x3& r);

private:
    double scale_;
};

}  // namespace importer
