// Names of the show's shared meshes and pictures, written by WriteCommon and
// used by every act: the racing craft, the flare sprites, the environment
// map. Archive names, back-slashed as the scene files store them.
#pragma once

#include <vector>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/craft.h"

namespace Library {

constexpr int CRAFT_COUNT = 3;
// The hero's red craft, the blue rival, the yellow third.
constexpr const char* CRAFT[CRAFT_COUNT] = {"data\\common\\objects\\craft_red.vob",
                                            "data\\common\\objects\\craft_blue.vob",
                                            "data\\common\\objects\\craft_yellow.vob"};
constexpr int HERO = 0;
constexpr int RIVAL = 1;
constexpr int THIRD = 2;
// Craft i's style, its livery picture named there.
CraftStyle CraftStyleOf(int craft);
Picture CraftLiveryOf(int craft);

// Flare sprites: a soft glow, a star with rays, a glow with a halo ring.
constexpr const char* GLOW = "data\\common\\pictures\\glow.tga";
constexpr const char* STAR = "data\\common\\pictures\\star.tga";
constexpr const char* HALO = "data\\common\\pictures\\halo.tga";
constexpr const char* EMBER = "data\\common\\pictures\\ember.tga";

// Far behind the stars: a wall of coloured clouds facing -z (the intro's
// title and the credits look at it).
constexpr const char* NEBULA = "data\\common\\objects\\nebula.vob";
constexpr const char* NEBULA_PICTURE = "data\\common\\pictures\\nebula.jpg";

// A bright chrome surroundings map for environment-mapped metal.
constexpr const char* CHROME = "data\\common\\pictures\\chrome.jpg";

// The pit buildings' stacked picture (the start pit writes it, the garage's
// outside shares it): a facade of lit windows, roof plates, the frame's grey.
constexpr const char* PITS = "data\\startpit\\pictures\\pits.jpg";
constexpr int PITS_FACADE = 0, PITS_ROOF = 1, PITS_FRAME = 2;
Picture PitsPicture(std::vector<Band>& bands);

}  // namespace Library
