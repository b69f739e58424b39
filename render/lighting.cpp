// Corner lighting: the light list walk, the three kinds of light and the
// material's shading. Runs inside a mesh swim, after the scene update wrote
// every Light's matrix and LightSetup its direction and falloff.
#include "render/lighting.h"

#include <cmath>

#include "host/aquarium.h"
#include "image/texture.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

LightingState gLighting;

namespace {

constexpr int CHANNELS = 3;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

const Light& CurrentLight() { return *static_cast<const Light*>(gAquarium.currentLightObject); }

// The light's position is the translation of its camera-space transform.
void LightPosition(const Light& light, float* position)
{
    position[0] = light.matrix.m[3];
    position[1] = light.matrix.m[7];
    position[2] = light.matrix.m[11];
}

// The sum a light adds to: static lights are cached per cell, others not.
float* SumOf(const Light& light)
{
    return light.isStatic == 1 ? gLighting.staticSum : gLighting.dynamicSum;
}

// Adds colour × amount × scale, multiplied in that order.
void AddLight(const Light& light, float amount, float scale)
{
    float* const sum = SumOf(light);
    sum[0] += light.red * amount * scale;
    sum[1] += light.green * amount * scale;
    sum[2] += light.blue * amount * scale;
}

// Adds colour × amount.
void AddLight(const Light& light, float amount)
{
    float* const sum = SumOf(light);
    sum[0] += light.red * amount;
    sum[1] += light.green * amount;
    sum[2] += light.blue * amount;
}

// The light at distance D with cosine term d / D; negative once the falloff
// exceeds the intensity, which is kept as it is.
float Attenuated(const Light& light, float d, float distance)
{
    return (d / distance) * (light.intensity - distance * light.falloff);
}

// Full light inside the inner cone, a linear ramp to zero at the outer one.
float InCone(const Light& light, float f, float s)
{
    const float cone = light.outerConeCosine;
    const float edge = light.innerConeCosine;
    return s < edge ? f * (s - cone) / (edge - cone) : f;
}

void ClearSums()
{
    gLighting.dynamicSum[0] = gLighting.dynamicSum[1] = gLighting.dynamicSum[2] = 0.0f;
    gLighting.staticSum[0] = gLighting.staticSum[1] = gLighting.staticSum[2] = 0.0f;
}

// One channel of Material::Shade.
float ShadeChannel(const Material& material, float sum, float colour, bool tinted)
{
    float v = sum * material.fourth + material.further[0];
    if (v >= 1.0f)
        v = 1.0f;
    return tinted ? v * colour : v;
}

// The bodies of Material::Shade and Light::Accumulate, which the corner
// lighting of every visible cell inlines.
inline void ShadeCorner(const Material& material, float red, float green, float blue, float* colour)
{
    const bool tinted = (material.flags & (Material::ENVIRONMENT | Material::COLOUR_MAP)) == 0;
    colour[0] = ShadeChannel(material, red, material.colour[0], tinted);
    colour[1] = ShadeChannel(material, green, material.colour[1], tinted);
    colour[2] = ShadeChannel(material, blue, material.colour[2], tinted);
}

inline void AccumulateLights()
{
    ClearSums();
    Fish* const* const items = gAquarium.currentLightList.items;
    if (items == nullptr)
        return;
    for (Fish* const* slot = items; *slot != nullptr; ++slot) {
        if (*slot == EMPTY_SLOT || !(*slot)->active)
            continue;
        const Light* const light = static_cast<const Light*>(*slot);
        if ((light->isStatic & gLighting.staticMask) != 0)
            continue;
        gAquarium.currentLightObject = *slot;
        CallTableEntry(gAquarium.lightTable, light->type);
    }
}

}  // namespace

void Light::Accumulate() { AccumulateLights(); }

void Light::ShadeDistant()
{
    const Light& light = CurrentLight();
    const float direction[3] = {light.directionX, light.directionY, light.directionZ};
    const float d = Dot(direction, gLighting.normal);
    if (d > 0.0f)
        AddLight(light, d, light.intensity);
}

void Light::ShadePoint()
{
    const Light& light = CurrentLight();
    float toLight[3];
    LightPosition(light, toLight);
    for (int axis = 0; axis < 3; ++axis)
        toLight[axis] -= gLighting.atom->camera[axis];
    const float d = Dot(toLight, gLighting.normal);
    // Each test passes only for a number that meets it, so a NaN adds nothing.
    if (d > 0.0f) {
        const float distance = std::sqrt(Dot(toLight, toLight));
        if (distance <= light.range)
            AddLight(light, Attenuated(light, d, distance));
    }
}

void Light::ShadeSpot()
{
    const Light& light = CurrentLight();
    float position[3];
    LightPosition(light, position);
    float fromLight[3];
    for (int axis = 0; axis < 3; ++axis)
        fromLight[axis] = gLighting.atom->camera[axis] - position[axis];
    const float d = -Dot(fromLight, gLighting.normal);
    if (d > 0.0f) {
        const float distance = std::sqrt(Dot(fromLight, fromLight));
        if (distance <= light.range) {
            const float direction[3] = {light.directionX, light.directionY, light.directionZ};
            const float s = Dot(direction, fromLight) / distance;
            if (s > light.outerConeCosine)
                AddLight(light, InCone(light, Attenuated(light, d, distance), s));
        }
    }
}

void Material::Shade(const Material& material, float red, float green, float blue, float* colour)
{
    ShadeCorner(material, red, green, blue, colour);
}

namespace {

// Static lights are skipped once the cell's cache is valid on a static mesh.
void BeginCellLighting(const Cell& cell, std::uint32_t meshIsStatic)
{
    const bool cached = (cell.renderFlags & RenderFlag::STATIC_CACHED) != 0;
    gLighting.staticMask = cached && meshIsStatic != 0 ? 1 : 0;
}

// Corner k with gLighting.normal: its colour from the light sums and cache k,
// which takes the static share while the cache is not valid on a static mesh.
inline void LightCorner(Cell& cell, int k, std::uint32_t meshIsStatic)
{
    gLighting.atom = cell.corners[k];
    AccumulateLights();
    float* const cache = &cell.cachedLight[CHANNELS * k];
    const float* const dynamic = gLighting.dynamicSum;
    const float* const fixed = gLighting.staticSum;
    ShadeCorner(*cell.material, dynamic[0] + fixed[0] + cache[0], dynamic[1] + fixed[1] + cache[1],
                dynamic[2] + fixed[2] + cache[2], &cell.colours[CHANNELS * k]);
    if ((cell.renderFlags & RenderFlag::STATIC_CACHED) == 0 && meshIsStatic != 0) {
        cache[0] = fixed[0];
        cache[1] = fixed[1];
        cache[2] = fixed[2];
    }
}

// After corner 2: on a static mesh the cache is valid from now on.
void EndCellLighting(Cell& cell, std::uint32_t meshIsStatic)
{
    if (meshIsStatic != 0)
        cell.renderFlags |= RenderFlag::STATIC_CACHED;
}

void SetLightingNormal(const float* normal)
{
    gLighting.normal[0] = normal[0];
    gLighting.normal[1] = normal[1];
    gLighting.normal[2] = normal[2];
}

}  // namespace

void LightCellFlat(Cell& cell, const float* normal, std::uint32_t meshIsStatic)
{
    SetLightingNormal(normal);
    BeginCellLighting(cell, meshIsStatic);
    for (int k = 0; k < 3; ++k)
        LightCorner(cell, k, meshIsStatic);
    EndCellLighting(cell, meshIsStatic);
}

void LightCellSmooth(Cell& cell, const float* const (&normals)[3], std::uint32_t meshIsStatic)
{
    BeginCellLighting(cell, meshIsStatic);
    for (int k = 0; k < 3; ++k) {
        SetLightingNormal(normals[k]);
        LightCorner(cell, k, meshIsStatic);
    }
    EndCellLighting(cell, meshIsStatic);
}
