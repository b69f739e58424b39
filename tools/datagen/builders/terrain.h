// Ground and rock: a canyon carved along a path (floor, rock walls, rims),
// open ground, and the sky dome over both. The canyon is built in pieces of
// the path, so that a scene carries only the stretch its camera sees.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/path.h"

struct CanyonShape {
    float floorWidth = 36.0f;     // flat-ish floor between the wall feet
    float wallHeight = 70.0f;     // rims above the floor
    float rimWidth = 60.0f;       // level ground beyond each rim
    float rowSpacing = 7.5f;      // along the path
    int columns = 20;             // across, rim to rim
    float openUntil = 0.0f;       // no walls before this distance along the path...
    float fullFrom = 0.0f;        // ...rising to their full height here
    std::uint32_t seed = 1;
};

// The stretch of the canyon from distance from to distance to along path,
// in one material whose map is a picture of rock across with a band of sand
// in its middle fifth (see Banded). Its front faces look into the canyon.
Mesh BuildCanyon(const Path& path, float from, float to, const CanyonShape& shape, std::uint32_t material);

// The height of the canyon's ground at lateral offset across (negative to the
// left) at distance along: what craft fly above.
float CanyonHeight(const CanyonShape& shape, float across, float along);

// Level ground of size x size around centre, rows x rows quads, gently rolled
// by noise of the given height; front faces up.
Mesh BuildGround(Vec3 centre, float size, int rows, float roll, std::uint32_t material, float repeat,
                 std::uint32_t seed);

// A dome seen from inside, of radius about centre, the horizon ring sunk a
// little below centre so that no gap shows under it.
Mesh BuildSkyDome(Vec3 centre, float radius, std::uint32_t material);
