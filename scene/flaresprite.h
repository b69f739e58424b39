// A flare sprite: one screen-facing square of a lens flare, queued in the
// ordering table like a cell. The Flare plugin places and appends it every
// frame; the sprite drawer of the polygon table draws it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "host/ordertable.h"

class Material;

struct FlareSprite {
    static constexpr std::int32_t TYPE = 12;         // the sprite drawer's polygon table index
    static constexpr std::uint32_t PRIORITY = 240;   // drawn with the translucent cells

    PolygonNode node{nullptr, TYPE, 0, PRIORITY};
    float x0 = 0.0f, y0 = 0.0f, z0 = 0.0f;  // one corner of the square, camera space
    float x1 = 0.0f, y1 = 0.0f, z1 = 0.0f;  // the opposite corner; the drawer uses z0 for both
    float red = 1.0f, green = 1.0f, blue = 1.0f;
    float intensity = 1.0f;                  // multiplies the colour
    Material* material = nullptr;            // shared by a flare's sprites, owned by the flare
};

static_assert(std::is_standard_layout_v<FlareSprite> && offsetof(FlareSprite, node) == 0,
              "the ordering table links sprites through their node");
