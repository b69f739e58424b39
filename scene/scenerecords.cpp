// Destruction and array making of the scene records. Records are destroyed
// only when their scene is, after playback; nothing refers to them then
// except the meshes' plugins, which are never run again.
#include "scene/scenerecords.h"

#include <new>

#include "scene/vector.h"

SceneObject::~SceneObject()
{
    delete[] keys;
    keys = nullptr;
    keyCount = 0;
    flare = nullptr;
    if (vector != nullptr && vector->type == NULL_OBJECT_TYPE)
        delete vector;  // destroys the flares in its plugin chain too
    vector = nullptr;
}

SceneLight::~SceneLight()
{
    delete[] keys;
    keys = nullptr;
    keyCount = 0;
    flare = nullptr;  // destroyed with the Light's plugins
    delete light;
    light = nullptr;
}

SceneCamera::~SceneCamera()
{
    delete[] keys;
    keys = nullptr;
    keyCount = 0;
}

namespace {

// Replaces array by a new one of count default records; count is stored only
// with an array that exists.
template <class Record>
bool Reallocate(Record*& array, std::uint32_t& storedCount, const std::uint32_t count)
{
    delete[] array;
    array = new (std::nothrow) Record[count];
    storedCount = array != nullptr ? count : 0;
    return array != nullptr;
}

}  // namespace

Scene::~Scene()
{
    // Borrowed meshes belong to the clone source's handles.
    if (cloneSource != nullptr && objects != nullptr) {
        for (std::uint32_t i = 0; i < objectCount; ++i)
            objects[i].vector = nullptr;
    }
    delete[] objects;
    objects = nullptr;
    objectCount = 0;
    delete[] lights;
    lights = nullptr;
    lightCount = 0;
    delete camera;
    camera = nullptr;
    delete[] envelopes;
    envelopes = nullptr;
    envelopeCount = 0;
}

bool Scene::AllocateObjects(const std::uint32_t count)
{
    return Reallocate(objects, objectCount, count);
}

bool Scene::AllocateLights(const std::uint32_t count)
{
    return Reallocate(lights, lightCount, count);
}

bool Scene::AllocateEnvelopes(const std::uint32_t count)
{
    return Reallocate(envelopes, envelopeCount, count);
}

bool Scene::AllocateCamera()
{
    delete camera;
    camera = new (std::nothrow) SceneCamera;
    return camera != nullptr;
}
