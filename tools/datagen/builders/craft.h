// Racing craft: a flattened hull between two engine pods, a glass canopy and
// glowing exhausts. The nose points along +z, up is +y; the craft is about
// 7 units long and 5 wide, its belly at y = 0 hovering above the ground.
#pragma once

#include <string>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/surfaces.h"

struct CraftStyle {
    std::string livery;       // colour map of the hull
    Colour engine{0.55f, 0.57f, 0.6f};
    Colour exhaust{1.0f, 0.55f, 0.2f};
    Colour canopy{0.3f, 0.6f, 0.9f};
};

Mesh BuildCraft(const CraftStyle& style);
// The craft in two parts: the shell (hull, fins, canopy) and the frame
// (engines, exhausts, struts), which together make BuildCraft's craft.
Mesh BuildCraftShell(const CraftStyle& style);
Mesh BuildCraftFrame(const CraftStyle& style);

// Where the two exhausts are in the craft's own space, for flares and trails.
Vec3 CraftExhaust(int side);  // side -1 left, +1 right
