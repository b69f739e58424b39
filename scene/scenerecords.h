// The in-memory records of a scene: the Scene object, its mesh and null
// objects, its lights with their Light objects, its camera and (from
// scene/keys.h) its envelopes. Here only their construction values, their
// ownership and their destruction; the scene loader fills them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/fish.h"
#include "render/matrix.h"
#include "scene/keys.h"

class Flare;
class Vector;

constexpr std::int32_t NULL_OBJECT_TYPE = 16;  // a null object's Vector: the swim table's empty operation
struct SceneChunk;

// A mesh or null object of a scene: its key track, its place in the
// hierarchy and the matrices the animation caches for it. The record owns
// its keys and, for a null object, its empty Vector, which no handle holds.
// Meshes are the vector handle table's, which may hand them to other scenes,
// and stay until the process ends; the flare sits in the Vector's plugin chain.
struct SceneObject {
    static constexpr std::size_t NAME_SIZE = 1024;  // bytes, NUL included

    SceneObject() = default;
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;
    // Releases the keys and a null object's Vector; forgets a mesh and the flare.
    ~SceneObject();

    // Fills the record from a "VOBJ" or "NULL" chunk whose fields and keys
    // the loader has checked to lie inside it; with flags bit 0 no mesh is
    // made. Links are left to the loader. False (reported) on failure.
    bool Setup(const SceneChunk& chunk, std::uint32_t flags);

    // The world matrix at frame, through the two-slot cache. Parents and
    // targets are evaluated on the way, so the links must hold no cycle;
    // their depth does not matter (render/hierarchy.h), the work they make
    // is bounded by the loader (render/evaluationbudget.h).
    void Evaluate(float frame, Matrix& out);

    char name[NAME_SIZE] = {};         // the mesh file name, or the null object's name
    float cacheFrameA = -1.0f;         // frame whose world matrix is in cacheMatrixA; no frame is negative
    Matrix cacheMatrixA;
    float cacheFrameB = -2.0f;         // the same for cacheMatrixB
    Matrix cacheMatrixB;
    Matrix worldMatrix;                // written every frame by the animation
    float pivot[3] = {};               // x, y, z: the object-space point the keys move and turn
    float boundingBox[6] = {};         // smallest x, y, z, then largest x, y, z of the mesh's atoms
    SceneObject* parent = nullptr;     // an object of the same scene, or null
    SceneObject* target = nullptr;     // the object this one turns to face, or null
    std::uint32_t endBehaviour = 0;    // END_HOLD, END_REPEAT, else none
    std::uint32_t pathLookAhead = 0;   // frames; non-zero turns the object along its path
    SceneObject* morphTarget = nullptr;
    float morphAmount = 0.0f;          // initial amount of the Morph plugin
    std::uint32_t keyCount = 0;
    ObjectKey* keys = nullptr;         // owned, keyCount elements
    Flare* flare = nullptr;            // not owned: it sits in the vector's plugin chain
    std::uint8_t deformed = 0;         // set by the scene loader: keys that scale, a morph, a full load
    Vector* vector = nullptr;          // not owned: the mesh or null object drawn for this record
};

// A light source as the light list holds it; its type is its kind. It owns
// its plugin chain (LightSetup, a light flare) through the Fish part.
class Light : public Fish {
public:
    // The kinds, which are also the light table's indices.
    static constexpr std::int32_t DISTANT = 1;
    static constexpr std::int32_t POINT = 2;
    static constexpr std::int32_t SPOT = 3;

    explicit Light(const std::int32_t kind) { type = kind; }

    // Lights the lighting state's atom with its normal: both light sums are
    // refilled from every active light of the current light list, static
    // lights left out while the static-light mask is set.
    static void Accumulate();
    // The light table's operations, on the current light object: each adds
    // its light to the static sum (a static light) or the dynamic sum.
    static void ShadeDistant();
    static void ShadePoint();
    static void ShadeSpot();

    Matrix matrix;                      // camera-space transform, written every frame
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float intensity = 1.0f;
    float range = 0.0f;
    float falloff = 0.0f;               // intensity / range, written every frame by LightSetup
    float innerConeCosine = 0.0f;       // cosine of cone angle minus edge angle
    float outerConeCosine = 0.0f;       // cosine of the cone angle
    float directionX = 0.0f;            // unit direction, written every frame by LightSetup
    float directionY = 0.0f;
    float directionZ = -1.0f;
    std::uint32_t isStatic = 0;         // 1: the renderer may cache the light's contribution per cell
};

// The animated part of a light. It owns its keys and its Light, and with the
// Light the Light's plugins, the flare among them.
struct SceneLight {
    SceneLight() = default;
    SceneLight(const SceneLight&) = delete;
    SceneLight& operator=(const SceneLight&) = delete;
    // Releases the keys and destroys the Light.
    ~SceneLight();

    // Makes the Light with its LightSetup plugin and the keys from a checked
    // "LGHT" chunk. False (reported) on failure.
    bool Setup(const SceneChunk& chunk);

    // The world matrix at frame; no cache.
    void Evaluate(float frame, Matrix& out);

    Matrix matrix;                     // world matrix, written every frame by the animation
    SceneObject* parent = nullptr;     // objects of the same scene, or null
    SceneObject* target = nullptr;
    std::uint32_t endBehaviour = 0;
    std::uint32_t pathLookAhead = 0;
    std::uint32_t keyCount = 0;
    MotionKey* keys = nullptr;         // owned, keyCount elements
    Flare* flare = nullptr;            // not owned: it sits in the Light's plugin chain
    Light* light = nullptr;            // owned
};

// The scene's one camera. It owns its keys.
struct SceneCamera {
    static constexpr float DEFAULT_ZOOM = 3.2f;

    SceneCamera() = default;
    SceneCamera(const SceneCamera&) = delete;
    SceneCamera& operator=(const SceneCamera&) = delete;
    // Releases the keys.
    ~SceneCamera();

    // Takes the fields and keys of a checked "CAMR" chunk, replacing those of
    // an earlier one. False (reported) on failure.
    bool Setup(const SceneChunk& chunk);

    // The view matrix at frame: the inverse of the camera's world matrix.
    void Evaluate(float frame, Matrix& out);

    Matrix matrix;                     // view matrix: the inverse of the camera's world transform
    SceneObject* parent = nullptr;     // objects of the same scene, or null
    SceneObject* target = nullptr;
    std::uint32_t endBehaviour = 0;
    std::uint32_t pathLookAhead = 0;
    float zoom = DEFAULT_ZOOM;
    std::uint32_t keyCount = 0;
    MotionKey* keys = nullptr;         // owned, keyCount elements
};

// One scene of the show. It owns its records (and through them their keys
// and Lights) and its camera; every array keeps its count beside it. A scene
// with a clone source borrows that scene's meshes and never touches them.
class Scene : public Fish {
public:
    static constexpr std::int32_t TYPE = 7;

    Scene() { type = TYPE; }
    // Forgets borrowed meshes first, then destroys the objects, the lights
    // with their Lights, the camera and the envelopes.
    ~Scene() override;

    // Each makes its array (or the camera) anew, destroying an earlier one,
    // and stores the count with it. False when memory runs out: the old
    // array is gone, the field is null and the count 0; reporting is left
    // to the caller, which knows what it was loading.
    bool AllocateObjects(std::uint32_t count);
    bool AllocateLights(std::uint32_t count);
    bool AllocateEnvelopes(std::uint32_t count);
    bool AllocateCamera();

    // Reads the scene file name (archive first, then the disk) and loads it.
    bool LoadFile(const char* name, std::uint32_t flags);

    // Loads the scene from length bytes at buffer, which stay the caller's
    // and are never read past. flags bit 0 makes a shallow load (no meshes,
    // no plugins); source, when given, lends its meshes. Every failure is
    // reported and leaves the scene partly built.
    bool Load(const std::uint8_t* buffer, std::size_t length, std::uint32_t flags, Scene* source);

    // The header checks and the arrays of the header's counts.
    bool SetupHeader(const std::uint8_t* buffer, std::size_t length);

    // Uploads every map the scene draws with; a GL context is current.
    bool SetupOpenGL();

    // The operation of type 7 on the current object: the scene's frame from
    // the clock, every matrix, the envelopes and the projection scales.
    static void Swim();

    std::uint32_t firstFrame = 0;
    std::uint32_t lastFrame = 0;
    float framesPerSecond = 0.0f;
    std::uint32_t startTime = 0;        // milliseconds; set when the scene starts playing
    float currentFrame = 0.0f;          // written every frame by the animation
    Scene* cloneSource = nullptr;       // the scene whose meshes this one borrows; not owned
    std::uint32_t objectCount = 0;
    SceneObject* objects = nullptr;     // owned, objectCount elements
    std::uint32_t lightCount = 0;
    SceneLight* lights = nullptr;       // owned, lightCount elements
    SceneCamera* camera = nullptr;      // owned
    std::uint32_t envelopeCount = 0;
    SceneEnvelope* envelopes = nullptr; // owned, envelopeCount elements
};
