// Procedural pictures of the show: sprites for flares, environment maps,
// natural surfaces (rock, sand), made surfaces (metal plates, liveries,
// concrete, facades with lit windows, chequers) and glass bump sources.
// Sides are powers of two, as colour maps must be. Same arguments, same
// picture.
#pragma once

#include <cstdint>

#include "tools/datagen/builders/picture.h"

// A soft round glow on black, brightest at the centre; spikes > 0 adds that
// many thin rays; ring > 0 adds a halo at that fraction of the radius.
Picture GlowSprite(int size, Colour tint, int spikes = 0, float ring = 0.0f);

// A sky above a horizon band and dark ground below, for environment maps:
// the renderer picks a texel from the normal's x and y.
Picture ChromeMap(int size, Colour sky, Colour horizon, Colour ground);

// Layered rock with strata, or wind-swept sand, between two colours. Rock
// repeats its pattern repeat times down the picture.
Picture Rock(int size, Colour light, Colour dark, std::uint32_t seed, int repeat = 1);
Picture Sand(int size, Colour light, Colour dark, std::uint32_t seed);

// Riveted metal plates with seams.
Picture Plates(int size, Colour base, Colour seam, std::uint32_t seed);

// A racing livery: paint, a stripe along the middle, and panel lines.
Picture Livery(int size, Colour paint, Colour stripe, Colour trim);

// Stained concrete with painted lines every quarter.
Picture Concrete(int size, Colour base, Colour line, std::uint32_t seed);

// A night facade: columns x rows windows, a share of them lit in warm or
// cold light, on a dark wall.
Picture Facade(int width, int height, int columns, int rows, float litShare, std::uint32_t seed);

// A chequer of squares x squares squares.
Picture Chequer(int size, int squares, Colour a, Colour b);

// A honeycomb of raised cells, for glass bump pictures.
Picture Honeycomb(int size, int cells);

// A vertical gradient from top to bottom, with stars in the upper part when
// stars is above 0 (the share of pixels that get one).
Picture Sky(int width, int height, Colour top, Colour horizon, float stars, std::uint32_t seed);

// Stripes of warning paint, diagonal.
Picture Hazard(int size, Colour a, Colour b);

// outer with inner in the rows from v0 to v1 (0 top, 1 bottom), blended over
// a soft edge; both pictures of the same size.
Picture Banded(const Picture& outer, const Picture& inner, float v0, float v1);

// Asphalt at night with its edge lines and a dash of centre line, the road
// across the picture and running down it.
Picture Asphalt(int width, int height);

// Clouds of coloured gas on black, for backdrops in space.
Picture Nebula(int size, Colour a, Colour b, std::uint32_t seed);
