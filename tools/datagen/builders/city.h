// A city at night along a boulevard: the road and pavements following a
// path, towers with lit windows on both sides, street lamps. Built in
// stretches of the path like the canyon, so a scene carries what it sees.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/path.h"

struct CityMaterials {
    std::vector<std::uint32_t> facades;  // pictures of windows, 24 x 24 units each
    std::uint32_t roof = 0;
    std::uint32_t road = 0;              // its picture spans the road's width
    std::uint32_t pavement = 0;
    std::uint32_t pole = 0;
    std::uint32_t lamp = 0;
};

constexpr float ROAD_HALF_WIDTH = 16.0f;
constexpr float KERB_HALF_WIDTH = 22.0f;

// The road and the city beside it from distance from to to along path.
Mesh BuildCityStretch(const Path& path, float from, float to, const CityMaterials& materials, std::uint32_t seed);

// Where the street lamps stand in that stretch (their heads), for flares.
std::vector<Vec3> CityLamps(const Path& path, float from, float to);
