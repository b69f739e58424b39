// The finish at night: the rival leads down the floodlit straight between
// the stands, the hero draws level and takes the line under the chequered
// arch; fireworks burst over the crowd, the craft come to rest, and the
// trophy rises on the podium under a narrowing spot.
#include <cmath>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/letters.h"
#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/cameras.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/race.h"

namespace {

using Library::HERO;
using Library::RIVAL;
using Library::THIRD;

constexpr float LINE = 900.0f;            // the finish line, along the course (at z = 0)
constexpr float CROSSING = 220.2f;        // the hero takes the line
constexpr float SPEED = 80.0f;
constexpr float BRAKING = 260.0f;         // units from the line to a stop
constexpr Vec3 PODIUM{34.0f, 0.0f, 240.0f};
constexpr int FIREWORKS = 6;
constexpr int BURST_SPARKS = 5;
constexpr const char* STRAIGHT = "data\\goal\\objects\\straight.vob";
constexpr const char* ARCH = "data\\goal\\objects\\arch.vob";
constexpr const char* PODIUM_MESH = "data\\goal\\objects\\podium.vob";
constexpr const char* TROPHY = "data\\goal\\objects\\trophy.vob";
constexpr const char* GROUNDS = "data\\goal\\pictures\\grounds.jpg";  // road, crowd, grass, frame stacked
constexpr const char* CHEQUER = "data\\overlay5\\pictures\\chequer.tga";  // the interlude's, shared
constexpr const char* NIGHT_SKY = "data\\city1\\objects\\sky.vob";
constexpr float FIREWORK_TIMES[FIREWORKS] = {221.0f, 222.4f, 223.9f, 228.8f, 231.0f, 238.5f};

// Flat out to the line, then braking to a stop BRAKING units past it.
Progress Finish(float crossing, float approachBonus, float bonusFade)
{
    return [=](float t) {
        const float run = t - crossing;
        const float extra = approachBonus * std::exp(-(t - 211.2f) / bonusFade);
        if (run < 0.0f)
            return LINE + SPEED * run + extra;
        const float stop = 2.0f * BRAKING / SPEED;
        const float r = std::fmin(run, stop);
        return LINE + SPEED * r - 0.5f * (SPEED / stop) * r * r + extra;
    };
}

const Path& Course()
{
    static const Path course({{0.0f, 0.0f, -LINE}, {0.0f, 0.0f, 800.0f}});
    return course;
}

const Race& TheRace()
{
    static const Race race(Course(), {Finish(CROSSING, 0.0f, 1.0f), Finish(CROSSING + 0.2f, 28.0f, 5.0f), Finish(CROSSING + 0.8f, 12.0f, 8.0f)},
                           [](float, float) { return 0.0f; });
    return race;
}

constexpr int ROAD_BAND = 0, CROWD_BAND = 1, GRASS_BAND = 2, FRAME_BAND = 3;

Picture Crowd()
{
    Picture picture(256, 64);
    Random random(90);
    picture.Paint([](float, float v) { return Scaled(Colour{0.12f, 0.1f, 0.14f}, 1.0f - 0.5f * v); });
    for (int i = 0; i < 1800; ++i) {
        const int x = random.Below(256), y = random.Below(64);
        const Colour c{random.Range(0.3f, 1.0f), random.Range(0.2f, 0.9f), random.Range(0.2f, 1.0f)};
        picture.At(x, y) = c;
        picture.At(x, (y + 1) % 64) = Scaled(c, 0.6f);
    }
    return picture;
}

Picture Grounds(std::vector<Band>& bands)
{
    Picture grass(256, 64), frame(256, 64);
    grass.Paint([](float u, float v) { return Scaled(Colour{0.08f, 0.22f, 0.1f}, 0.8f + 0.3f * Noise2(u * 30.0f, v * 8.0f, 4)); });
    frame.Paint([](float, float) { return Colour{0.28f, 0.28f, 0.33f}; });
    return Stack({Asphalt(256, 64), Crowd(), grass, frame}, bands);
}

Mesh Straight()
{
    Mesh mesh;
    std::vector<Band> bands;
    Grounds(bands);
    const std::uint32_t grounds = mesh.AddMaterial(Surface::Mapped(GROUNDS, false, 0.55f));
    const std::uint32_t lamp = mesh.AddMaterial(Surface::Shining({1.0f, 0.97f, 0.9f}));
    const Uv frame = bands[FRAME_BAND].At(0.5f, 0.5f);
    const auto flat = [&](float x0, float x1, float y, int band, float across, int strips) {
        AddBandQuad(mesh, {x0, y, -LINE}, {x0, y, 800.0f}, {x1, y, 800.0f}, {x1, y, -LINE}, grounds, bands[band], across, strips);
    };
    flat(-16.0f, 16.0f, 0.0f, ROAD_BAND, 1.0f, static_cast<int>((LINE + 800.0f) / 10.0f));
    flat(-400.0f, -16.0f, -0.05f, GRASS_BAND, 6.0f, 20);
    flat(16.0f, 400.0f, -0.05f, GRASS_BAND, 6.0f, 20);
    for (const float side : {-1.0f, 1.0f}) {
        Mesh stand;
        AddStand(stand, 420.0f, 8, grounds, bands[CROWD_BAND], frame);
        Placement place;
        place.position = {side * 28.0f, 0.0f, -60.0f};
        place.heading = side * PI / 2.0f;
        mesh.Append(stand, place);
        for (float z = -300.0f; z <= 200.0f; z += 125.0f) {
            Mesh mast;
            AddMast(mast, 30.0f, grounds, frame, lamp);
            Placement at;
            at.position = {side * 22.0f, 0.0f, z};
            at.heading = side * PI / 2.0f;
            mesh.Append(mast, at);
        }
    }
    return mesh;
}

bool WriteMeshes(const std::string& root)
{
    std::vector<Band> bands;
    Mesh arch, podium, trophy;
    AddArch(arch, 34.0f, 14.0f, arch.AddMaterial(Surface::Flat({0.6f, 0.6f, 0.65f}, 0.3f)), arch.AddMaterial(Surface::ShiningMapped(CHEQUER)));
    const LetterFont font;
    Mesh word;
    if (!font.Ready() || !font.Build("FINISH", 5.0f, 1.2f, true, word.AddMaterial(Surface::Shining({1.0f, 0.85f, 0.2f})),
                                     word.AddMaterial(Surface::Flat({0.6f, 0.4f, 0.05f}, 0.4f)), word))
        return false;
    Placement top;
    top.position = {0.0f, 20.5f, 0.0f};
    arch.Append(word, top, {arch.AddMaterial(word.Materials()[0]), arch.AddMaterial(word.Materials()[1])});
    const std::uint32_t stone = podium.AddMaterial(Surface::Smooth({0.85f, 0.85f, 0.9f}, 0.3f));
    AddBox(podium, {0.0f, 2.0f, 0.0f}, {8.0f, 4.0f, 8.0f}, stone);
    AddBox(podium, {-8.0f, 1.4f, 0.0f}, {8.0f, 2.8f, 8.0f}, stone);
    AddBox(podium, {8.0f, 1.0f, 0.0f}, {8.0f, 2.0f, 8.0f}, stone);
    AddLathe(trophy, {{1.2f, 0.0f}, {1.2f, 0.4f}, {0.35f, 0.8f}, {0.3f, 2.2f}, {1.1f, 2.8f}, {1.6f, 4.2f}, {1.5f, 4.4f},
                      {0.0f, 3.6f}}, 16, trophy.AddMaterial(Surface::Environment(Library::CHROME, 0.3f)), false);
    return WriteMesh(root, STRAIGHT, Straight()) && WriteMesh(root, ARCH, arch) && WriteMesh(root, PODIUM_MESH, podium) &&
           WriteMesh(root, TROPHY, trophy) && WritePicture(root, GROUNDS, Grounds(bands), Form::JPEG_PROGRESSIVE);
}

// Firework k: a rocket rising from behind a stand, then sparks thrown out
// from where it bursts, falling; out of sight below the ground before and after.
Vec3 Rocket(int k, float s)
{
    const float t = s - FIREWORK_TIMES[k];
    const Vec3 base{(k % 2 == 0 ? -1.0f : 1.0f) * 70.0f, 0.0f, -120.0f + 70.0f * static_cast<float>(k)};
    if (t < 0.0f || t > 1.6f)
        return base + Vec3{0.0f, -400.0f, 0.0f};
    return base + Vec3{0.0f, 60.0f * t, 0.0f};
}

Vec3 Spark(int k, int i, float s)
{
    const float t = s - FIREWORK_TIMES[k] - 1.6f;
    if (t < 0.0f || t > 2.8f)
        return Rocket(k, FIREWORK_TIMES[k] - 1.0f);
    const float a = TWO_PI * static_cast<float>(i) / BURST_SPARKS + static_cast<float>(k);
    const Vec3 out{std::cos(a) * 28.0f, 10.0f + 12.0f * std::sin(a * 1.7f), std::sin(a) * 28.0f};
    return Rocket(k, FIREWORK_TIMES[k] + 1.6f) + out * (1.0f - std::exp(-2.0f * t)) - Vec3{0.0f, 6.0f * t * t, 0.0f};
}

void AddFireworks(Shot& shot)
{
    for (int k = 0; k < FIREWORKS; ++k) {
        const float launch = FIREWORK_TIMES[k];
        if (launch > shot.End() + 1.0f || launch + 5.0f < shot.Start())
            continue;
        shot.AddNull(shot.Moving("rocket", [k](float s) { return Pose{Rocket(k, s)}; }, {0.05f, true}));
        shot.AddObjectFlare({2, 0, 2.0f, 16.0f, 0.75f, Library::EMBER});
        for (int i = 0; i < BURST_SPARKS; ++i) {
            shot.AddNull(shot.Moving("spark", [k, i](float s) { return Pose{Spark(k, i, s)}; }, {0.1f, false}));
            shot.AddObjectFlare({2, 0, 3.5f, 20.0f, 0.6f, k % 2 == 0 ? Library::GLOW : Library::STAR});
        }
    }
}

// The straight, the arch, the podium with its trophy, the lights, the field.
void AddSet(Shot& shot, bool trophy)
{
    shot.Add(shot.Placed(NIGHT_SKY, {}));
    shot.Add(shot.Placed(STRAIGHT, {}));
    shot.Add(shot.Placed(ARCH, {}));
    shot.Add(shot.Placed(PODIUM_MESH, {PODIUM}));
    if (trophy) {
        shot.Add(Shot::Spinning(TROPHY, {PODIUM + Vec3{0.0f, 4.0f, 0.0f}}, 6.0f));
        shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope({{230.0f, 1.0f}, {233.6f, 1.0f}, {235.4f, 0.0f}}, true, END_HOLD));
    }
    for (int racer = 0; racer < Library::CRAFT_COUNT; ++racer) {
        SceneObjectChunk craft = shot.Moving(Library::CRAFT[racer], TheRace().Of(racer), {0.2f, false, CROSSING + 8.0f});
        craft.endBehaviour = END_HOLD;  // at rest past the line
        shot.Add(craft);
    }
    for (const float side : {-1.0f, 1.0f}) {
        SceneLightChunk flood = Shot::Lamp(3, {0.9f, 0.95f, 1.0f}, 1.6f, 220.0f);
        flood.coneAngle = 0.7f;
        flood.edgeAngle = 0.3f;
        flood.keys = {Shot::KeyAt(Looking({side * 22.0f, 31.0f, -50.0f}, {0.0f, 0.0f, 20.0f}))};
        shot.AddLight(flood);
        shot.AddLightFlare({0, 0, 10.0f, 0.0f, 0.0f, Library::STAR});
    }
    SceneLightChunk podiumSpot = Shot::Lamp(3, {1.0f, 0.9f, 0.7f}, 2.0f, 60.0f);
    podiumSpot.coneAngle = 0.5f;
    podiumSpot.edgeAngle = 0.1f;
    podiumSpot.keys = {Shot::KeyAt(Looking(PODIUM + Vec3{-10.0f, 30.0f, -10.0f}, PODIUM))};
    shot.AddLight(podiumSpot);
    shot.AddEnvelope(SceneFormat::TAG_LCON, Shot::Envelope({{232.0f, 0.6f}, {236.0f, 0.93f}}, false, END_HOLD));
    AddFireworks(shot);
}

bool Scene(const std::string& root, int index, const Motion& camera, float zoom)
{
    Shot shot(index);
    AddSet(shot, index >= 47);
    shot.AddCamera(shot.Camera(camera, zoom));
    return shot.Write(root);
}

}  // namespace

bool WriteGoal(const std::string& root)
{
    const Race& race = TheRace();
    const auto at = [](float z) { return Course().At(LINE + z); };
    return WriteMeshes(root) &&
           Scene(root, 41, Watch(race, RIVAL, {-24.0f, 12.0f, -540.0f}), 2.6f) &&
           Scene(root, 42, Chase(race, HERO, 12.0f, 3.0f), 2.4f) &&
           Scene(root, 43, Beside(race, HERO, 9.0f, 2.0f, 1.0f), 2.2f) &&
           Scene(root, 44, [at](float) { return Looking(at(-2.0f) + Vec3{20.0f, 1.5f, 0.0f}, at(0.0f) + Vec3{0.0f, 3.0f, 0.0f}); }, 2.0f) &&
           Scene(root, 45, [at](float s) { return Looking(at(-50.0f + 12.0f * (s - 221.7f)) + Vec3{-4.0f, 5.0f, 0.0f},
                                                          at(220.0f) + Vec3{0.0f, 30.0f, 0.0f}); }, 2.2f) &&
           Scene(root, 46, Beside(race, HERO, -3.0f, 2.5f, 14.0f), 2.2f) &&
           Scene(root, 47, [](float s) { return Looking({-14.0f, 3.0f, -100.0f + 18.0f * (s - 228.4f)}, {40.0f, 28.0f, -40.0f + 18.0f * (s - 228.4f)}); }, 2.0f) &&
           Scene(root, 48, Orbit(PODIUM + Vec3{0.0f, 4.0f, 0.0f}, 14.0f, 4.0f, -2.4f, 232.8f, 0.25f, 2.0f), 2.4f) &&
           Scene(root, 49, [](float s) {
               const float t = (s - 236.8f) / 10.6f;
               const float a = -1.6f + 1.8f * t;
               const Vec3 centre = PODIUM + Vec3{-17.0f, 3.0f, 15.0f};
               const Vec3 eye = centre + Vec3{28.0f * std::sin(a), 5.0f + 30.0f * t * t, 28.0f * std::cos(a)};
               return Looking(eye, centre + Vec3{0.0f, 50.0f * t * t * t, 0.0f});
           }, 2.2f);
}
