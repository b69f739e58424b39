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

LightFunction LightOperation(std::int32_t type)
{
    if (type < 0 || type >= HANDLER_TABLE_SIZE)
        return nullptr;
    return gAquarium.lightTable[type];
}

void ClearSums()
{
    for (int c = 0; c < CHANNELS; ++c) {
        gLighting.dynamicSum[c] = 0.0f;
        gLighting.staticSum[c] = 0.0f;
    }
}

}  // namespace

void Light::Accumulate()
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
        const LightFunction shade = LightOperation(light->type);
        if (!IsOperation(shade))
            continue;
        gAquarium.currentLightObject = *slot;
        shade();
    }
}

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
    if (d <= 0.0f)
        return;
    const float distance = std::sqrt(Dot(toLight, toLight));
    if (distance <= light.range)
        AddLight(light, Attenuated(light, d, distance));
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
    if (d <= 0.0f)
        return;
    const float distance = std::sqrt(Dot(fromLight, fromLight));
    if (distance > light.range)
        return;
    const float direction[3] = {light.directionX, light.directionY, light.directionZ};
    const float s = Dot(direction, fromLight) / distance;
    const float cone = light.outerConeCosine;
    const float edge = light.innerConeCosine;
    if (s <= cone)
        return;
    float f = Attenuated(light, d, distance);
    // Full light inside the inner cone, a linear ramp to zero at the outer one.
    if (s < edge)
        f = f * (s - cone) / (edge - cone);
    AddLight(light, f);
}

void Material::Shade(const Material& material, float red, float green, float blue, float* colour)
{
    const float sums[CHANNELS] = {red, green, blue};
    const bool tinted = (material.flags & (ENVIRONMENT | COLOUR_MAP)) == 0;
    for (int c = 0; c < CHANNELS; ++c) {
        float v = sums[c] * material.fourth + material.further[0];
        if (v >= 1.0f)
            v = 1.0f;
        if (tinted)
            v = v * material.colour[c];
        colour[c] = v;
    }
}

void BeginCellLighting(const Cell& cell, std::uint32_t meshIsStatic)
{
    const bool cached = (cell.renderFlags & RenderFlag::STATIC_CACHED) != 0;
    gLighting.staticMask = cached && meshIsStatic != 0 ? 1 : 0;
}

void LightCorner(Cell& cell, int k, std::uint32_t meshIsStatic)
{
    gLighting.atom = cell.corners[k];
    Light::Accumulate();
    float* const cache = &cell.cachedLight[CHANNELS * k];
    float sum[CHANNELS];
    for (int c = 0; c < CHANNELS; ++c)
        sum[c] = gLighting.dynamicSum[c] + gLighting.staticSum[c] + cache[c];
    Material::Shade(*cell.material, sum[0], sum[1], sum[2], &cell.colours[CHANNELS * k]);
    if ((cell.renderFlags & RenderFlag::STATIC_CACHED) == 0 && meshIsStatic != 0) {
        for (int c = 0; c < CHANNELS; ++c)
            cache[c] = gLighting.staticSum[c];
    }
}

void EndCellLighting(Cell& cell, std::uint32_t meshIsStatic)
{
    if (meshIsStatic != 0)
        cell.renderFlags |= RenderFlag::STATIC_CACHED;
}
