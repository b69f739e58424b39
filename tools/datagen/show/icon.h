// The program's icon, for menus: the hero's red craft racing along the great
// wall at dusk on a rounded tile, the corners around the tile clear. Same
// side, same picture.
#pragma once

#include <cstdint>
#include <vector>

// side x side pixels: 8-bit red, green, blue and alpha, rows top first.
std::vector<std::uint8_t> ShowIcon(int side);
