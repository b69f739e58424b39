// A city at night along a boulevard: the road and pavements following a
// path, towers with lit windows on both sides, street lamps. Everything but
// the lamps' heads maps into one stacked picture, so that a stretch draws
// with two materials however its cells interleave. Built in stretches of
// the path like the canyon, so a scene carries what it sees.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/path.h"

struct CityLook {
    std::uint32_t atlas = 0;        // the material of the stacked picture
    std::vector<Band> facades;      // windows, 8 across and 4 floors up each, 24 x 12 units
    Band road;                      // across the road, 10 units along
    Band pavement;
    Uv dark;                        // a point of plain dark wall, for roofs and poles
    std::uint32_t lamp = 0;         // the lamps' heads
};

constexpr float ROAD_HALF_WIDTH = 16.0f;
constexpr float KERB_HALF_WIDTH = 22.0f;

// The road and the city beside it from distance from to to along path.
Mesh BuildCityStretch(const Path& path, float from, float to, const CityLook& look, std::uint32_t seed);

// Where the street lamps stand in that stretch (their heads), for flares.
std::vector<Vec3> CityLamps(const Path& path, float from, float to);
