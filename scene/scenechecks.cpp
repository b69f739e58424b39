// Chunk shapes and the object link check. The link walk is iterative, with
// its own stack, so that a hostile file cannot exhaust the program's stack
// here either.
#include "scene/scenechecks.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "host/error.h"
#include "scene/keys.h"

namespace {

// Where a chunk kind keeps its fixed fields, key count and name.
struct Shape {
    std::size_t fieldsSize;
    std::size_t keyCountOffset;  // within the fields
    std::size_t keySize;         // 0: the kind has no keys
    bool nameFirst;              // a name field opens the fields
    bool nameFollows;            // a name of up to SCENE_NAME_SIZE bytes follows the fields
};

constexpr Shape OBJECT_SHAPE{sizeof(SCENE_FILE_Object), offsetof(SCENE_FILE_Object, keyCount), sizeof(ObjectKey),
                             true, false};
constexpr Shape LIGHT_SHAPE{sizeof(SCENE_FILE_Light), offsetof(SCENE_FILE_Light, keyCount), sizeof(MotionKey),
                            false, false};
constexpr Shape CAMERA_SHAPE{sizeof(SCENE_FILE_Camera), offsetof(SCENE_FILE_Camera, keyCount), sizeof(MotionKey),
                             false, false};
constexpr Shape ENVELOPE_SHAPE{sizeof(SCENE_FILE_Envelope), offsetof(SCENE_FILE_Envelope, keyCount),
                               sizeof(EnvelopeKey), false, false};
constexpr Shape FLARE_SHAPE{sizeof(SCENE_FILE_Flare), 0, 0, false, true};

const Shape* ShapeOf(const std::uint32_t tag)
{
    using namespace SceneTag;
    if (tag == VOBJ || tag == NULL_OBJECT)
        return &OBJECT_SHAPE;
    if (tag == LGHT)
        return &LIGHT_SHAPE;
    if (tag == CAMR)
        return &CAMERA_SHAPE;
    if (tag == LINT || tag == LRNG || tag == LCON || tag == LEDG || tag == ZOOM || tag == MORP || tag == ODIS)
        return &ENVELOPE_SHAPE;
    if (tag == LFLR || tag == OFLR)
        return &FLARE_SHAPE;
    return nullptr;
}

bool Refuse(const char* message) { return SceneFail(message); }

bool HasNul(const std::uint8_t* field, const std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

bool CheckLightKind(const SceneChunk& chunk)
{
    std::uint32_t kind;
    std::memcpy(&kind, chunk.data + offsetof(SCENE_FILE_Light, kind), sizeof kind);
    return kind >= static_cast<std::uint32_t>(Light::DISTANT) && kind <= static_cast<std::uint32_t>(Light::SPOT);
}

constexpr std::uint32_t UNVISITED = 0;
constexpr std::uint32_t ON_PATH = ~std::uint32_t{0};  // being walked: meeting it again closes a cycle

// The evaluations one evaluation of a record with these links asks for at
// most, the matrix cache aside: a record aligned to a target evaluates
// itself unaligned (and so its parent) and its target; one aligned along its
// path evaluates itself, and its parent, at two frames.
std::uint32_t WorkOf(const bool lookAhead, const std::uint32_t parentWork, const bool targeted,
                     const std::uint32_t targetWork)
{
    std::uint64_t work = 1 + std::uint64_t{parentWork};
    if (targeted)
        work += targetWork;
    else if (lookAhead)
        work += parentWork;
    return work > SCENE_MAX_LINK_WORK ? SCENE_MAX_LINK_WORK + 1 : static_cast<std::uint32_t>(work);
}

bool RefuseWork()
{
    char message[96];
    std::snprintf(message, sizeof message, "Scene::Load: Parent and target links ask for more than %u evaluations.\n",
                  static_cast<unsigned>(SCENE_MAX_LINK_WORK));
    return Refuse(message);
}

// The link check's state: per object its depth (UNVISITED and ON_PATH while
// unknown) and its work, and the stack of the depth-first walk.
struct LinkWalk {
    const Scene& scene;
    std::uint32_t* depth;
    std::uint32_t* work;
    std::uint32_t* stack;

    std::uint32_t IndexOf(const SceneObject* object) const
    {
        return static_cast<std::uint32_t>(object - scene.objects);
    }

    std::uint32_t WorkAt(const SceneObject* object) const { return object ? work[IndexOf(object)] : 0; }

    // Depth and work of index from its links, which are known; false
    // (reported) past a bound.
    bool Finish(std::uint32_t index)
    {
        const SceneObject& object = scene.objects[index];
        std::uint32_t deepest = 0;
        for (const SceneObject* const link : {object.parent, object.target})
            deepest = link != nullptr && depth[IndexOf(link)] > deepest ? depth[IndexOf(link)] : deepest;
        if (deepest + 1 > SCENE_MAX_LINK_DEPTH) {
            char message[96];
            std::snprintf(message, sizeof message, "Scene::Load: Parent and target links deeper than %u.\n",
                          static_cast<unsigned>(SCENE_MAX_LINK_DEPTH));
            return Refuse(message);
        }
        depth[index] = deepest + 1;
        work[index] = WorkOf(object.pathLookAhead != 0, WorkAt(object.parent), object.target != nullptr,
                             WorkAt(object.target));
        return work[index] <= SCENE_MAX_LINK_WORK || RefuseWork();
    }

    // Depth-first from object start; false (reported) on a cycle or a bound.
    bool From(std::uint32_t start)
    {
        std::uint32_t top = 0;
        stack[top++] = start;
        depth[start] = ON_PATH;
        while (top > 0) {
            const std::uint32_t index = stack[top - 1];
            bool descended = false;
            for (const SceneObject* const link : {scene.objects[index].parent, scene.objects[index].target}) {
                if (link == nullptr || descended)
                    continue;
                const std::uint32_t next = IndexOf(link);
                if (depth[next] == ON_PATH)
                    return Refuse("Scene::Load: Parent or target links form a cycle.\n");
                if (depth[next] == UNVISITED) {
                    depth[next] = ON_PATH;
                    stack[top++] = next;
                    descended = true;
                }
            }
            if (descended)
                continue;
            if (!Finish(index))
                return false;
            --top;
        }
        return true;
    }

    // The camera and the lights evaluate like objects without a scale.
    template <class Record>
    bool CheckRecord(const Record& record) const
    {
        return WorkOf(record.pathLookAhead != 0, WorkAt(record.parent), record.target != nullptr,
                      WorkAt(record.target)) <= SCENE_MAX_LINK_WORK ||
               RefuseWork();
    }
};

}  // namespace

bool SceneFail(const char* message)
{
    Error::Report(1, message);
    return false;
}

bool CheckSceneChunk(const SceneChunk& chunk)
{
    const Shape* const shape = ShapeOf(chunk.tag);
    if (shape == nullptr)
        return true;
    if (chunk.length < shape->fieldsSize)
        return Refuse("Scene::Load: Chunk shorter than its fields.\n");
    if (shape->keySize != 0) {
        std::uint32_t keyCount;
        std::memcpy(&keyCount, chunk.data + shape->keyCountOffset, sizeof keyCount);
        if (std::uint64_t{keyCount} * shape->keySize > chunk.length - shape->fieldsSize)
            return Refuse("Scene::Load: Keys run past the end of the chunk.\n");
    }
    const std::size_t room = chunk.length - shape->fieldsSize;
    const bool named = (shape->nameFirst && HasNul(chunk.data, SCENE_NAME_SIZE)) ||
                       (shape->nameFollows && HasNul(chunk.data + shape->fieldsSize, room < SCENE_NAME_SIZE ? room : SCENE_NAME_SIZE));
    if ((shape->nameFirst || shape->nameFollows) && !named)
        return Refuse("Scene::Load: Name not terminated.\n");
    if (chunk.tag == SceneTag::LGHT && !CheckLightKind(chunk))
        return Refuse("Scene::Load: Light kind is not 1, 2 or 3.\n");
    return true;
}

bool CheckSceneLinks(const Scene& scene)
{
    const std::uint32_t count = scene.objectCount;
    const std::unique_ptr<std::uint32_t[]> depth(new (std::nothrow) std::uint32_t[count]());
    const std::unique_ptr<std::uint32_t[]> work(new (std::nothrow) std::uint32_t[count]);
    const std::unique_ptr<std::uint32_t[]> stack(new (std::nothrow) std::uint32_t[count]);
    if (!depth || !work || !stack)
        return Refuse("Scene::Load: Not enough memory to check the links.\n");
    LinkWalk walk{scene, depth.get(), work.get(), stack.get()};
    for (std::uint32_t i = 0; i < count; ++i) {
        if (depth[i] == UNVISITED && !walk.From(i))
            return false;
    }
    if (scene.camera != nullptr && !walk.CheckRecord(*scene.camera))
        return false;
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        if (!walk.CheckRecord(scene.lights[i]))
            return false;
    }
    return true;
}
