#include "tools/importer/axes.h"

namespace importer {

VECTOR_FILE_Vertex Axes::Vertex(const aiVector3D& p) const
{
    const Vec3 v = Position(p);
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// Conjugation by the mirror flips the elements that mix z with x or y.
Rotation Axes::Mirrored(const Rotation& r)
{
    Rotation mirrored = r;
    for (const int element : {2, 5, 6, 7})
        mirrored[element] = -r[element];
    return mirrored;
}

}  // namespace importer
