// A model's material as the demo's: the base colour (or the diffuse colour
// of formats without one) becomes the colour, the base colour picture the
// colour map, a base alpha below 1 transparency; smooth shading follows the
// model's normals. Every material gets a little light of its own, as the
// tools' worlds give their models, so that a side facing away from every
// light is dark but not black.
#pragma once

#include <string>
#include <vector>

#include "scene/vector.h"

struct aiMaterial;

namespace importer {

class Pictures;

constexpr float AMBIENT = 0.1f;  // added to the light sum of every corner

VECTOR_FILE_Material MakeMaterial(const aiMaterial& material, bool smooth, Pictures& pictures,
                                  std::vector<std::string>& leftOut);

}  // namespace importer
