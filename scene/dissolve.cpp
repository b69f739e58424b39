// Dissolve initialisation and the per-frame fade. The fade works on the
// materials that the mesh and the saved copy both have.
#include "scene/dissolve.h"

#include <algorithm>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "image/texture.h"
#include "scene/vector.h"

namespace {

// Sets or clears the transparent bit of every material and redoes the cells' drawers.
void SetTransparent(Vector& object, const bool on)
{
    for (std::uint32_t i = 0; i < object.materialCount; ++i) {
        std::uint32_t& flags = object.materials[i].flags;
        flags = on ? flags | Material::TRANSPARENT : flags & ~Material::TRANSPARENT;
    }
    object.SetupDrawModes();
}

}  // namespace

Dissolve::~Dissolve()
{
    delete[] saved;
    saved = nullptr;
    savedCount = 0;
}

bool Dissolve::Init(const Vector* object)
{
    delete[] saved;
    savedCount = 0;
    saved = new (std::nothrow) float[object->materialCount];
    if (saved == nullptr) {
        Error::Report(1, "Dissolve::Init: Not enough memory.\n");
        return false;
    }
    savedCount = object->materialCount;
    for (std::uint32_t i = 0; i < savedCount; ++i)
        saved[i] = object->materials[i].further[1];
    changed = 0;
    return true;
}

void Dissolve::Swim()
{
    Dissolve& dissolve = *static_cast<Dissolve*>(gAquarium.currentPlugin);
    Vector& object = *static_cast<Vector*>(gAquarium.pluginOwner);
    const float a = dissolve.amount;
    if (a < 1.0f)
        object.active = 1;
    if (a > 0.0f && !dissolve.changed) {
        SetTransparent(object, true);
        dissolve.changed = 1;
    }
    if (a <= 0.0f && dissolve.changed) {
        SetTransparent(object, false);
        dissolve.changed = 0;
    }
    if (a >= 1.0f) {
        object.active = 0;
        return;
    }
    const std::uint32_t count = std::min(dissolve.savedCount, object.materialCount);
    for (std::uint32_t i = 0; i < count; ++i)
        object.materials[i].further[1] = dissolve.saved[i] + (1.0f - dissolve.saved[i]) * a;
}
