// Racing craft: a flattened hull between two engine pods, a glass canopy and
// glowing exhausts. The nose points along +z, up is +y; the craft is about
// 7 units long and 5 wide, its belly at y = 0 hovering above the ground.
#pragma once

#include <string>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/picture.h"
#include "tools/datagen/builders/surfaces.h"

struct CraftStyle {
    std::string livery;       // colour map of the whole craft: CraftLivery's picture
    Colour exhaust{1.0f, 0.55f, 0.2f};
    Colour canopy{0.3f, 0.6f, 0.9f};
};

// The craft's one colour map: the paint with a stripe along the middle, then
// bands of engine metal and dark struts, so that the craft's solid parts
// draw with one material.
Picture CraftLivery(Colour paint, Colour stripe, Colour trim);

Mesh BuildCraft(const CraftStyle& style);
// The craft in two parts: the shell (hull, fins, canopy) and the frame
// (engines, exhausts, struts), which together make BuildCraft's craft.
Mesh BuildCraftShell(const CraftStyle& style);
Mesh BuildCraftFrame(const CraftStyle& style);

// Where the two exhausts are in the craft's own space, for flares and trails.
Vec3 CraftExhaust(int side);  // side -1 left, +1 right
