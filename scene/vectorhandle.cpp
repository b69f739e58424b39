// The handle table's loads and searches. Scenes load one after the other on
// the program's one thread, so an entry found here is still the same entry
// when it is written.
#include "scene/vectorhandle.h"

#include <cstring>

#include "host/error.h"
#include "image/texture.h"
#include "platform/uppercase.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

using Key = char[VectorHandle::NAME_SIZE];

// Fills key (zeroed by the caller) with name upper-cased. False when the name
// and its NUL do not fit an entry.
bool MakeKey(const char* name, Key& key)
{
    return platform::CopyUpperCase(name, key, VectorHandle::NAME_SIZE);
}

// The first entry in use that scene may take: same name, shareable, held by
// another scene. A freed entry keeps its name but has no mesh to give, so it
// never matches.
VectorHandle* FindShareable(const Key& key, const Scene* scene)
{
    for (std::uint32_t i = 0; i < gVectorHandles.count; ++i) {
        VectorHandle& entry = gVectorHandles.entries[i];
        if (entry.vector != nullptr && entry.isPrivate == 0 && entry.owner != scene &&
            std::strcmp(entry.name, key) == 0)
            return &entry;
    }
    return nullptr;
}

// The first entry in use that holds vector; null for a null vector, which
// would otherwise match a freed entry.
VectorHandle* FindVector(const Vector* vector)
{
    if (vector == nullptr)
        return nullptr;
    for (std::uint32_t i = 0; i < gVectorHandles.count; ++i) {
        if (gVectorHandles.entries[i].vector == vector)
            return &gVectorHandles.entries[i];
    }
    return nullptr;
}

// The first free entry in use, else the entry just past them.
std::uint32_t ChooseEntry()
{
    std::uint32_t index = 0;
    while (index < gVectorHandles.count && gVectorHandles.entries[index].vector != nullptr)
        ++index;
    return index;
}

Vector* HandOver(VectorHandle& entry, Scene* scene)
{
    entry.owner = scene;
    ++entry.holders;
    return entry.vector;
}

// The mesh with its pictures: the materials give back their colour maps
// themselves, the bump maps they only borrow are given back here.
void DestroyMesh(Vector* vector)
{
    for (std::uint32_t i = 0; i < vector->materialCount; ++i) {
        Material& material = vector->materials[i];
        if (material.bumpMap != nullptr)
            Texture::Release(material.bumpMap->FirstField());
        material.bumpMap = nullptr;
    }
    delete vector;
}

// Drops one holder of vector; the last one frees the entry and destroys the mesh.
void DropHolder(Vector* vector)
{
    VectorHandle* const entry = FindVector(vector);
    if (entry == nullptr)
        return;
    if (entry->holders > 1) {
        --entry->holders;
        return;
    }
    entry->vector = nullptr;
    entry->holders = 0;
    DestroyMesh(vector);
}

// The mesh of object i is scene's own: not a null object, not lent by its clone source.
bool OwnMesh(const Scene& scene, std::uint32_t i)
{
    const Vector* const vector = scene.objects[i].vector;
    if (vector == nullptr || vector->type == NULL_OBJECT_TYPE)
        return false;
    const Scene* const source = scene.cloneSource;
    return source == nullptr || i >= source->objectCount || source->objects[i].vector != vector;
}

void ReportLoadFailure(const char* name)
{
    Error::Report(3, "VectorHandle::Funkyload: Fukc. ( ", name, " )\n");
}

}  // namespace

Vector* VectorHandle::Funkyload(const char* name, Scene* scene, const std::uint8_t isPrivate)
{
    // The bound counts entries ever used, freed ones included.
    if (gVectorHandles.count >= VectorHandleTable::LIMIT) {
        Error::Report(3, "VectorHandle::Funkyload: Fukc i fleng og fres. ( ", name, " )\n");
        return nullptr;
    }
    Key key = {};
    if (!MakeKey(name, key)) {
        ReportLoadFailure(name);
        return nullptr;
    }
    if (isPrivate == 0) {
        if (VectorHandle* const shared = FindShareable(key, scene))
            return HandOver(*shared, scene);
    }
    const std::uint32_t index = ChooseEntry();
    VectorHandle& entry = gVectorHandles.entries[index];
    entry.vector = Vector::Load(name);
    if (entry.vector == nullptr) {
        ReportLoadFailure(name);
        return nullptr;
    }
    entry.owner = scene;
    entry.isPrivate = isPrivate;
    entry.holders = 1;
    std::memcpy(entry.name, key, sizeof key);
    if (index == gVectorHandles.count)
        ++gVectorHandles.count;
    return entry.vector;
}

Vector* VectorHandle::Take(const char* name, Scene* scene)
{
    Key key = {};
    if (!MakeKey(name, key))
        return nullptr;
    VectorHandle* const shared = FindShareable(key, scene);
    return shared != nullptr ? HandOver(*shared, scene) : nullptr;
}

void VectorHandle::Release(const Vector* vector)
{
    if (VectorHandle* const entry = FindVector(vector)) {
        entry->vector = nullptr;
        entry->holders = 0;
    }
}

void VectorHandle::Share(const Vector* vector)
{
    if (VectorHandle* const entry = FindVector(vector))
        entry->isPrivate = 0;
}

void VectorHandle::Withhold(const Vector* vector)
{
    if (VectorHandle* const entry = FindVector(vector))
        entry->isPrivate = 1;
}

void VectorHandle::GiveBack(Scene& scene)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        if (!OwnMesh(scene, i))
            continue;
        DropHolder(scene.objects[i].vector);
        scene.objects[i].vector = nullptr;
    }
}

VectorHandleTable::~VectorHandleTable()
{
    for (std::uint32_t i = 0; i < count; ++i)
        entries[i].vector = nullptr;
}

void VectorHandleTable::Clear()
{
    for (std::uint32_t i = 0; i < count; ++i)
        entries[i] = VectorHandle{};
    count = 0;
}
