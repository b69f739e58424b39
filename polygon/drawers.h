// The triangle drawers of the polygon table, indices 7 to 12 and 14: cells
// and flare sprites to OpenGL. Called by OrderTableDraw with the GL context
// current, inside the frame's glBegin(GL_TRIANGLES) batch.
#pragma once

#include <cstdint>

#include "host/ordertable.h"

// Each draws node (a Cell, or a FlareSprite for DrawSprite), setting up its
// GL state first when the node's material is not the one set up last. The
// bucket is not used.
void DrawOpaque(std::int32_t bucket, PolygonNode* node);          // 7: corner colours
void DrawOpaqueMapped(std::int32_t bucket, PolygonNode* node);    // 8: colour map × corner colours
void DrawBlended(std::int32_t bucket, PolygonNode* node);         // 9: alpha blended
void DrawAdditiveMapped(std::int32_t bucket, PolygonNode* node);  // 10: colour map, added
void DrawBlendedMapped(std::int32_t bucket, PolygonNode* node);   // 11: colour map, alpha blended
void DrawSprite(std::int32_t bucket, PolygonNode* node);          // 12: flare sprite, added
void DrawAdditive(std::int32_t bucket, PolygonNode* node);        // 14: corner colours, added
