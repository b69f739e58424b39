// Chunk shapes and the object link check. The link walk is iterative, with
// its own stack, so that a hostile file cannot exhaust the program's stack
// here, as the hierarchy's evaluation cannot either.
#include "scene/scenechecks.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "scene/keys.h"

namespace {

// Floats side by side in a record: count of them from offset first on.
struct FloatRun {
    std::size_t first;
    std::size_t count;
};

// Where a chunk kind keeps its fixed fields, key count, name and floats.
struct Shape {
    std::size_t fieldsSize;
    std::size_t keyCountOffset;  // within the fields
    std::size_t keySize;         // 0: the kind has no keys
    bool nameFirst;              // a name field opens the fields
    bool nameFollows;            // a name of up to SCENE_NAME_SIZE bytes follows the fields
    FloatRun floats[2];          // the fixed fields' floats; runs of count 0 are none
};

constexpr FloatRun NO_FLOATS{0, 0};

constexpr Shape OBJECT_SHAPE{sizeof(SCENE_FILE_Object), offsetof(SCENE_FILE_Object, keyCount), sizeof(ObjectKey),
                             true, false,
                             {{offsetof(SCENE_FILE_Object, pivot), 3}, {offsetof(SCENE_FILE_Object, morphAmount), 1}}};
constexpr Shape LIGHT_SHAPE{sizeof(SCENE_FILE_Light), offsetof(SCENE_FILE_Light, keyCount), sizeof(MotionKey),
                            false, false, {{offsetof(SCENE_FILE_Light, red), 7}, NO_FLOATS}};
constexpr Shape CAMERA_SHAPE{sizeof(SCENE_FILE_Camera), offsetof(SCENE_FILE_Camera, keyCount), sizeof(MotionKey),
                             false, false, {{offsetof(SCENE_FILE_Camera, zoom), 1}, NO_FLOATS}};
constexpr Shape ENVELOPE_SHAPE{sizeof(SCENE_FILE_Envelope), offsetof(SCENE_FILE_Envelope, keyCount),
                               sizeof(EnvelopeKey), false, false, {NO_FLOATS, NO_FLOATS}};
constexpr Shape FLARE_SHAPE{sizeof(SCENE_FILE_Flare), 0, 0, false, true, {{offsetof(SCENE_FILE_Flare, size), 3}, NO_FLOATS}};
static_assert(offsetof(SCENE_FILE_Light, edgeAngle) == offsetof(SCENE_FILE_Light, red) + 6 * sizeof(float) &&
              offsetof(SCENE_FILE_Flare, spritesPerFrame) == offsetof(SCENE_FILE_Flare, size) + 2 * sizeof(float));

// A key's floats: frame, tension, continuity and bias, then its channels
// after the linear word.
constexpr FloatRun KEY_HEAD_FLOATS{0, 4};
constexpr std::size_t KEY_VALUES_OFFSET = offsetof(EnvelopeKey, value);

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

bool FiniteRun(const std::uint8_t* record, const FloatRun& run)
{
    for (std::size_t k = 0; k < run.count; ++k) {
        float value;
        std::memcpy(&value, record + run.first + k * sizeof value, sizeof value);
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

// Every float of the fixed fields and of keyCount keys is a finite number:
// nothing else may reach the animation and, through it, OpenGL.
bool FiniteNumbers(const SceneChunk& chunk, const Shape& shape, std::uint32_t keyCount)
{
    for (const FloatRun& run : shape.floats) {
        if (!FiniteRun(chunk.data, run))
            return false;
    }
    if (shape.keySize == 0)
        return true;
    const FloatRun values{KEY_VALUES_OFFSET, (shape.keySize - KEY_VALUES_OFFSET) / sizeof(float)};
    for (std::uint32_t i = 0; i < keyCount; ++i) {
        const std::uint8_t* const key = chunk.data + shape.fieldsSize + std::size_t{i} * shape.keySize;
        if (!FiniteRun(key, KEY_HEAD_FLOATS) || !FiniteRun(key, values))
            return false;
    }
    return true;
}

bool RefuseNumbers(const SceneChunk& chunk)
{
    char tag[5] = {};
    std::memcpy(tag, &chunk.tag, 4);
    Error::Report(3, "Scene::Load: Number that is not finite in ", tag, " chunk.\n");
    return false;
}

bool HasNul(const std::uint8_t* field, const std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

// A kind indexes the light table; one whose entry is empty gives a dark light.
bool CheckLightKind(const SceneChunk& chunk)
{
    std::uint32_t kind;
    std::memcpy(&kind, chunk.data + offsetof(SCENE_FILE_Light, kind), sizeof kind);
    return kind < static_cast<std::uint32_t>(HANDLER_TABLE_SIZE);
}

constexpr std::uint8_t UNVISITED = 0;
constexpr std::uint8_t ON_PATH = 1;  // being walked: meeting it again closes a cycle
constexpr std::uint8_t DONE = 2;

// The cycle check's state: per object where the walk stands, and the stack
// of the depth-first walk.
struct LinkWalk {
    const Scene& scene;
    std::uint8_t* state;
    std::uint32_t* stack;

    std::uint32_t IndexOf(const SceneObject* object) const
    {
        return static_cast<std::uint32_t>(object - scene.objects);
    }

    // Depth-first from object start; false (reported) on a cycle.
    bool From(std::uint32_t start)
    {
        std::uint32_t top = 0;
        stack[top++] = start;
        state[start] = ON_PATH;
        while (top > 0) {
            const std::uint32_t index = stack[top - 1];
            bool descended = false;
            for (const SceneObject* const link : {scene.objects[index].parent, scene.objects[index].target}) {
                if (link == nullptr || descended)
                    continue;
                const std::uint32_t next = IndexOf(link);
                if (state[next] == ON_PATH)
                    return Refuse("Scene::Load: Parent or target links form a cycle.\n");
                if (state[next] == UNVISITED) {
                    state[next] = ON_PATH;
                    stack[top++] = next;
                    descended = true;
                }
            }
            if (descended)
                continue;
            state[index] = DONE;
            --top;
        }
        return true;
    }
};

}  // namespace

bool SceneFail(const char* message)
{
    Error::Report(1, message);
    return false;
}

bool IsSceneTag(const std::uint32_t tag) { return ShapeOf(tag) != nullptr; }

bool CheckSceneChunk(const SceneChunk& chunk)
{
    const Shape* const shape = ShapeOf(chunk.tag);
    if (shape == nullptr)
        return true;
    if (chunk.length < shape->fieldsSize)
        return Refuse("Scene::Load: Chunk shorter than its fields.\n");
    std::uint32_t keyCount = 0;
    if (shape->keySize != 0) {
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
        return Refuse("Scene::Load: Light kind beyond the light table.\n");
    return FiniteNumbers(chunk, *shape, keyCount) || RefuseNumbers(chunk);
}

bool CheckSceneLinks(const Scene& scene)
{
    const std::uint32_t count = scene.objectCount;
    const std::unique_ptr<std::uint8_t[]> state(new (std::nothrow) std::uint8_t[count]());
    const std::unique_ptr<std::uint32_t[]> stack(new (std::nothrow) std::uint32_t[count]);
    if (!state || !stack)
        return Refuse("Scene::Load: Not enough memory to check the links.\n");
    LinkWalk walk{scene, state.get(), stack.get()};
    for (std::uint32_t i = 0; i < count; ++i) {
        if (state[i] == UNVISITED && !walk.From(i))
            return false;
    }
    return true;
}
