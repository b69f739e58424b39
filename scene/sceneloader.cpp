// Scene loading: the header and its arrays, the chunk walk with its three
// counters, the plugins the chunks ask for, the exchange of plain meshes for
// ones another scene holds, and the flags the renderer reads. Every chunk is
// checked against the buffer and the arrays before a record reads it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "host/error.h"
#include "image/texture.h"
#include "render/evaluationbudget.h"
#include "render/hierarchy.h"
#include "scene/chunkhead.h"
#include "scene/dissolve.h"
#include "scene/flare.h"
#include "scene/morph.h"
#include "scene/scenechecks.h"
#include "scene/scenefile.h"
#include "scene/vector.h"
#include "scene/vectorhandle.h"

Scene* gCurrentScene = nullptr;

namespace {

constexpr std::size_t HEADER_SIZE = sizeof(SCENE_FILE_Header);
constexpr std::int32_t DEFORMING_MESH_TYPE = 14;

bool Fail(const char* message) { return SceneFail(message); }

// A refusal of this loader, then the message of the chunk kind it stopped.
bool Fail(const char* reason, const char* outer)
{
    Error::Report(2, reason, outer);
    return false;
}

const char* const OBJECT_FAILED = "Scene::Load: Error setting up object.\n";
const char* const NULL_FAILED = "Scene::Load: Error setting up nullobject.\n";
const char* const LIGHT_FAILED = "Scene::Load: Error setting up light.\n";
const char* const CAMERA_FAILED = "Scene::Load: Error setting up camera.\n";
const char* const ENVELOPE_FAILED = "Scene::Load: Error setting up envelope.\n";
const char* const FLARE_FAILED = "Scene::Load: Error setting up lensflare.\n";

template <class Fields>
Fields ReadFields(const std::uint8_t* at)
{
    Fields fields;
    std::memcpy(&fields, at, sizeof fields);
    return fields;
}

// The state of one load: the scene, its flags and clone source, and the
// three counters of the chunk walk.
struct Walk {
    Scene& scene;
    const std::uint32_t flags;
    Scene* const source;
    std::uint32_t objects = 0;    // o: object records set up so far
    std::uint32_t lights = 0;     // l
    std::uint32_t envelopes = 0;  // e
    std::uint32_t sprites = 0;    // of every flare made so far

    bool Shallow() const { return (flags & SCENE_SHALLOW) != 0; }

    // An object index of the file as a link into this scene; false when it
    // is neither -1 nor an object of the header's count.
    bool Link(const std::int32_t index, SceneObject*& link) const
    {
        link = nullptr;
        if (index == SCENE_NO_OBJECT)
            return true;
        if (index < 0 || static_cast<std::uint32_t>(index) >= scene.objectCount)
            return Fail("Scene::Load: Object index out of range.\n");
        link = &scene.objects[index];
        return true;
    }

    bool Object(const SceneChunk& chunk);
    bool Light(const SceneChunk& chunk);
    bool Camera(const SceneChunk& chunk);
    bool Envelope(const SceneChunk& chunk);
    bool MorphEnvelope(const SceneChunk& chunk);
    bool DissolveEnvelope(const SceneChunk& chunk);
    bool LightFlare(const SceneChunk& chunk);
    bool ObjectFlare(const SceneChunk& chunk);
    bool Chunk(const SceneChunk& chunk);

    // The next envelope record for a chunk, or null (reported).
    SceneEnvelope* NextEnvelope();
    // The next envelope and the latest object, for the envelope of a plugin
    // made on that object; false (reported) when either is missing.
    bool PluginEnvelope(const char* before, SceneEnvelope*& envelope, SceneObject*& object);
    // Sets envelope up from chunk to drive target, and counts it.
    bool Drive(SceneEnvelope& envelope, const SceneChunk& chunk, float* target);
    // The record of the latest object chunk, which must have a mesh; null (reported).
    SceneObject* LatestObject(const char* before);
    bool SetUpFlare(Flare* flare, const SceneChunk& chunk);
};

bool AttachMorph(SceneObject& object)
{
    Morph* const morph = new (std::nothrow) Morph;
    if (morph == nullptr)
        return Fail("Scene::Load: Not enough memory for Morph-plugin.\n");
    morph->amount = object.morphAmount;
    Fish::AttachPlugin(object.vector, morph, false);
    object.deformed = 1;
    object.vector->isStatic = 0;
    return true;
}

bool Walk::Object(const SceneChunk& chunk)
{
    const bool mesh = chunk.tag == SceneTag::VOBJ;
    const char* const failed = mesh ? OBJECT_FAILED : NULL_FAILED;
    if (objects >= scene.objectCount)
        return Fail("Scene::Load: More objects than the header counts.\n", failed);
    SceneObject& object = scene.objects[objects];
    // Links first, so that a file with a broken index loads no mesh.
    const auto fields = ReadFields<SCENE_FILE_Object>(chunk.data);
    if (!Shallow() && (!Link(fields.parent, object.parent) || !Link(fields.target, object.target) ||
                       (mesh && !Link(fields.morphTarget, object.morphTarget))))
        return Fail(failed);
    bool ready = true;
    if (source != nullptr) {
        ready = object.Setup(chunk, flags | SCENE_SHALLOW);
        object.vector = source->objects[objects].vector;
    }
    if (ready && (mesh || source == nullptr))
        ready = object.Setup(chunk, flags);
    if (!ready)
        return Fail(failed);
    if (object.morphTarget != nullptr && !AttachMorph(object))
        return false;
    ++objects;
    return true;
}

bool Walk::Light(const SceneChunk& chunk)
{
    if (lights >= scene.lightCount)
        return Fail("Scene::Load: More lights than the header counts.\n", LIGHT_FAILED);
    SceneLight& light = scene.lights[lights];
    const auto fields = ReadFields<SCENE_FILE_Light>(chunk.data);
    if (!light.Setup(chunk) || !Link(fields.parent, light.parent) || !Link(fields.target, light.target))
        return Fail(LIGHT_FAILED);
    ++lights;
    return true;
}

bool Walk::Camera(const SceneChunk& chunk)
{
    SceneCamera& camera = *scene.camera;
    const auto fields = ReadFields<SCENE_FILE_Camera>(chunk.data);
    if (!camera.Setup(chunk) || !Link(fields.parent, camera.parent) || !Link(fields.target, camera.target))
        return Fail(CAMERA_FAILED);
    return true;
}

SceneEnvelope* Walk::NextEnvelope()
{
    if (envelopes >= scene.envelopeCount) {
        Fail("Scene::Load: More envelopes than the header counts.\n", ENVELOPE_FAILED);
        return nullptr;
    }
    return &scene.envelopes[envelopes];
}

// The light envelopes drive a value of the latest light, "ZOOM" the camera's zoom.
bool Walk::Envelope(const SceneChunk& chunk)
{
    SceneEnvelope* const envelope = NextEnvelope();
    if (envelope == nullptr)
        return false;
    float* target = &scene.camera->zoom;
    if (chunk.tag != SceneTag::ZOOM) {
        if (lights == 0)
            return Fail("Scene::Load: Light envelope before the first light.\n", ENVELOPE_FAILED);
        ::Light& light = *scene.lights[lights - 1].light;
        target = chunk.tag == SceneTag::LINT   ? &light.intensity
                 : chunk.tag == SceneTag::LRNG ? &light.range
                 : chunk.tag == SceneTag::LCON ? &light.outerConeCosine
                                               : &light.innerConeCosine;
    }
    return Drive(*envelope, chunk, target);
}

SceneObject* Walk::LatestObject(const char* before)
{
    if (objects == 0) {
        Fail(before);
        return nullptr;
    }
    SceneObject& object = scene.objects[objects - 1];
    if (object.vector == nullptr) {
        Fail("Scene::Load: Plugin on an object without a mesh.\n");
        return nullptr;
    }
    return &object;
}

bool Walk::PluginEnvelope(const char* before, SceneEnvelope*& envelope, SceneObject*& object)
{
    envelope = NextEnvelope();
    if (envelope == nullptr)
        return false;
    object = LatestObject(before);
    return object != nullptr || Fail(ENVELOPE_FAILED);
}

bool Walk::Drive(SceneEnvelope& envelope, const SceneChunk& chunk, float* target)
{
    if (!envelope.Setup(chunk))
        return Fail(ENVELOPE_FAILED);
    envelope.target = target;
    ++envelopes;
    return true;
}

bool Walk::MorphEnvelope(const SceneChunk& chunk)
{
    SceneEnvelope* envelope = nullptr;
    SceneObject* object = nullptr;
    if (!PluginEnvelope("Scene::Load: Morph envelope before the first object.\n", envelope, object))
        return false;
    Morph* const morph = Morph::Of(object->vector);
    if (morph == nullptr)
        return Fail("Scene::Load: Morph envelope on an object that does not morph.\n", ENVELOPE_FAILED);
    return Drive(*envelope, chunk, &morph->amount);
}

bool Walk::DissolveEnvelope(const SceneChunk& chunk)
{
    SceneEnvelope* envelope = nullptr;
    SceneObject* object = nullptr;
    if (!PluginEnvelope("Scene::Load: Dissolve envelope before the first object.\n", envelope, object))
        return false;
    Dissolve* const dissolve = new (std::nothrow) Dissolve;
    if (dissolve == nullptr)
        return Fail("Scene::Load: Not enough memory for Dissolve-plugin.\n");
    if (!dissolve->Init(object->vector)) {
        delete dissolve;
        return Fail("Scene::Load: Error initializing Dissolve-plugin.\n");
    }
    Fish::AttachPlugin(object->vector, dissolve, true);
    return Drive(*envelope, chunk, &dissolve->amount);
}

bool RefuseSprites()
{
    char message[128];
    std::snprintf(message, sizeof message, "Scene::Load: Not enough memory for more than %u lensflare sprites.\n",
                  static_cast<unsigned>(Flare::MAX_SCENE_SPRITES));
    return Fail(message, FLARE_FAILED);
}

// Gives flare the chunk's values and its sprites, within what the scene's
// flares may hold together; false (reported) after destroying it.
bool Walk::SetUpFlare(Flare* flare, const SceneChunk& chunk)
{
    if (flare == nullptr)
        return Fail("Scene::Load: Error allocating memory for lensflare.\n");
    const auto fields = ReadFields<SCENE_FILE_Flare>(chunk.data);
    flare->flags = fields.flags;
    flare->size = fields.size;
    flare->trailLength = fields.trailLength;
    flare->spritesPerFrame = fields.spritesPerFrame;
    if (!flare->Setup(reinterpret_cast<const char*>(chunk.data + sizeof fields))) {
        delete flare;
        return Fail(FLARE_FAILED);
    }
    if (flare->spriteCount > Flare::MAX_SCENE_SPRITES - sprites) {
        delete flare;
        return RefuseSprites();
    }
    sprites += flare->spriteCount;
    return true;
}

bool Walk::LightFlare(const SceneChunk& chunk)
{
    if (lights == 0)
        return Fail("Scene::Load: Light flare before the first light.\n", FLARE_FAILED);
    SceneLight& record = scene.lights[lights - 1];
    Flare* const flare = new (std::nothrow) Flare(Flare::LIGHT, nullptr, &scene);
    if (!SetUpFlare(flare, chunk))
        return false;
    FlareSprite& first = flare->sprites[0];
    first.red = record.light->red;
    first.green = record.light->green;
    first.blue = record.light->blue;
    Fish::AttachPlugin(record.light, flare, false);
    record.flare = flare;
    return true;
}

bool Walk::ObjectFlare(const SceneChunk& chunk)
{
    SceneObject* const object = LatestObject("Scene::Load: Object flare before the first object.\n");
    if (object == nullptr)
        return Fail(FLARE_FAILED);
    const auto fields = ReadFields<SCENE_FILE_Flare>(chunk.data);
    const std::uint32_t kind = fields.kind == Flare::TRAIL ? Flare::TRAIL : Flare::OBJECT;
    Flare* const flare = new (std::nothrow) Flare(kind, object, &scene);
    if (!SetUpFlare(flare, chunk))
        return false;
    Fish::AttachPlugin(object->vector, flare, false);
    object->flare = flare;
    return true;
}

bool Walk::Chunk(const SceneChunk& chunk)
{
    using namespace SceneTag;
    const std::uint32_t tag = chunk.tag;
    if (tag == VOBJ || tag == NULL_OBJECT)
        return Object(chunk);
    if (tag == LGHT)
        return Light(chunk);
    if (tag == CAMR)
        return Camera(chunk);
    if (tag == LINT || tag == LRNG || tag == LCON || tag == LEDG || tag == ZOOM)
        return Envelope(chunk);
    // The plugins' chunks mean nothing to a shallow load.
    if (Shallow())
        return true;
    if (tag == MORP)
        return MorphEnvelope(chunk);
    if (tag == ODIS)
        return DissolveEnvelope(chunk);
    if (tag == LFLR)
        return LightFlare(chunk);
    if (tag == OFLR)
        return ObjectFlare(chunk);
    return true;
}

// Every chunk from offset 300 while the offset is below the file size S,
// each checked to lie inside S before its data is read (scene/chunkhead.h
// says how one past S is met).
bool WalkChunks(Walk& walk, const std::uint8_t* buffer, const std::uint32_t fileSize)
{
    std::uint64_t offset = HEADER_SIZE;
    while (offset < fileSize) {
        const ChunkHead head = ReadChunkHead(buffer, fileSize, fileSize, offset);
        if (!head.inside) {
            if (!IsSceneTag(head.tag))
                break;
            return Fail("Scene::Load: Chunk runs past the file size.\n");
        }
        const SceneChunk chunk{head.tag, buffer + head.start, static_cast<std::uint32_t>(head.length)};
        if (!CheckSceneChunk(chunk) || !walk.Chunk(chunk))
            return false;
        offset = head.start + head.length;
    }
    // Every counted object and light must exist: the lists and the renderer
    // take each record's mesh and Light as there.
    if (walk.objects < walk.scene.objectCount)
        return Fail("Scene::Load: Fewer objects than the header counts.\n");
    if (walk.lights < walk.scene.lightCount)
        return Fail("Scene::Load: Fewer lights than the header counts.\n");
    return true;
}

// A mesh this scene may give up for a shareable one of the same name: its
// own (not lent by the clone source), without plugins, not morphing.
bool Exchangeable(const Scene& scene, const std::uint32_t i)
{
    const SceneObject& object = scene.objects[i];
    if (object.morphTarget != nullptr || object.vector == nullptr || object.vector->firstPlugin != nullptr)
        return false;
    const Scene* const source = scene.cloneSource;
    return source == nullptr || i >= source->objectCount || source->objects[i].vector != object.vector;
}

// Marks the scene's plain meshes shareable, then takes for each the one of
// the same name that another scene holds, dropping the scene's own copy.
void ShareMeshes(Scene& scene)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        if (Exchangeable(scene, i))
            VectorHandle::Share(scene.objects[i].vector);
    }
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        SceneObject& object = scene.objects[i];
        if (!Exchangeable(scene, i))
            continue;
        Vector* const shared = VectorHandle::Take(object.name, gCurrentScene);
        if (shared == nullptr || shared == object.vector)
            continue;
        VectorHandle::Release(object.vector);
        delete object.vector;
        object.vector = shared;
    }
}

// Whether any object from first up its parent chain has a mesh that moves.
bool ChainMoves(const SceneObject* first)
{
    for (const SceneObject* object = first; object != nullptr; object = object->parent) {
        if (object->vector != nullptr && object->vector->isStatic == 0)
            return true;
    }
    return false;
}

// The morphs' saved shapes, and the flags the renderer reads: what moves,
// and that every mesh takes the deforming path.
bool FinishObjects(Scene& scene)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        SceneObject& object = scene.objects[i];
        Vector* const vector = object.vector;
        if (vector == nullptr)
            continue;
        if (object.morphTarget != nullptr) {
            Morph* const morph = Morph::Of(vector);
            if (morph == nullptr || !morph->Init(vector, object.morphTarget->vector))
                return Fail("Scene::Load: Error setting up Morph-plugin.\n");
        }
        if (ChainMoves(object.parent))
            vector->isStatic = 0;
        object.deformed = 1;
        if (vector->type != NULL_OBJECT_TYPE)
            vector->type = DEFORMING_MESH_TYPE;
    }
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        SceneLight& light = scene.lights[i];
        if (light.light != nullptr && ChainMoves(light.parent))
            light.light->isStatic = 0;
    }
    return true;
}

// No frame of the scene may stall the program: its hierarchy and its trails
// stay within the evaluations a frame can afford.
bool BoundedWork(const Scene& scene)
{
    std::uint64_t evaluations = 0;
    if (!CountFrameEvaluations(scene, MAX_EVALUATIONS_PER_FRAME, evaluations))
        return Fail("Scene::Load: Not enough memory to count the evaluations.\n");
    if (evaluations <= MAX_EVALUATIONS_PER_FRAME)
        return true;
    char message[160];
    std::snprintf(message, sizeof message,
                  "Scene::Load: Links and trails need more than %llu evaluations a frame.\n",
                  static_cast<unsigned long long>(MAX_EVALUATIONS_PER_FRAME));
    return Fail(message);
}

}  // namespace

bool Scene::Load(const std::uint8_t* buffer, const std::size_t length, const std::uint32_t flags, Scene* source)
{
    gCurrentScene = this;
    if (!SetupHeader(buffer, length))
        return Fail("Scene::Load: Error setting up sceneheader.\n");
    if (source != nullptr) {
        cloneSource = source;
        if (source->objectCount != objectCount)
            return Fail("Scene::Load: Error cloning scene. NrVectors not equal.\n");
    }
    Walk walk{*this, flags, source};
    if (!WalkChunks(walk, buffer, ReadFields<SCENE_FILE_Header>(buffer).fileSize) || !CheckSceneLinks(*this) ||
        !BoundedWork(*this))
        return false;
    if (!ReserveHierarchyEvaluation(objectCount))
        return Fail("Scene::Load: Not enough memory to evaluate the links.\n");
    ShareMeshes(*this);
    return walk.Shallow() || FinishObjects(*this);
}

bool Scene::LoadFile(const char* name, const std::uint32_t flags)
{
    std::size_t length = 0;
    const std::unique_ptr<std::uint8_t[]> buffer(PAK::ReadFile(name, &length));
    if (!buffer) {
        Error::Report(3, "Scene::Load: Error reading .scn-file. ( ", name, " )\n");
        return false;
    }
    const bool loaded = Load(buffer.get(), length, flags, nullptr);
    if (!loaded)
        Error::Report(3, "Scene::Load: Error running Scene::Load ( ", name, " )\n");
    return loaded;
}

