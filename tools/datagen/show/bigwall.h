// The great wall of the race at dusk, as its act builds it, for the pictures
// of the show made outside the demo (the program's icon).
#pragma once

#include <vector>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/picture.h"

namespace BigWall {

constexpr float WALL_X = 26.0f;  // the wall's face, beside the causeway
constexpr const char* SURFACES = "data\\podrace_bigwall\\pictures\\wall.jpg";  // facade, deck, frame stacked

// The one colour map of a stretch; bands gets where each picture went.
Picture Surfaces(std::vector<Band>& bands);
// A stretch of the wall with its causeway, along +z from 0: the causeway's
// top at y = 0 about x = 0, the wall's face toward it at WALL_X.
Mesh Stretch();
// The sky at dusk, top to horizon.
Picture SkyPicture();

}  // namespace BigWall
