// The intro. Scene 0 plays on the fading screen: comets of light draw trails
// on black, glowing rings grow and spin, coloured lights wheel round with
// their flares, and everything gathers to one point. Scene 1: a chrome drop
// morphs into a star before the show's title.
#include <cmath>

#include "tools/datagen/builders/letters.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/shot.h"

namespace {

constexpr int RING_COUNT = 5;
constexpr const char* SPARK = "data\\intro\\objects\\spark.vob";
constexpr const char* RING[3] = {"data\\intro\\objects\\ring_cyan.vob", "data\\intro\\objects\\ring_rose.vob",
                                 "data\\intro\\objects\\ring_gold.vob"};
constexpr const char* DROP = "data\\intro\\objects\\drop.vob";
constexpr const char* STAR = "data\\intro\\objects\\star.vob";
constexpr const char* TITLE = "data\\intro\\objects\\title.vob";
constexpr const char* STARS = "data\\intro\\objects\\stars.vob";

constexpr Colour RING_COLOURS[3] = {{0.2f, 0.8f, 1.0f}, {1.0f, 0.3f, 0.6f}, {1.0f, 0.75f, 0.2f}};

float Ease(float t) { return t <= 0.0f ? 0.0f : (t >= 1.0f ? 1.0f : t * t * (3.0f - 2.0f * t)); }

// A comet's flight: spiralling in from far away, weaving round the centre,
// and plunging into it at the end.
Vec3 Comet(int i, float s)
{
    const float phase = static_cast<float>(i) * 2.1f;
    const float arrive = Ease((s - 1.5f - 3.0f * static_cast<float>(i)) / 6.0f);
    const float gather = Ease((s - 27.0f) / 4.0f);
    const float radius = (1.0f - gather) * (18.0f + 60.0f * (1.0f - arrive));
    const float a = 0.9f * s + phase, b = 1.3f * s + phase * 0.7f;
    return Vec3{radius * std::sin(a), radius * 0.45f * std::sin(b), radius * std::cos(a) * 0.6f + 40.0f * (1.0f - arrive)};
}

// Ring k's centre: rising into a column the camera will fly through.
Vec3 RingPlace(int k, float s)
{
    const float line = Ease((s - 18.0f) / 5.0f);
    const float a = TWO_PI * static_cast<float>(k) / RING_COUNT + 0.2f * s;
    const Vec3 circle{14.0f * std::sin(a), 6.0f * std::cos(a * 1.3f), 10.0f * std::cos(a)};
    const Vec3 column{0.0f, 0.0f, -20.0f + 14.0f * static_cast<float>(k)};
    return Lerp(circle, column, line) * (1.0f - Ease((s - 28.0f) / 3.5f));
}

bool WriteMeshes(const std::string& root)
{
    Mesh spark;
    AddSphere(spark, {}, 0.6f, 4, spark.AddMaterial(Surface::Glow({0.8f, 0.95f, 1.0f})));
    if (!WriteMesh(root, SPARK, spark))
        return false;
    for (int c = 0; c < 3; ++c) {
        Mesh ring;
        AddTorus(ring, 4.0f, 0.35f, 20, 5, ring.AddMaterial(Surface::Glow(RING_COLOURS[c], 0.8f)));
        if (!WriteMesh(root, RING[c], ring))
            return false;
    }
    Mesh drop;
    AddSphere(drop, {}, 3.0f, 10, drop.AddMaterial(Surface::Environment(Library::CHROME)));
    const Mesh star = Reshaped(drop, [](Vec3 p) {
        const Vec3 n = Normalised(p);
        const float spikes = std::pow(std::fabs(std::sin(4.0f * std::atan2(n.x, n.z)) * std::cos(n.y * 1.6f)), 6.0f);
        return p * (0.75f + 0.9f * spikes);
    });
    Mesh stars;
    AddStarfield(stars, 500, 400.0f, 1.4f, stars.AddMaterial(Surface::Glow({0.9f, 0.9f, 1.0f}, 0.8f)), 5);
    Mesh title;
    const LetterFont font;
    if (!font.Ready() ||
        !font.Build("AQUARIUM", 6.0f, 1.6f, true, title.AddMaterial(Surface::Environment(Library::CHROME, 0.2f)),
                    title.AddMaterial(Surface::Smooth({0.3f, 0.5f, 0.9f}, 0.25f)), title))
        return false;
    return WriteMesh(root, DROP, drop) && WriteMesh(root, STAR, star) && WriteMesh(root, STARS, stars) &&
           WriteMesh(root, TITLE, title);
}

// A ring that grows at its moment, turning once every few seconds, carried
// by a null that places it.
void AddRing(Shot& shot, int k)
{
    SceneObjectChunk carrier = shot.Moving("carrier", [k](float s) {
        Pose pose;
        pose.position = RingPlace(k, s);
        pose.pitch = 0.4f * static_cast<float>(k);
        return pose;
    });
    const int place = shot.AddNull(carrier);
    Pose tilt;
    tilt.pitch = PI / 2.0f;
    SceneObjectChunk spinner = Shot::Spinning("spinner", tilt, 3.0f + static_cast<float>(k) * 0.7f, true);
    spinner.parent = place;
    const int spin = shot.AddNull(spinner);
    const float grow = 9.0f + 1.6f * static_cast<float>(k);
    SceneObjectChunk ring = shot.Moving(RING[k % 3], [grow](float s) {
        Pose pose;
        const float size = 0.02f + 0.98f * Ease((s - grow) / 2.5f);
        pose.scale = {size, size, size};
        return pose;
    }, {0.5f, false});
    ring.parent = spin;
    shot.Add(ring);
    shot.AddObjectFlare({0, 0x02, 5.0f, 0.0f, 0.0f, Library::HALO});
}

bool Trails(const std::string& root)
{
    Shot shot(0);
    for (int i = 0; i < 3; ++i) {
        shot.Add(shot.Moving(SPARK, [i](float s) {
            Pose pose;
            pose.position = Comet(i, s);
            return pose;
        }, {0.2f, false}));
        shot.AddObjectFlare({2, 0, 2.4f, 28.0f, 0.75f, Library::GLOW});
    }
    for (int k = 0; k < RING_COUNT; ++k)
        AddRing(shot, k);
    for (int i = 0; i < 3; ++i) {
        SceneLightChunk light = Shot::Lamp(2, RING_COLOURS[i], 1.0f, 60.0f);
        light.keys = shot.MotionKeys([i](float s) {
            Pose pose;
            const float a = 0.5f * s + TWO_PI * static_cast<float>(i) / 3.0f;
            const float r = 26.0f * (1.0f - Ease((s - 26.0f) / 5.0f));
            pose.position = {r * std::cos(a), 8.0f * std::sin(1.7f * a), r * std::sin(a)};
            return pose;
        }, {0.25f, false});
        shot.AddLight(light);
        shot.AddLightFlare({0, 0, 9.0f, 0.0f, 0.0f, Library::STAR});
    }
    shot.AddCamera(shot.Camera([](float s) {
        const float drift = 0.05f * s;
        const float through = Ease((s - 21.0f) / 9.0f);
        const Vec3 eye{-70.0f * std::sin(drift) * (1.0f - through), 10.0f * (1.0f - through), -70.0f + 30.0f * through};
        return Looking(eye, {0.0f, 0.0f, 10.0f * through});
    }));
    return shot.Write(root);
}

bool Title(const std::string& root)
{
    Shot shot(1);
    shot.Add(shot.Placed(STARS, {}));
    shot.Add(shot.Placed(Library::NEBULA, {}));
    Pose title;
    title.position = {0.0f, -1.5f, 10.0f};
    shot.Add(shot.Placed(TITLE, title));
    SceneObjectChunk drop = shot.Moving(DROP, [](float s) {
        Pose pose;
        pose.position = {0.0f, 1.0f, -4.0f + 2.0f * (s - 32.0f)};
        pose.heading = 0.8f * s;
        pose.pitch = 0.3f * std::sin(s);
        return pose;
    });
    // The drop morphs into the star, the object after it, which is never
    // shown itself.
    drop.morphTarget = shot.NextObject() + 1;
    shot.Add(drop);
    shot.AddEnvelope(SceneFormat::TAG_MORP, Shot::Envelope({{32.0f, 0.0f}, {32.8f, 0.0f}, {34.6f, 1.0f}, {35.6f, 0.35f},
                                                            {37.2f, 0.8f}}));
    shot.Add(shot.Placed(STAR, {}));
    shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope({{0.0f, 1.0f}}));
    shot.AddLight(Shot::Sun({0.9f, 0.9f, 1.0f}, 0.8f, {0.3f, 0.6f, -0.7f}));
    SceneLightChunk orbit = Shot::Lamp(2, {1.0f, 0.6f, 0.3f}, 1.6f, 40.0f);
    orbit.keys = shot.MotionKeys([](float s) {
        Pose pose;
        pose.position = {10.0f * std::sin(1.5f * s), 4.0f, 2.0f + 10.0f * std::cos(1.5f * s)};
        return pose;
    });
    shot.AddLight(orbit);
    shot.AddCamera(shot.Camera([](float s) {
        const float t = Ease((s - 32.0f) / 5.0f);
        return Looking({3.0f * (1.0f - t), 2.5f - 1.5f * t, -16.0f - 26.0f * t}, {0.0f, 0.0f, 6.0f * t});
    }));
    return shot.Write(root);
}

}  // namespace

bool WriteIntro(const std::string& root) { return WriteMeshes(root) && Trails(root) && Title(root); }
