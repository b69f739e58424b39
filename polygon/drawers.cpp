// The triangle drawers: GL state set up once per change of material, then
// immediate-mode triangles with the camera depth as w. Runs inside
// OrderTableDraw: the GL context is current, a GL_TRIANGLES batch is open,
// and every colour map was uploaded before its scene's first frame.
#include "polygon/drawers.h"

#include <cfenv>

#include "host/aquarium.h"
#include "host/opengllib.h"
#include "image/texture.h"
#include "render/matrix.h"
#include "scene/flaresprite.h"
#include "scene/vector.h"

namespace {

enum class ColourCall {
    Rgb,         // glColor3f(r, g, b)
    RgbOpaque,   // glColor4f(r, g, b, 1.0)
    RgbAlpha,    // glColor4f(r, g, b, 1 - transparency)
};

// One row of the drawers' state table, applied in its column order.
struct DrawerState {
    GLboolean depthMask;
    bool lessOrEqual;      // the only place the depth comparison is set
    bool blend;
    GLenum blendSource;
    GLenum blendDestination;
    bool textured;         // binds the colour map, sends map coordinates
    ColourCall colour;
};

constexpr DrawerState OPAQUE_STATE{GL_TRUE, false, false, GL_ONE, GL_ZERO, false, ColourCall::Rgb};
constexpr DrawerState OPAQUE_MAPPED_STATE{GL_TRUE, false, false, GL_ONE, GL_ZERO, true, ColourCall::RgbOpaque};
constexpr DrawerState BLENDED_STATE{GL_FALSE, false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, false,
                                    ColourCall::RgbAlpha};
constexpr DrawerState ADDITIVE_MAPPED_STATE{GL_FALSE, true, true, GL_SRC_ALPHA, GL_ONE, true, ColourCall::RgbAlpha};
constexpr DrawerState BLENDED_MAPPED_STATE{GL_FALSE, false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, true,
                                           ColourCall::RgbAlpha};
constexpr DrawerState ADDITIVE_STATE{GL_FALSE, false, true, GL_SRC_ALPHA, GL_ONE, false, ColourCall::RgbAlpha};

// Camera x and y to clip coordinates before the division by w = z.
struct VertexScale {
    float x;
    float y;
};

VertexScale CurrentVertexScale()
{
    return {(2.0f / static_cast<float>(gAquarium.width)) * gAquarium.xScale,
            -(2.0f / static_cast<float>(gAquarium.height)) * gAquarium.yScale};
}

// The rounding mode is all that the drawers need of the float mode; other
// code may have changed it since the last call.
void EnsureNearestRounding()
{
    if (std::fegetround() != FE_TONEAREST)
        SetRenderFloatMode();
}

// What one corner sends, worked out before anything is sent: a triangle
// with a value that is no number, or that overflowed on the way, is left out
// whole, so that no such value ever reaches OpenGL.
struct CornerCall {
    float uv[2];
    float colour[4];
    float vertex[4];
};

void SetVertex(const VertexScale& scale, float x, float y, float z, float* vertex)
{
    vertex[0] = x * scale.x;
    vertex[1] = y * scale.y;
    vertex[2] = z - 1.0f;
    vertex[3] = z;
}

// x - x is 0 for every finite x and NaN otherwise, and a NaN stays in a sum.
template <int COUNT>
float Leftover(const float (&values)[COUNT])
{
    float sum = 0.0f;
    for (const float value : values)
        sum += value - value;
    return sum;
}

template <int COUNT>
bool AllFinite(const CornerCall (&corners)[COUNT])
{
    float sum = 0.0f;
    for (const CornerCall& corner : corners)
        sum += Leftover(corner.uv) + Leftover(corner.colour) + Leftover(corner.vertex);
    return sum == 0.0f;
}

void SendVertex(const float* vertex) { OpenGLLib::glVertex4f(vertex[0], vertex[1], vertex[2], vertex[3]); }

bool IsSetUp(const Material* material) { return reinterpret_cast<std::uintptr_t>(material) == gDrawState; }

GLuint MapName(const Material& material)
{
    return material.colourMap != nullptr ? material.colourMap->glName : 0;
}

void SetTexturing(bool textured, const Material& material)
{
    if (textured) {
        OpenGLLib::glEnable(GL_TEXTURE_2D);
        OpenGLLib::glBindTexture(GL_TEXTURE_2D, MapName(material));
    } else {
        OpenGLLib::glDisable(GL_TEXTURE_2D);
    }
}

void ApplyState(const DrawerState& state, const Material& material)
{
    OpenGLLib::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    OpenGLLib::glEnable(GL_DEPTH_TEST);
    OpenGLLib::glDepthMask(state.depthMask);
    if (state.lessOrEqual)
        OpenGLLib::glDepthFunc(GL_LEQUAL);
    if (state.blend) {
        OpenGLLib::glEnable(GL_BLEND);
        OpenGLLib::glBlendFunc(state.blendSource, state.blendDestination);
    } else {
        OpenGLLib::glDisable(GL_BLEND);
    }
    OpenGLLib::glShadeModel(GL_SMOOTH);
    SetTexturing(state.textured, material);
}

// Closes the batch, sets up state and reopens it; the material is then the
// one set up.
template <typename SetUp>
void Restate(const Material* material, SetUp setUp)
{
    OpenGLLib::glEnd();
    setUp();
    OpenGLLib::glBegin(GL_TRIANGLES);
    gDrawState = reinterpret_cast<std::uintptr_t>(material);
}

void SendColour(ColourCall call, const float* rgba)
{
    switch (call) {
    case ColourCall::Rgb:
        OpenGLLib::glColor3f(rgba[0], rgba[1], rgba[2]);
        return;
    case ColourCall::RgbOpaque:
    case ColourCall::RgbAlpha:
        OpenGLLib::glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        return;
    }
}

// Corner k of cell as its calls will send it.
CornerCall CellCorner(const DrawerState& state, const Cell& cell, int k, float alpha, const VertexScale& scale)
{
    CornerCall corner{{cell.uv[2 * k], cell.uv[2 * k + 1]},
                      {cell.colours[3 * k], cell.colours[3 * k + 1], cell.colours[3 * k + 2],
                       state.colour == ColourCall::RgbAlpha ? alpha : 1.0f},
                      {}};
    const float* const p = cell.corners[k]->camera;
    SetVertex(scale, p[0], p[1], p[2], corner.vertex);
    return corner;
}

void EmitTriangle(const DrawerState& state, const Cell& cell, float alpha, const VertexScale& scale)
{
    const CornerCall corners[3] = {CellCorner(state, cell, 0, alpha, scale), CellCorner(state, cell, 1, alpha, scale),
                                   CellCorner(state, cell, 2, alpha, scale)};
    if (!AllFinite(corners))
        return;
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    for (const CornerCall& corner : corners) {
        if (state.textured)
            OpenGLLib::glTexCoord2f(corner.uv[0], corner.uv[1]);
        SendColour(state.colour, corner.colour);
        SendVertex(corner.vertex);
    }
}

// A cell across the near plane: the second result triangle goes first.
void EmitClipped(const DrawerState& state, const Cell& cell, float alpha, const VertexScale& scale)
{
    Cell::ClipCells cells;
    Cell::ClipAtoms atoms;
    const int count = state.textured ? Cell::ClipNearMapped(cell, cells, atoms) : Cell::ClipNear(cell, cells, atoms);
    for (int i = count - 1; i >= 0; --i)
        EmitTriangle(state, cells[i], alpha, scale);
}

void DrawCell(const DrawerState& state, PolygonNode* node)
{
    EnsureNearestRounding();
    const Cell& cell = *reinterpret_cast<const Cell*>(node);
    const Material& material = *cell.material;
    if (!IsSetUp(&material))
        Restate(&material, [&] { ApplyState(state, material); });
    const float alpha = 1.0f - material.further[1];
    const VertexScale scale = CurrentVertexScale();
    if ((cell.renderFlags & RenderFlag::BEHIND_ANY) != 0)
        EmitClipped(state, cell, alpha, scale);
    else
        EmitTriangle(state, cell, alpha, scale);
}

// Sprites add their light to the picture, textured only with a colour map.
void ApplySpriteState(const Material* material)
{
    OpenGLLib::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    OpenGLLib::glEnable(GL_DEPTH_TEST);
    OpenGLLib::glDepthMask(GL_FALSE);
    OpenGLLib::glShadeModel(GL_FLAT);
    OpenGLLib::glEnable(GL_BLEND);
    OpenGLLib::glBlendFunc(GL_ONE, GL_ONE);
    const bool textured = material != nullptr && (material->flags & Material::COLOUR_MAP) != 0;
    if (textured)
        SetTexturing(true, *material);
    else
        OpenGLLib::glDisable(GL_TEXTURE_2D);
}

// A sprite corner at (x, y) with map coordinates (s, t), in sprite's colour.
CornerCall SpriteCorner(const FlareSprite& sprite, float s, float t, float x, float y, const VertexScale& scale)
{
    CornerCall corner{{s, t},
                      {sprite.red * sprite.intensity, sprite.green * sprite.intensity,
                       sprite.blue * sprite.intensity, 1.0f},
                      {}};
    // The square faces the screen at its first corner's depth.
    SetVertex(scale, x, y, sprite.z0, corner.vertex);
    return corner;
}

void SendSpriteCorner(const CornerCall& corner)
{
    OpenGLLib::glTexCoord2f(corner.uv[0], corner.uv[1]);
    SendVertex(corner.vertex);
}

}  // namespace

void DrawOpaque(std::int32_t, PolygonNode* node) { DrawCell(OPAQUE_STATE, node); }
void DrawOpaqueMapped(std::int32_t, PolygonNode* node) { DrawCell(OPAQUE_MAPPED_STATE, node); }
void DrawBlended(std::int32_t, PolygonNode* node) { DrawCell(BLENDED_STATE, node); }
void DrawAdditiveMapped(std::int32_t, PolygonNode* node) { DrawCell(ADDITIVE_MAPPED_STATE, node); }
void DrawBlendedMapped(std::int32_t, PolygonNode* node) { DrawCell(BLENDED_MAPPED_STATE, node); }
void DrawAdditive(std::int32_t, PolygonNode* node) { DrawCell(ADDITIVE_STATE, node); }

void DrawSprite(std::int32_t, PolygonNode* node)
{
    EnsureNearestRounding();
    const FlareSprite& sprite = *reinterpret_cast<const FlareSprite*>(node);
    if (!IsSetUp(sprite.material))
        Restate(sprite.material, [&] { ApplySpriteState(sprite.material); });
    const VertexScale scale = CurrentVertexScale();
    const CornerCall corners[4] = {SpriteCorner(sprite, 0.0f, 0.0f, sprite.x0, sprite.y0, scale),
                                   SpriteCorner(sprite, 0.0f, 1.0f, sprite.x0, sprite.y1, scale),
                                   SpriteCorner(sprite, 1.0f, 1.0f, sprite.x1, sprite.y1, scale),
                                   SpriteCorner(sprite, 1.0f, 0.0f, sprite.x1, sprite.y0, scale)};
    if (!AllFinite(corners))
        return;
    const float* const colour = corners[0].colour;
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    OpenGLLib::glColor3f(colour[0], colour[1], colour[2]);
    SendSpriteCorner(corners[0]);
    SendSpriteCorner(corners[1]);
    SendSpriteCorner(corners[2]);
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    SendSpriteCorner(corners[0]);
    SendSpriteCorner(corners[3]);
    SendSpriteCorner(corners[2]);
}
