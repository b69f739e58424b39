// Morph initialisation and the per-frame blend. The blend runs over the atoms
// that both meshes and the saved copy have, which Init made the same count.
#include "scene/morph.h"

#include <algorithm>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "scene/vector.h"

namespace {
constexpr int AXES = 3;
}  // namespace

Morph::~Morph()
{
    delete[] saved;
    saved = nullptr;
    savedCount = 0;
    target = nullptr;
}

bool Morph::Init(Vector* object, Vector* morphTarget)
{
    delete[] saved;
    savedCount = 0;
    saved = new (std::nothrow) float[std::size_t{object->atomCount} * AXES];
    if (saved == nullptr)
        return false;
    target = morphTarget;
    if (target == nullptr || object->atomCount != target->atomCount) {
        Error::Report(1, "Morph::Init: Vectors don't have same number of vertices.\n");
        return false;
    }
    savedCount = object->atomCount;
    for (std::uint32_t i = 0; i < savedCount; ++i)
        std::copy(object->atoms[i].position, object->atoms[i].position + AXES, saved + std::size_t{i} * AXES);
    return true;
}

void Morph::Swim()
{
    const Morph& morph = *static_cast<const Morph*>(gAquarium.currentPlugin);
    Vector& object = *static_cast<Vector*>(gAquarium.pluginOwner);
    if (morph.target == nullptr)
        return;
    const Atom* const goal = morph.target->atoms;
    const std::uint32_t count = std::min({morph.savedCount, object.atomCount, morph.target->atomCount});
    const float a = morph.amount;
    for (std::uint32_t i = 0; i < count; ++i) {
        float* const position = object.atoms[i].position;
        const float* const from = morph.saved + std::size_t{i} * AXES;
        for (int axis = 0; axis < AXES; ++axis)
            position[axis] = a == 1.0f ? goal[i].position[axis] : from[axis] + a * (goal[i].position[axis] - from[axis]);
    }
}

Morph* Morph::Of(const Vector* vector)
{
    for (Plugin* plugin = vector->firstPlugin; plugin != nullptr; plugin = plugin->next) {
        if (plugin->function == Swim)
            return static_cast<Morph*>(plugin);
    }
    return nullptr;
}
