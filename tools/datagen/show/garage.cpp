// The pit garage: the hero's craft glides in onto the lift under spot
// lights, an arm swings over it, its shell fades away to show the glowing
// core, sparks fly as the arm works, the shell returns, and the craft backs
// off the lift and leaves through the door, engines blazing.
#include <cmath>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/craft.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/shot.h"

namespace {

constexpr Vec3 ROOM{70.0f, 20.0f, 56.0f};
constexpr float DOOR_Z = -28.0f;              // the room's front wall, with the door
constexpr float PARKED = 157.5f;              // the craft stops on the lift
constexpr float SHELL_GONE = 172.0f;          // the shell has faded away
constexpr float SHELL_BACK = 190.5f;          // and is whole again
constexpr float LEAVING = 197.5f;             // the craft turns for the door
constexpr float LAUNCH = 200.6f;              // and its engines throw it out
constexpr float ACCELERATION = 28.0f;
constexpr float TOP_SPEED = 85.0f;
constexpr const char* HALL = "data\\garage\\objects\\hall.vob";
constexpr const char* LIFT = "data\\garage\\objects\\lift.vob";
constexpr const char* SHELL = "data\\garage\\objects\\shell.vob";
constexpr const char* FRAME = "data\\garage\\objects\\frame.vob";
constexpr const char* CORE = "data\\garage\\objects\\core.vob";
constexpr const char* BASE = "data\\garage\\objects\\armbase.vob";
constexpr const char* LIMB = "data\\garage\\objects\\limb.vob";
constexpr const char* TORCH = "data\\garage\\objects\\torch.vob";
constexpr const char* DRONE = "data\\garage\\objects\\drone.vob";
constexpr const char* SCREENS = "data\\garage\\objects\\screens.vob";
constexpr const char* SURFACES = "data\\garage\\pictures\\surfaces.tga";  // floor, walls, ceiling, paints
constexpr const char* STRIPES = "data\\garage\\pictures\\stripes.tga";
constexpr const char* SCREEN = "data\\garage\\pictures\\screen.jpg";
constexpr const char* CORE_PICTURE = "data\\garage\\pictures\\core.tga";
constexpr const char* OUTSIDE = "data\\garage\\objects\\outside.vob";
constexpr const char* NIGHT_SKY = "data\\city1\\objects\\sky.vob";  // the city's, shared
constexpr const char* ROAD = "data\\city1\\pictures\\road.jpg";

float Ease(float t) { return t <= 0.0f ? 0.0f : (t >= 1.0f ? 1.0f : t * t * (3.0f - 2.0f * t)); }

// Where the lift stands, and how high it has the craft: raised while the
// work goes on, lowered before the craft leaves.
float LiftHeight(float s) { return 2.5f * Ease((s - 160.0f) / 3.0f) * (1.0f - Ease((s - 194.5f) / 2.0f)); }

// The craft: in through the door, slowing onto the lift; later back off it,
// turning and out through the door.
Pose Craft(float s)
{
    Pose pose;
    if (s < LEAVING) {
        const float in = Ease((s - 153.0f) / (PARKED - 153.0f));
        pose.position = {0.0f, 1.4f + LiftHeight(s), -70.0f + 70.0f * in};
        return pose;
    }
    const float turn = Ease((s - LEAVING) / 2.0f);
    const float run = std::fmax(0.0f, s - LAUNCH), ramp = TOP_SPEED / ACCELERATION;
    const float out = run < ramp ? 0.5f * ACCELERATION * run * run
                                 : 0.5f * ACCELERATION * ramp * ramp + TOP_SPEED * (run - ramp);
    pose.heading = PI * turn;
    pose.position = {0.0f, 1.4f, -out};
    return pose;
}

// The hall's surfaces stacked: floor, walls, ceiling, and the paints of the
// pillars and the cabinets, in the bands of those indices.
constexpr int FLOOR_BAND = 0, WALL_BAND = 1, CEILING_BAND = 2, PILLAR_BAND = 3, CABINET_BAND = 4;

Picture SurfacesPicture(std::vector<Band>& bands)
{
    Picture ceiling(128, 32), pillar(128, 16), cabinet(128, 16);
    ceiling.Paint([](float u, float) { return Scaled(Colour{0.12f, 0.12f, 0.14f}, std::fmod(u * 4.0f, 1.0f) < 0.1f ? 0.5f : 1.0f); });
    pillar.Paint([](float, float) { return Colour{0.42f, 0.42f, 0.45f}; });
    cabinet.Paint([](float, float) { return Colour{0.65f, 0.16f, 0.1f}; });
    return Stack({Concrete(128, {0.5f, 0.5f, 0.52f}, {0.9f, 0.75f, 0.1f}, 19),
                  Cropped(Plates(128, {0.35f, 0.4f, 0.45f}, {0.12f, 0.14f, 0.16f}, 23), 64), ceiling, pillar, cabinet},
                 bands);
}

Picture Screen()
{
    Picture picture(128, 64);
    picture.Paint([](float u, float v) {
        const float trace = std::exp(-std::pow((v - 0.5f - 0.3f * std::sin(u * 18.0f) * std::exp(-u * 2.0f)) * 40.0f, 2.0f));
        const float grid = (std::fmod(u * 16.0f, 1.0f) < 0.05f || std::fmod(v * 8.0f, 1.0f) < 0.08f) ? 0.25f : 0.0f;
        const bool bar = v > 0.82f && u < 0.15f + 0.6f * std::fabs(std::sin(u * 9.0f));
        return Colour{0.05f + 0.4f * trace, 0.12f + grid + 0.9f * trace + (bar ? 0.5f : 0.0f), 0.1f + grid + 0.5f * trace};
    });
    return picture;
}

// The pit lane outside: the garage's lit front with its bright door, a road
// running away from it with lamps, under the city's night sky.
Mesh Outside()
{
    Mesh mesh;
    std::vector<Band> bands;
    Library::PitsPicture(bands);
    const std::uint32_t pits = mesh.AddMaterial(Surface::Mapped(Library::PITS, false, 0.7f));
    const std::uint32_t road = mesh.AddMaterial(Surface::Mapped(ROAD, false, 0.5f));
    const std::uint32_t door = mesh.AddMaterial(Surface::Shining({0.6f, 0.75f, 1.0f}));
    const std::uint32_t lamp = mesh.AddMaterial(Surface::Shining({1.0f, 0.85f, 0.55f}));
    const Uv pole = bands[Library::PITS_FRAME].At(0.5f, 0.5f);
    AddHall(mesh, {0.0f, 0.0f, 0.0f}, {ROOM.x + 2.0f, ROOM.y + 1.0f, ROOM.z + 2.0f}, pits, bands[Library::PITS_FACADE],
            bands[Library::PITS_ROOF]);
    AddBox(mesh, {0.0f, 6.0f, DOOR_Z - 1.1f}, {16.0f, 12.0f, 0.05f}, door);
    const std::uint32_t a = mesh.AddVertex({-12.0f, 0.05f, DOOR_Z - 1.2f}), b = mesh.AddVertex({-12.0f, 0.05f, -1200.0f});
    const std::uint32_t c = mesh.AddVertex({12.0f, 0.05f, -1200.0f}), d = mesh.AddVertex({12.0f, 0.05f, DOOR_Z - 1.2f});
    mesh.AddQuad(d, c, b, a, road, {0.0f, 0.0f}, {1.0f, 40.0f});
    for (float z = DOOR_Z - 30.0f; z > -1200.0f; z -= 45.0f) {
        for (const float x : {-15.0f, 15.0f}) {
            AddBox(mesh, {x, 4.5f, z}, {0.4f, 9.0f, 0.4f}, pits, {}, pole);
            AddBox(mesh, {x, 9.0f, z}, {1.4f, 0.5f, 1.4f}, lamp);
        }
    }
    return mesh;
}

bool WriteMeshes(const std::string& root)
{
    Mesh hall, lift, core, base, limb, torch, drone, screens;
    std::vector<Band> bands;
    SurfacesPicture(bands);
    const std::uint32_t surfaces = hall.AddMaterial(Surface::Mapped(SURFACES, false, 0.45f));
    AddRoom(hall, ROOM, surfaces, bands[FLOOR_BAND], bands[WALL_BAND], bands[CEILING_BAND]);
    const std::uint32_t door = hall.AddMaterial(Surface::Shining({0.6f, 0.75f, 1.0f}));
    AddBox(hall, {0.0f, 6.0f, DOOR_Z + 0.1f}, {16.0f, 12.0f, 0.05f}, door);
    for (const float x : {-24.0f, 24.0f}) {
        AddBox(hall, {x, ROOM.y * 0.5f, 8.0f}, {2.0f, ROOM.y, 2.0f}, surfaces, {}, bands[PILLAR_BAND].At(0.5f, 0.5f));
        AddBox(hall, {x * 1.25f, 3.0f, 14.0f}, {5.0f, 6.0f, 3.0f}, surfaces, {}, bands[CABINET_BAND].At(0.5f, 0.5f));
    }
    AddBox(lift, {0.0f, -0.4f, 0.0f}, {11.0f, 0.8f, 12.0f}, lift.AddMaterial(Surface::Mapped(STRIPES, false, 0.3f)), {2.0f, 0.2f});
    AddBox(lift, {0.0f, -3.0f, 0.0f}, {2.0f, 4.4f, 2.0f}, lift.AddMaterial(Surface::Smooth({0.5f, 0.5f, 0.55f})));
    AddSphere(core, {}, 1.0f, 6, core.AddMaterial(Surface::GlowMapped(CORE_PICTURE, 0.9f)));
    AddLathe(base, {{2.2f, 0.0f}, {2.2f, 0.8f}, {1.0f, 1.2f}, {0.8f, 3.0f}}, 12, base.AddMaterial(Surface::Smooth({0.9f, 0.6f, 0.1f})), true);
    AddLimb(limb, 8.0f, 0.9f, limb.AddMaterial(Surface::Smooth({0.9f, 0.6f, 0.1f})), limb.AddMaterial(Surface::Smooth({0.3f, 0.3f, 0.32f})));
    AddLathe(torch, {{0.0f, 0.0f}, {0.4f, 0.2f}, {0.3f, 1.6f}, {0.0f, 2.0f}}, 8, torch.AddMaterial(Surface::Smooth({0.3f, 0.3f, 0.35f})), false);
    AddSphere(drone, {}, 0.7f, 5, drone.AddMaterial(Surface::Environment(Library::CHROME)));
    AddBox(drone, {0.0f, 0.0f, 0.65f}, {0.5f, 0.2f, 0.1f}, drone.AddMaterial(Surface::Shining({1.0f, 0.2f, 0.1f})));
    const std::uint32_t glass = screens.AddMaterial(Surface::ShiningMapped(SCREEN));
    for (const float x : {-12.0f, 0.0f, 12.0f})
        AddBox(screens, {x, 10.0f, ROOM.z * 0.5f - 0.3f}, {9.0f, 4.5f, 0.4f}, glass);
    CraftStyle style;
    style.livery = "data\\common\\pictures\\livery_red.tga";
    return WriteMesh(root, HALL, hall) && WriteMesh(root, LIFT, lift) && WriteMesh(root, CORE, core) && WriteMesh(root, BASE, base) &&
           WriteMesh(root, LIMB, limb) && WriteMesh(root, TORCH, torch) && WriteMesh(root, DRONE, drone) &&
           WriteMesh(root, SCREENS, screens) && WriteMesh(root, SHELL, BuildCraftShell(style)) && WriteMesh(root, OUTSIDE, Outside()) &&
           WriteMesh(root, FRAME, BuildCraftFrame(style));
}

bool WritePictures(const std::string& root)
{
    std::vector<Band> bands;
    return WritePicture(root, SURFACES, SurfacesPicture(bands), Form::TGA15) &&
           WritePicture(root, STRIPES, Hazard(64, {0.95f, 0.75f, 0.05f}, {0.08f, 0.08f, 0.08f}), Form::TGA24) &&
           WritePicture(root, SCREEN, Screen(), Form::JPEG) &&
           WritePicture(root, CORE_PICTURE, GlowSprite(64, {0.4f, 0.8f, 1.0f}, 6, 0.5f), Form::TGA24_RLE);
}

// The arm: base, shoulder and elbow limbs turning about their roots (their
// pivots), the torch at the tip. Returns the torch's index.
int AddArm(Shot& shot)
{
    Pose at;
    at.position = {16.0f, 0.0f, 10.0f};
    const int base = shot.Add(shot.Placed(BASE, at));
    SceneObjectChunk shoulder = shot.Moving(LIMB, [](float s) {
        Pose pose;
        pose.position = {0.0f, 3.0f, 0.0f};
        pose.heading = -1.2f + 0.9f * Ease((s - 163.0f) / 4.0f) + 0.2f * std::sin(0.5f * s);
        pose.bank = 0.5f + 0.25f * Ease((s - 163.0f) / 4.0f) - 0.5f * Ease((s - 192.0f) / 2.0f);
        return pose;
    });
    shoulder.parent = base;
    const int upper = shot.Add(shoulder);
    SceneObjectChunk elbow = shot.Moving(LIMB, [](float s) {
        Pose pose;
        pose.position = {0.0f, 8.0f, 0.0f};
        pose.bank = 0.9f + 0.5f * Ease((s - 164.0f) / 4.0f) + 0.15f * std::sin(1.3f * s);
        pose.scale = {1.0f, 0.8f, 1.0f};
        return pose;
    });
    elbow.parent = upper;
    elbow.pivot[1] = 0.0f;
    const int lower = shot.Add(elbow);
    Pose tip;
    tip.position = {0.0f, 8.0f, 0.0f};
    SceneObjectChunk torch = shot.Placed(TORCH, tip);
    torch.parent = lower;
    torch.pivot[1] = -0.5f;
    return shot.Add(torch);
}

// The welding: sparks trail from the torch and its flame's light flickers.
void AddSparks(Shot& shot, int torch, float from, float to)
{
    SceneObjectChunk spark = shot.Moving("spark", [from, to](float s) {
        Pose pose;
        const float on = (s > from && s < to) ? 1.0f : 0.0f;
        pose.position = {0.6f * std::sin(23.0f * s) * on, 2.2f + 1.4f * std::fabs(std::sin(7.0f * s)) * on, 0.6f * std::cos(17.0f * s) * on};
        return pose;
    }, {0.08f, false});
    spark.parent = torch;
    shot.AddNull(spark);
    shot.AddObjectFlare({2, 0, 0.6f, 12.0f, 1.0f, Library::EMBER});
    SceneLightChunk flame = Shot::Lamp(2, {1.0f, 0.7f, 0.35f}, 0.0f, 30.0f);
    flame.keys = {Shot::KeyAt({{0.0f, 2.4f, 0.0f}})};
    flame.parent = torch;
    shot.AddLight(flame);
    std::vector<std::pair<float, float>> flicker = {{from - 0.5f, 0.0f}};
    for (float s = from; s < to; s += 0.12f)
        flicker.push_back({s, 1.2f + 0.8f * std::sin(s * 41.0f)});
    flicker.push_back({to + 0.1f, 0.0f});
    shot.AddEnvelope(SceneFormat::TAG_LINT, Shot::Envelope(flicker, true, END_HOLD));
}

// The garage with its lights, the craft in two parts on the lift (the shell
// fading away and back, the core turning inside), the arm and the drones.
// Returns the index of the arm's torch.
int AddGarage(Shot& shot, bool sparks)
{
    shot.Add(shot.Placed(HALL, {}));
    shot.Add(shot.Placed(SCREENS, {}));
    shot.Add(shot.Moving(LIFT, [](float s) { return Pose{{0.0f, LiftHeight(s), 0.0f}}; }));
    const int craft = shot.Add(shot.Moving(FRAME, Craft, {0.1f, false}));
    SceneObjectChunk shell = shot.Placed(SHELL, {});
    shell.parent = craft;
    shot.Add(shell);
    shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope({{150.0f, 0.0f}, {166.0f, 0.0f}, {SHELL_GONE, 1.0f},
                                                            {187.0f, 1.0f}, {SHELL_BACK, 0.0f}}, true, END_HOLD));
    SceneObjectChunk core = Shot::Spinning(CORE, {{0.0f, 1.0f, -0.5f}}, 2.0f);
    core.parent = craft;
    shot.Add(core);
    const int torch = AddArm(shot);
    for (int i = 0; i < 2; ++i) {
        SceneObjectChunk drone = shot.Moving(DRONE, [i](float s) {
            const float a = 0.6f * s + PI * static_cast<float>(i);
            return Pose{{9.0f * std::sin(a), 7.0f + std::sin(1.7f * s + static_cast<float>(i)), 9.0f * std::cos(a)}};
        });
        drone.target = craft;
        shot.Add(drone);
    }
    for (int i = 0; i < 3; ++i) {
        const Vec3 lamp{-14.0f + 14.0f * static_cast<float>(i), ROOM.y - 0.5f, -6.0f + 4.0f * static_cast<float>(i % 2)};
        SceneLightChunk spot = Shot::Lamp(3, {1.0f, 0.95f, 0.85f}, 2.2f, 45.0f);
        spot.coneAngle = 0.5f;
        spot.edgeAngle = 0.18f;
        spot.keys = {Shot::KeyAt(Looking(lamp, {0.0f, 2.0f, 0.0f}))};
        shot.AddLight(spot);
        shot.AddLightFlare({0, 0, 3.0f, 0.0f, 0.0f, Library::STAR});
    }
    shot.AddEnvelope(SceneFormat::TAG_LRNG, Shot::Envelope({{150.0f, 0.0f}, {162.6f, 0.0f}, {165.0f, 45.0f}}, true, END_HOLD));
    if (sparks)
        AddSparks(shot, torch, 176.0f, 187.5f);
    return torch;
}

// Outside, the craft alone on the pit lane, its exhaust light on the road.
void AddPitLane(Shot& shot)
{
    shot.Add(shot.Placed(NIGHT_SKY, {}));
    shot.Add(shot.Placed(OUTSIDE, {}));
    const int craft = shot.Add(shot.Moving(Library::CRAFT[Library::HERO], Craft, {0.1f, false}));
    SceneLightChunk glow = Shot::Lamp(2, {1.0f, 0.6f, 0.3f}, 1.4f, 40.0f);
    glow.keys = {Shot::KeyAt({{0.0f, 1.0f, -6.0f}})};
    glow.parent = craft;
    shot.AddLight(glow);
    shot.AddLight(Shot::Sun({0.3f, 0.32f, 0.5f}, 0.6f, {0.2f, 1.0f, 0.4f}));
}

// One scene of the act; a welding scene's camera keeps the torch in view.
bool Scene(const std::string& root, int index, const Motion& camera, float zoom, bool sparks = false)
{
    Shot shot(index);
    int torch = -1;
    if (index >= 39)
        AddPitLane(shot);
    else
        torch = AddGarage(shot, sparks);
    SceneCameraChunk eye = shot.Camera(camera, zoom);
    if (sparks)
        eye.target = torch;
    shot.AddCamera(eye);
    return shot.Write(root);
}

Motion Around(float radius, float height, float from, float rate, float lift = 2.5f)
{
    return [=](float s) {
        const float a = from + rate * (s - 150.0f);
        return Looking(Craft(s).position + Vec3{radius * std::sin(a), height, radius * std::cos(a)}, Craft(s).position + Vec3{0, lift, 0});
    };
}

}  // namespace

bool WriteGarage(const std::string& root)
{
    const auto fixed = [](Vec3 eye) { return [eye](float s) { return Looking(eye, Craft(s).position + Vec3{0, 1.5f, 0}); }; };
    return WriteMeshes(root) && WritePictures(root) &&
           Scene(root, 29, fixed({-30.0f, 14.0f, 22.0f}), 2.0f) &&
           Scene(root, 30, Around(24.0f, 8.0f, 2.2f, -0.08f), 2.4f) &&
           Scene(root, 31, Around(11.0f, 5.0f, -0.9f, 0.1f), 2.4f) &&
           Scene(root, 32, Around(12.0f, 6.0f, 0.9f, -0.05f, 5.0f), 2.6f, true) &&
           Scene(root, 33, Around(13.0f, 3.0f, 3.6f, 0.12f), 2.4f) &&
           Scene(root, 34, [](float s) { return Looking({-6.0f, 9.0f, 12.0f}, {-4.0f + 0.5f * (s - 191.6f), 10.0f, 28.0f}); }, 2.2f) &&
           Scene(root, 35, Around(16.0f, 1.0f, 0.6f, 0.15f, 1.0f), 2.2f) &&
           Scene(root, 36, fixed({6.0f, 4.0f, DOOR_Z + 2.0f}), 2.0f) &&
           Scene(root, 37, Around(8.0f, 1.5f, PI * 0.9f, 0.0f, 1.0f), 2.6f) &&
           Scene(root, 38, fixed({-8.0f, 2.0f, DOOR_Z + 6.0f}), 1.8f) &&
           Scene(root, 39, [](float s) { return Looking({12.0f, 4.0f, -30.0f - 62.0f * (s - 202.1f)}, Craft(s).position); }, 2.4f) &&
           Scene(root, 40, [](float s) { return Looking(Craft(s).position + Vec3{3.0f, 4.0f, 16.0f}, Craft(s).position - Vec3{0, 0, 20}); }, 2.4f);
}
