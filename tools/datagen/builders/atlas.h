// Pictures stacked into one, so that a mesh needs one material where it
// would need several: every material change costs the drawers a batch and
// the GL its state, and cells of different materials interleave in depth
// order. Each picture becomes a band of rows; across a band the map wraps as
// usual, and up a surface the band is laid once per strip of geometry.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/picture.h"

struct Band {
    float v0 = 0.0f;  // its top row, 0 the picture's top
    float v1 = 1.0f;  // its bottom row
    // A point inside the band: u across as it comes, t from 0 at the band's
    // bottom to 1 at its top.
    Uv At(float u, float t) const { return {u, v1 + (v0 - v1) * t}; }
};

// pictures (all of one width) stacked top to bottom; bands gets where each
// went, pulled in by a row at each edge so that neighbours do not bleed in.
Picture Stack(const std::vector<Picture>& pictures, std::vector<Band>& bands);

// A flat quad with corners bottom left a, top left b, top right c, bottom
// right d as seen from its front, cut into strips from bottom to top, each
// strip showing the whole band, the map across repeated uRepeat times.
void AddBandQuad(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d, std::uint32_t material, const Band& band, float uRepeat,
                 int strips);

// The four walls of an upright box (as AddBox's sides) with the band laid
// once every stripHeight units up and once every uSpan units across; its
// top and bottom as one quad each showing the point roof of the band.
void AddBandBox(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, const Band& band, float uSpan,
                float stripHeight, Uv roof);

// Moves the map of the triangles from first on, made for a whole picture
// (v from 0 to 1), into band.
void MapIntoBand(Mesh& mesh, std::size_t first, const Band& band);
