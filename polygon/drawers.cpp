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

void SendVertex(const VertexScale& scale, float x, float y, float z)
{
    OpenGLLib::glVertex4f(x * scale.x, y * scale.y, z - 1.0f, z);
}

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

void SendColour(ColourCall call, const float* rgb, float alpha)
{
    switch (call) {
    case ColourCall::Rgb:
        OpenGLLib::glColor3f(rgb[0], rgb[1], rgb[2]);
        return;
    case ColourCall::RgbOpaque:
        OpenGLLib::glColor4f(rgb[0], rgb[1], rgb[2], 1.0f);
        return;
    case ColourCall::RgbAlpha:
        OpenGLLib::glColor4f(rgb[0], rgb[1], rgb[2], alpha);
        return;
    }
}

void EmitTriangle(const DrawerState& state, const Cell& cell, float alpha, const VertexScale& scale)
{
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    for (int k = 0; k < 3; ++k) {
        if (state.textured)
            OpenGLLib::glTexCoord2f(cell.uv[2 * k], cell.uv[2 * k + 1]);
        SendColour(state.colour, &cell.colours[3 * k], alpha);
        const float* const p = cell.corners[k]->camera;
        SendVertex(scale, p[0], p[1], p[2]);
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

void SendSpriteVertex(const VertexScale& scale, float s, float t, float x, float y, float z)
{
    OpenGLLib::glTexCoord2f(s, t);
    SendVertex(scale, x, y, z);
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
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    OpenGLLib::glColor3f(sprite.red * sprite.intensity, sprite.green * sprite.intensity,
                         sprite.blue * sprite.intensity);
    const VertexScale scale = CurrentVertexScale();
    const float z = sprite.z0;  // the square faces the screen at its first corner's depth
    SendSpriteVertex(scale, 0.0f, 0.0f, sprite.x0, sprite.y0, z);
    SendSpriteVertex(scale, 0.0f, 1.0f, sprite.x0, sprite.y1, z);
    SendSpriteVertex(scale, 1.0f, 1.0f, sprite.x1, sprite.y1, z);
    OpenGLLib::glNormal3f(0.0f, 0.0f, 1.0f);
    SendSpriteVertex(scale, 0.0f, 0.0f, sprite.x0, sprite.y0, z);
    SendSpriteVertex(scale, 1.0f, 0.0f, sprite.x1, sprite.y0, z);
    SendSpriteVertex(scale, 1.0f, 1.0f, sprite.x1, sprite.y1, z);
}
