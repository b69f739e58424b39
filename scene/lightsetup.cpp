// LightSetup's per-frame work. A distant light shines along its -z axis, a
// spot light along +z; a point light has no direction.
#include "scene/lightsetup.h"

#include <cmath>

#include "host/aquarium.h"
#include "scene/scenerecords.h"

void LightSetup::Swim()
{
    Light& light = *static_cast<Light*>(gAquarium.pluginOwner);
    light.falloff = light.intensity / light.range;
    if (light.type != Light::DISTANT && light.type != Light::SPOT)
        return;
    const float* const m = light.matrix.m;
    const float sign = light.type == Light::DISTANT ? -1.0f : 1.0f;
    const float length = std::sqrt(m[2] * m[2] + m[6] * m[6] + m[10] * m[10]);
    // A matrix that flattens the axis leaves the last direction in place.
    if (!(length > 0.0f))
        return;
    light.directionX = sign * m[2] / length;
    light.directionY = sign * m[6] / length;
    light.directionZ = sign * m[10] / length;
}
