// The records' Setup operations: each takes the fields and keys of one chunk
// that the loader has already checked (fixed fields, keys and name inside
// the chunk), so nothing here reads outside it. Links between records are
// the loader's to resolve.
#include <cmath>
#include <cstring>
#include <new>

#include "host/error.h"
#include "scene/lightsetup.h"
#include "scene/scenefile.h"
#include "scene/vector.h"
#include "scene/vectorhandle.h"

namespace {

constexpr std::uint8_t PRIVATE_MESH = 1;        // the loader's meshes start as the scene's own

template <class Fields>
Fields ReadFields(const SceneChunk& chunk)
{
    Fields fields;
    std::memcpy(&fields, chunk.data, sizeof fields);
    return fields;
}

// Replaces keys by the count keys that follow Fields in chunk. False when
// memory runs out, leaving no keys.
template <class Fields, class Key>
bool ReplaceKeys(const SceneChunk& chunk, const std::uint32_t count, Key*& keys, std::uint32_t& keyCount)
{
    delete[] keys;
    keyCount = 0;
    keys = new (std::nothrow) Key[count];
    if (keys == nullptr)
        return false;
    std::memcpy(static_cast<void*>(keys), chunk.data + sizeof(Fields), std::size_t{count} * sizeof(Key));
    keyCount = count;
    return true;
}

bool Scales(const ObjectKey& key)
{
    return key.value[KeyChannel::SCALE_X] != 1.0f || key.value[KeyChannel::SCALE_Y] != 1.0f ||
           key.value[KeyChannel::SCALE_Z] != 1.0f;
}

// Smallest and largest atom coordinates; a mesh without atoms keeps a zero box.
void SetBoundingBox(SceneObject& object)
{
    float* const box = object.boundingBox;
    std::memset(box, 0, sizeof object.boundingBox);
    const Vector& mesh = *object.vector;
    if (mesh.atomCount == 0)
        return;
    for (int axis = 0; axis < 3; ++axis)
        box[axis] = box[axis + 3] = mesh.atoms[0].position[axis];
    for (std::uint32_t i = 1; i < mesh.atomCount; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.atoms[i].position[axis];
            box[axis] = value < box[axis] ? value : box[axis];
            box[axis + 3] = value > box[axis + 3] ? value : box[axis + 3];
        }
    }
}

bool LoadMesh(SceneObject& object)
{
    object.vector = VectorHandle::Funkyload(object.name, gCurrentScene, PRIVATE_MESH);
    if (object.vector == nullptr) {
        Error::Report(3, "SCENE_Vector::Setup: Error loading vectorobject. ( ", object.name, " )\n");
        return false;
    }
    SetBoundingBox(object);
    return true;
}

// A null object is an empty Vector that is drawn by nothing; one key makes it static.
bool MakeNullObject(SceneObject& object)
{
    object.vector = new (std::nothrow) Vector;
    if (object.vector == nullptr) {
        Error::Report(1, "SCENE_Vector::Setup: Not enough memory for nullobject.\n");
        return false;
    }
    object.vector->isStatic = object.keyCount == 1 ? 1 : 0;
    object.vector->active = 1;
    object.vector->type = NULL_OBJECT_TYPE;
    return true;
}

}  // namespace

bool SCENE_Vector::Setup(const SceneChunk& chunk, const std::uint32_t flags)
{
    const auto fields = ReadFields<SCENE_FILE_Object>(chunk);
    std::memcpy(pivot, fields.pivot, sizeof pivot);
    endBehaviour = fields.endBehaviour;
    pathLookAhead = fields.pathLookAhead;
    morphAmount = fields.morphAmount;
    std::memcpy(name, fields.name, sizeof name);
    if (!ReplaceKeys<SCENE_FILE_Object>(chunk, fields.keyCount, keys, keyCount)) {
        Error::Report(1, "SCENE_Vector::Setup: Not enough memory for keyframes.\n");
        return false;
    }
    for (std::uint32_t i = 0; i < keyCount; ++i)
        deformed = Scales(keys[i]) ? 1 : deformed;
    if ((flags & SCENE_SHALLOW) != 0)
        return true;
    return chunk.tag == SceneTag::VOBJ ? LoadMesh(*this) : MakeNullObject(*this);
}

bool SCENE_Light::Setup(const SceneChunk& chunk)
{
    const auto fields = ReadFields<SCENE_FILE_Light>(chunk);
    delete light;
    light = new (std::nothrow) Light(static_cast<std::int32_t>(fields.kind));
    if (light == nullptr) {
        Error::Report(1, "SCENE_Light::Setup: Not enough memory for light.\n");
        return false;
    }
    light->red = fields.red;
    light->green = fields.green;
    light->blue = fields.blue;
    light->range = fields.range;
    light->intensity = fields.intensity;
    light->innerConeCosine = std::cos(fields.coneAngle - fields.edgeAngle);
    light->outerConeCosine = std::cos(fields.coneAngle);
    LightSetup* const setup = new (std::nothrow) LightSetup;
    if (setup == nullptr) {
        Error::Report(1, "SCENE_Light::Setup: Not enough memory for LightSetup-plugin.\n");
        return false;
    }
    Fish::AttachPlugin(light, setup, false);
    endBehaviour = fields.endBehaviour;
    pathLookAhead = fields.pathLookAhead;
    // A light that turns toward a target moves whenever the target does.
    light->isStatic = fields.keyCount == 1 && fields.target == SCENE_NO_OBJECT ? 1 : 0;
    if (!ReplaceKeys<SCENE_FILE_Light>(chunk, fields.keyCount, keys, keyCount)) {
        Error::Report(1, "SCENE_Light::Setup: Not enough memory for keyframes.\n");
        return false;
    }
    return true;
}

bool SCENE_Camera::Setup(const SceneChunk& chunk)
{
    const auto fields = ReadFields<SCENE_FILE_Camera>(chunk);
    endBehaviour = fields.endBehaviour;
    pathLookAhead = fields.pathLookAhead;
    zoom = fields.zoom;
    if (!ReplaceKeys<SCENE_FILE_Camera>(chunk, fields.keyCount, keys, keyCount)) {
        Error::Report(1, "SCENE_Camera::Setup: Not enough memory for keyframes.\n");
        return false;
    }
    return true;
}

bool SCENE_Envelope::Setup(const SceneChunk& chunk)
{
    const auto fields = ReadFields<SCENE_FILE_Envelope>(chunk);
    endBehaviour = fields.endBehaviour;
    if (!ReplaceKeys<SCENE_FILE_Envelope>(chunk, fields.keyCount, keys, keyCount)) {
        Error::Report(1, "SCENE_Envelope::Setup: Not enough memory for keyframes.\n");
        return false;
    }
    return true;
}
