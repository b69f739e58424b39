#include "tools/importer/axes.h"

namespace importer {

VECTOR_FILE_Vertex Axes::Vertex(const aiVector3D& p) const
{
    const Vec3 v = Position(p);
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// Conjugation by the mirror flips the elements that mix z with x or y.
Mat3 Axes::Rotation(const aiMatrix3x3& r)
{
    const double rows[3][3] = {{r.a1, r.a2, r.a3}, {r.b1, r.b2, r.b3}, {r.c1, r.c2, r.c3}};
    Mat3 mirrored;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            mirrored.m[i][j] = (i == 2) != (j == 2) ? -rows[i][j] : rows[i][j];
    }
    return mirrored;
}

}  // namespace importer
