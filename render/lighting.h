// The lighting state the mesh swims share with the light operations, and the
// corner lighting of a visible cell. Single thread; the state is valid only
// between a Light::Accumulate call and the use of its sums.
#pragma once

#include <cstdint>

struct Atom;
struct Cell;

struct LightingState {
    float normal[3] = {};          // camera-space normal to light with
    const Atom* atom = nullptr;    // whose camera-space position is lit
    std::uint32_t staticMask = 0;  // 1: static lights are skipped, their share is cached
    float dynamicSum[3] = {};      // red, green, blue
    float staticSum[3] = {};
};

extern LightingState gLighting;

// Lights the three corners of cell into its colours, all with one normal
// (flat) or each with its own (smooth). On a static mesh the first lighting
// of a cell keeps the static lights' share as its cache, and later ones skip
// those lights and read the cache.
void LightCellFlat(Cell& cell, const float* normal, std::uint32_t meshIsStatic);
void LightCellSmooth(Cell& cell, const float* const (&normals)[3], std::uint32_t meshIsStatic);
