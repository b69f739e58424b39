// The kit every scene description is written with. A Shot is one scene of
// the table: it knows its slot (start and end in music time), plays at
// FRAMES_PER_SECOND with frame numbers counted from the start of the music,
// so that a frame number means the same moment in every scene and motion
// that crosses a cut is sampled from one function of time. Keys are sampled
// over the whole slot with a margin on both sides, on one grid of moments
// for every scene, so that two scenes interpolate a motion alike at a cut.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/surfaces.h"
#include "tools/datagen/builders/vec3.h"
#include "tools/writers/scenewriter.h"

// Every start time of the scene table is a whole number of frames at this rate.
constexpr float FRAMES_PER_SECOND = 50.0f;
// Keys reach this far before and after the slot: trails look back, and the
// last frame of a scene may fall just past its end.
constexpr float KEY_MARGIN_SECONDS = 1.0f;

// Where something is at a moment, in the engine's terms: the placement a
// mesh is built with, as keys hold it.
using Pose = Placement;

// A pose for every moment, in seconds of music time.
using Motion = std::function<Pose(float seconds)>;

// A pose at position looking toward a point.
Pose Looking(Vec3 position, Vec3 toward, float bank = 0.0f);

// Motions made of simple moves.
Motion Still(Pose pose);
// From one pose to another over the slot [from, to] seconds, eased at both ends.
Motion Glide(Pose start, Pose end, float from, float to);
// Looking at a fixed point from a moving position.
Motion Watching(const std::function<Vec3(float)>& position, Vec3 toward);

struct Sampling {
    float step = 0.25f;    // seconds between keys
    bool linear = false;   // straight segments between keys
    float until = 0.0f;    // when above 0, the last key's moment (else the slot's end and margin)
};

class Shot {
public:
    explicit Shot(int scene);

    int Scene() const { return scene_; }
    float Start() const { return start_; }            // seconds of music
    float End() const { return end_; }
    float Duration() const { return end_ - start_; }
    float At(float fraction) const { return start_ + fraction * Duration(); }
    static float FrameOf(float seconds) { return seconds * FRAMES_PER_SECOND; }

    // Keys of motion sampled over the slot and its margins.
    std::vector<ObjectKey> ObjectKeys(const Motion& motion, Sampling sampling = {}) const;
    std::vector<MotionKey> MotionKeys(const Motion& motion, Sampling sampling = {}) const;

    // Chunks ready to add: a mesh (or null) placed once, or following motion.
    SceneObjectChunk Placed(const std::string& name, const Pose& pose) const;
    SceneObjectChunk Moving(const std::string& name, const Motion& motion, Sampling sampling = {}) const;
    // A mesh (or null) at pose turning once every period seconds about its
    // own y axis (or, with bank set, its z axis), for ever: two linear keys
    // from frame 0 and the repeat end behaviour.
    static SceneObjectChunk Spinning(const std::string& name, const Pose& pose, float period, bool bank = false);
    SceneCameraChunk Camera(const Motion& motion, float zoom = 3.2f, Sampling sampling = {}) const;
    // A light without keys yet: give it KeyAt for one that never moves, or
    // MotionKeys.
    static SceneLightChunk Lamp(std::uint32_t kind, Colour colour, float intensity, float range);
    static MotionKey KeyAt(const Pose& pose);
    // A distant light that never moves, shining from the direction toward.
    static SceneLightChunk Sun(Colour colour, float intensity, Vec3 toward);
    // A point light fixed at position, reaching range units.
    static SceneLightChunk Bulb(Colour colour, float intensity, float range, Vec3 position);

    // The chunks in file order; each returns the object index of what it added.
    int Add(const SceneObjectChunk& object);
    int AddNull(const SceneObjectChunk& object);
    int NextObject() const { return objects_; }  // the index the next object will get
    void AddLight(const SceneLightChunk& light) { writer_.AddLight(light); }
    void AddCamera(const SceneCameraChunk& camera) { writer_.AddCamera(camera); }
    void AddEnvelope(std::uint32_t tag, const SceneEnvelopeChunk& envelope) { writer_.AddEnvelope(tag, envelope); }
    void AddLightFlare(const SceneFlareChunk& flare) { writer_.AddLightFlare(flare); }
    void AddObjectFlare(const SceneFlareChunk& flare) { writer_.AddObjectFlare(flare); }

    // An envelope through (seconds, value) points, in time order.
    static SceneEnvelopeChunk Envelope(const std::vector<std::pair<float, float>>& points, bool linear = false,
                                       std::uint32_t endBehaviour = 0);

    // Writes the scene file at its table path in the tree. False (reported) on failure.
    bool Write(const std::string& root);
    // How many scene files Write has made in this run.
    static int Written();

private:
    int scene_;
    float start_;
    float end_;
    int objects_ = 0;
    SceneWriter writer_;
};
