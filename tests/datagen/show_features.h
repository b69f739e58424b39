// What the loaded show uses, counted from the records the demo's loader made
// of every scene (not from the generator's own bookkeeping), and from the
// archive bytes of every picture those records name.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "pak/pak.h"
#include "scene/dissolve.h"
#include "scene/flare.h"
#include "scene/morph.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace show_test {

using Counts = std::map<std::string, int>;

// The features, in the order the table is printed.
inline const std::vector<std::string>& FeatureNames()
{
    static const std::vector<std::string> names = {
        "drawer 7 opaque", "drawer 8 opaque mapped", "drawer 9 blended", "drawer 10 additive mapped",
        "drawer 11 blended mapped", "drawer 12 sprites", "drawer 14 additive", "smooth materials", "flat materials",
        "colour maps", "environment map, morphing mesh", "environment map, mesh keeping its shape",
        "glass bump pictures", "distant lights", "point lights", "spot lights", "static lights", "moving lights",
        "LINT", "LRNG", "LCON", "LEDG", "ZOOM", "MORP", "ODIS", "light flares", "object flares 0x02",
        "object flares 0x04", "trail flares", "parents", "targets", "path look-ahead", "pivots", "scale keys",
        "linear keys", "end hold", "end repeat", "end none", "null objects", "meshes shared between scenes",
        "TGA raw", "TGA run-length", "TGA 15 bits", "TGA 16 bits", "TGA 24 bits", "TGA top-down", "TGA bottom-up",
        "JPEG baseline", "JPEG progressive"};
    return names;
}

template <class Key>
void CountKeys(Counts& counts, const Key* keys, std::uint32_t n, std::uint32_t endBehaviour)
{
    for (std::uint32_t i = 0; i < n; ++i)
        counts["linear keys"] += keys[i].linear != 0 ? 1 : 0;
    counts[endBehaviour == END_HOLD ? "end hold" : endBehaviour == END_REPEAT ? "end repeat" : "end none"] += 1;
}

template <class Record>
void CountLinks(Counts& counts, const Record& record)
{
    counts["parents"] += record.parent != nullptr ? 1 : 0;
    counts["targets"] += record.target != nullptr ? 1 : 0;
    counts["path look-ahead"] += record.pathLookAhead != 0 ? 1 : 0;
}

inline void CountMaterial(Counts& counts, const Material& m, std::set<const Texture*>& pictures)
{
    counts[(m.flags & Material::SMOOTH) != 0 ? "smooth materials" : "flat materials"] += 1;
    counts["colour maps"] += (m.flags & Material::COLOUR_MAP) != 0 && m.colourMap != nullptr ? 1 : 0;
    counts["glass bump pictures"] += (m.flags & Material::BUMP_PICTURE) != 0 && m.bumpMap != nullptr ? 1 : 0;
    for (const Texture* map : {m.colourMap, m.bumpMap}) {
        if (map != nullptr)
            pictures.insert(map);
    }
}

inline bool HasEnvironmentMap(const Vector& vector)
{
    for (std::uint32_t i = 0; i < vector.materialCount; ++i) {
        if ((vector.materials[i].flags & Material::ENVIRONMENT) != 0)
            return true;
    }
    return false;
}

inline void CountFlare(Counts& counts, const Flare& flare, std::set<const Texture*>& pictures)
{
    counts["drawer 12 sprites"] += flare.spriteCount > 0 && flare.sprites[0].node.type == FlareSprite::TYPE ? 1 : 0;
    if (flare.kind == Flare::TRAIL)
        counts["trail flares"] += 1;
    if (flare.kind == Flare::OBJECT) {
        counts["object flares 0x02"] += (flare.flags & Flare::FADE_OFF_AXIS) != 0 ? 1 : 0;
        counts["object flares 0x04"] += (flare.flags & Flare::FADE_FACING) != 0 ? 1 : 0;
    }
    if (flare.material != nullptr && flare.material->colourMap != nullptr)
        pictures.insert(flare.material->colourMap);
}

// The table's name of a cell drawer.
inline std::string DrawerName(std::int32_t type)
{
    switch (type) {
    case DrawMode::OPAQUE: return "drawer 7 opaque";
    case DrawMode::OPAQUE_MAPPED: return "drawer 8 opaque mapped";
    case DrawMode::BLENDED: return "drawer 9 blended";
    case DrawMode::ADDITIVE_MAPPED: return "drawer 10 additive mapped";
    case DrawMode::BLENDED_MAPPED: return "drawer 11 blended mapped";
    case DrawMode::ADDITIVE: return "drawer 14 additive";
    default: return "drawer " + std::to_string(type);
    }
}

inline void CountObject(Counts& counts, const SceneObject& object, std::set<const Texture*>& pictures)
{
    CountLinks(counts, object);
    CountKeys(counts, object.keys, object.keyCount, object.endBehaviour);
    counts["pivots"] += (object.pivot[0] != 0.0f || object.pivot[1] != 0.0f || object.pivot[2] != 0.0f) ? 1 : 0;
    for (std::uint32_t k = 0; k < object.keyCount; ++k) {
        const float* v = object.keys[k].value;
        if (v[KeyChannel::SCALE_X] != 1.0f || v[KeyChannel::SCALE_Y] != 1.0f || v[KeyChannel::SCALE_Z] != 1.0f) {
            counts["scale keys"] += 1;
            break;
        }
    }
    if (object.flare != nullptr)
        CountFlare(counts, *object.flare, pictures);
    const Vector& vector = *object.vector;
    if (vector.type == 16) {
        counts["null objects"] += 1;
        return;
    }
    for (std::uint32_t i = 0; i < vector.cellCount; ++i)
        counts[DrawerName(vector.cells[i].node.type)] += 1;
    for (std::uint32_t i = 0; i < vector.materialCount; ++i)
        CountMaterial(counts, vector.materials[i], pictures);
    if (HasEnvironmentMap(vector))
        counts[object.morphTarget != nullptr ? "environment map, morphing mesh" : "environment map, mesh keeping its shape"] += 1;
}

inline void CountLight(Counts& counts, const SceneLight& record, std::set<const Texture*>& pictures)
{
    CountLinks(counts, record);
    CountKeys(counts, record.keys, record.keyCount, record.endBehaviour);
    const Light& light = *record.light;
    counts[light.type == Light::DISTANT ? "distant lights" : light.type == Light::POINT ? "point lights" : "spot lights"] += 1;
    counts[light.isStatic != 0 ? "static lights" : "moving lights"] += 1;
    if (record.flare != nullptr) {
        counts["light flares"] += 1;
        CountFlare(counts, *record.flare, pictures);
    }
}

// The envelope's kind from what it drives.
inline const char* EnvelopeKind(const Scene& scene, const SceneEnvelope& envelope)
{
    if (envelope.target == &scene.camera->zoom)
        return "ZOOM";
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        const Light& light = *scene.lights[i].light;
        if (envelope.target == &light.intensity)
            return "LINT";
        if (envelope.target == &light.range)
            return "LRNG";
        if (envelope.target == &light.outerConeCosine)
            return "LCON";
        if (envelope.target == &light.innerConeCosine)
            return "LEDG";
    }
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        for (const Plugin* p = scene.objects[i].vector->firstPlugin; p != nullptr; p = p->next) {
            if (p->function == Morph::Swim && envelope.target == &static_cast<const Morph*>(p)->amount)
                return "MORP";
            if (p->function == Dissolve::Swim && envelope.target == &static_cast<const Dissolve*>(p)->amount)
                return "ODIS";
        }
    }
    return "unknown envelope";
}

inline void CountScene(Counts& counts, const Scene& scene, std::set<const Texture*>& pictures)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i)
        CountObject(counts, scene.objects[i], pictures);
    for (std::uint32_t i = 0; i < scene.lightCount; ++i)
        CountLight(counts, scene.lights[i], pictures);
    CountLinks(counts, *scene.camera);
    CountKeys(counts, scene.camera->keys, scene.camera->keyCount, scene.camera->endBehaviour);
    for (std::uint32_t i = 0; i < scene.envelopeCount; ++i) {
        const SceneEnvelope& envelope = scene.envelopes[i];
        counts[EnvelopeKind(scene, envelope)] += 1;
        CountKeys(counts, envelope.keys, envelope.keyCount, envelope.endBehaviour);
    }
}

// Meshes that objects of two or more scenes draw.
inline int SharedMeshes(const std::vector<const Scene*>& scenes)
{
    std::map<const Vector*, std::set<const Scene*>> holders;
    for (const Scene* scene : scenes) {
        for (std::uint32_t i = 0; i < scene->objectCount; ++i) {
            if (scene->objects[i].vector->type != 16)
                holders[scene->objects[i].vector].insert(scene);
        }
    }
    int shared = 0;
    for (const auto& [vector, users] : holders)
        shared += users.size() >= 2 ? 1 : 0;
    return shared;
}

// The form of a picture file as its bytes in the archive tell.
inline void CountPictureForm(Counts& counts, const char* name)
{
    const std::uint32_t size = PAK::FileSize(name);
    const std::unique_ptr<std::uint8_t[]> bytes(PAK::ReadFile(name));
    if (!bytes || size < 18)
        return;
    const std::size_t length = std::strlen(name);
    if (length > 4 && std::strcmp(name + length - 4, ".JPG") == 0) {
        for (std::uint32_t i = 0; i + 1 < size; ++i) {
            if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
                counts[bytes[i + 1] == 0xC0 ? "JPEG baseline" : "JPEG progressive"] += 1;
                return;
            }
        }
        return;
    }
    counts[bytes[2] == 10 ? "TGA run-length" : "TGA raw"] += 1;
    counts["TGA " + std::to_string(bytes[16]) + " bits"] += 1;
    counts[(bytes[17] & 0x20) != 0 ? "TGA top-down" : "TGA bottom-up"] += 1;
}

inline Counts CountFeatures(const std::vector<const Scene*>& scenes)
{
    Counts counts;
    std::set<const Texture*> pictures;
    for (const Scene* scene : scenes)
        CountScene(counts, *scene, pictures);
    counts["meshes shared between scenes"] = SharedMeshes(scenes);
    std::set<std::string> names;
    for (const Texture* picture : pictures)
        names.insert(picture->name);
    for (const std::string& name : names)
        CountPictureForm(counts, name.c_str());
    return counts;
}

}  // namespace show_test
