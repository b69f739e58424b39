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

// Before the corners of cell are lit, on a mesh whose static flag is
// meshIsStatic: static lights are skipped once the cell's cache is valid.
void BeginCellLighting(const Cell& cell, std::uint32_t meshIsStatic);

// Lights corner k of cell with gLighting.normal into its colour k. While the
// cache is not valid yet on a static mesh, the static lights' share is kept
// as cache k.
void LightCorner(Cell& cell, int k, std::uint32_t meshIsStatic);

// After corner 2: on a static mesh the cache is valid from now on.
void EndCellLighting(Cell& cell, std::uint32_t meshIsStatic);
