// The start pit at dusk: three craft wait on the grid before the gorge's
// mouth, under floodlights, between the pit halls; the start lights come on
// one by one and go out, and the field launches.
#include <cmath>

#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/cameras.h"
#include "tools/datagen/show/desert.h"
#include "tools/datagen/show/library.h"

namespace {

using Library::HERO;

constexpr float GANTRY_AT = Desert::GRID_DISTANCE + 28.0f;
constexpr float GANTRY_SPAN = 30.0f;
constexpr float GANTRY_HEIGHT = 11.0f;
constexpr int RED_LAMPS = 4;
constexpr float RED_ON[RED_LAMPS] = {48.6f, 49.1f, 49.6f, 50.1f};
constexpr const char* GANTRY = "data\\startpit\\objects\\gantry.vob";
constexpr const char* PITS = "data\\startpit\\objects\\pits.vob";
constexpr const char* GRID = "data\\startpit\\objects\\grid.vob";
constexpr const char* RED_LAMP = "data\\startpit\\objects\\lamp_red.vob";
constexpr const char* GREEN_LAMP = "data\\startpit\\objects\\lamp_green.vob";

// Where a thing stands at a distance along the course and an offset across
// it, height above the ground: its pose in the world, turned along the course.
Pose AtGrid(float along, float across, float height, float turn = 0.0f)
{
    const Path& course = Desert::Course();
    Pose pose;
    pose.position = course.At(along) + course.Side(along) * across + Vec3{0.0f, Desert::Ground(along, across) + height, 0.0f};
    pose.heading = LookAngles(course.Direction(along)).heading + turn;
    return pose;
}

Mesh Pits()
{
    Mesh mesh;
    std::vector<Band> bands;
    Library::PitsPicture(bands);
    const std::uint32_t pits = mesh.AddMaterial(Surface::Mapped(Library::PITS, false, 0.55f));
    const std::uint32_t lamp = mesh.AddMaterial(Surface::Shining({1.0f, 0.97f, 0.85f}));
    for (const float side : {-1.0f, 1.0f}) {
        Mesh hall;
        AddHall(hall, {}, {40.0f, 14.0f, 70.0f}, pits, bands[Library::PITS_FACADE], bands[Library::PITS_ROOF]);
        Placement place;
        place.position = {side * 62.0f, 0.0f, 20.0f};
        mesh.Append(hall, place);
        Mesh mast;
        AddMast(mast, 22.0f, pits, bands[Library::PITS_FRAME].At(0.5f, 0.5f), lamp);
        Placement mastPlace;
        mastPlace.position = {side * 30.0f, 0.0f, -35.0f};
        mastPlace.heading = side * -0.55f;
        mesh.Append(mast, mastPlace);
    }
    return mesh;
}

// A painted line on the ground between two points (along, across), width
// wide, following the ground a hair above it; the front up.
void AddPaint(Mesh& mesh, float along0, float across0, float along1, float across1, float width, std::uint32_t paint)
{
    const Path& course = Desert::Course();
    const auto at = [&](float along, float across) {
        return course.At(along) + course.Side(along) * across + Vec3{0.0f, Desert::Ground(along, across) + 0.08f, 0.0f};
    };
    const bool lengthwise = std::fabs(along1 - along0) > std::fabs(across1 - across0);
    const float half = width * 0.5f;
    AddSheet(mesh, 1, 6, [&](float u, float v) {
        const float along = along0 + (along1 - along0) * v, across = across0 + (across1 - across0) * v;
        const float side = (0.5f - u) * 2.0f * half;
        return lengthwise ? at(along, across - side) : at(along - side, across);
    }, paint);
    if (lengthwise)  // there u runs to the right and v forward, which faces down
        mesh.FlipFrom(mesh.Triangles().size() - 12);
}

// The grid: the lane's edges and a start box for each craft.
Mesh Grid()
{
    Mesh mesh;
    const std::uint32_t paint = mesh.AddMaterial(Surface::Glow({0.85f, 0.85f, 0.75f}, 0.8f));
    const float from = Desert::GRID_DISTANCE - 40.0f, to = Desert::GRID_DISTANCE + 30.0f;
    for (const float across : {-13.0f, 13.0f})
        AddPaint(mesh, from, across, to, across, 0.5f, paint);
    const float boxes[3][2] = {{Desert::GRID_DISTANCE + 4.0f, 0.0f}, {Desert::GRID_DISTANCE - 5.0f, -7.0f},
                               {Desert::GRID_DISTANCE - 14.0f, 7.0f}};
    for (const auto& box : boxes)
        AddPaint(mesh, box[0], box[1] - 3.0f, box[0], box[1] + 3.0f, 0.5f, paint);
    return mesh;
}

bool WriteSet(const std::string& root)
{
    std::vector<Band> bands;
    Mesh gantry, red, green;
    AddGantry(gantry, GANTRY_SPAN, GANTRY_HEIGHT, RED_LAMPS + 1, gantry.AddMaterial(Surface::Flat({0.35f, 0.35f, 0.38f})),
              gantry.AddMaterial(Surface::Flat({0.05f, 0.05f, 0.06f}, 0.05f)));
    AddDisc(red, {}, 0.9f, 10, red.AddMaterial(Surface::Glow({1.0f, 0.1f, 0.05f})));
    AddDisc(green, {}, 0.9f, 10, green.AddMaterial(Surface::Glow({0.2f, 1.0f, 0.3f})));
    return WriteMesh(root, GANTRY, gantry) && WriteMesh(root, RED_LAMP, red) && WriteMesh(root, GREEN_LAMP, green) &&
           WriteMesh(root, PITS, Pits()) && WriteMesh(root, GRID, Grid()) &&
           WritePicture(root, Library::PITS, Library::PitsPicture(bands), Form::JPEG_PROGRESSIVE);
}

// A lamp of the gantry, shown by its dissolve going to 0 and hidden by 1.
void AddLamp(Shot& shot, const char* mesh, int slot, const std::vector<std::pair<float, float>>& dissolve)
{
    const Vec3 local = GantryLamp(GANTRY_SPAN, GANTRY_HEIGHT, slot, RED_LAMPS + 1);
    Pose pose = AtGrid(GANTRY_AT, 0.0f, 0.0f);
    pose.position = pose.position + TurnedY(local, pose.heading);
    shot.Add(shot.Placed(mesh, pose));
    shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope(dissolve, true, END_HOLD));
}

// The grid, the halls, the gantry with its lamps, the floodlights, the
// field with flares on their exhausts.
std::vector<int> AddPit(Shot& shot)
{
    Desert::AddScenery(shot, 0.0f, 650.0f);
    shot.Add(shot.Placed(PITS, AtGrid(Desert::GRID_DISTANCE, 0.0f, 0.0f)));
    shot.Add(shot.Placed(GRID, {}));
    shot.Add(shot.Placed(GANTRY, AtGrid(GANTRY_AT, 0.0f, 0.0f)));
    for (int i = 0; i < RED_LAMPS; ++i)
        AddLamp(shot, RED_LAMP, i, {{47.0f, 1.0f}, {RED_ON[i], 1.0f}, {RED_ON[i] + 0.05f, 0.0f},
                                    {Desert::LAUNCH_SECONDS, 0.0f}, {Desert::LAUNCH_SECONDS + 0.05f, 1.0f}});
    AddLamp(shot, GREEN_LAMP, RED_LAMPS, {{47.0f, 1.0f}, {Desert::LAUNCH_SECONDS, 1.0f}, {Desert::LAUNCH_SECONDS + 0.05f, 0.0f}});
    for (const float side : {-1.0f, 1.0f}) {
        const Pose mast = AtGrid(Desert::GRID_DISTANCE - 35.0f, side * 30.0f, 24.0f);
        SceneLightChunk flood = Shot::Lamp(3, {1.0f, 0.95f, 0.8f}, 1.4f, 140.0f);
        flood.coneAngle = 0.55f;
        flood.edgeAngle = 0.2f;
        flood.keys = {Shot::KeyAt(Looking(mast.position, AtGrid(Desert::GRID_DISTANCE, 0.0f, 0.0f).position))};
        shot.AddLight(flood);
        shot.AddLightFlare({0, 0, 7.0f, 0.0f, 0.0f, Library::STAR});
    }
    const std::vector<int> craft = Desert::AddCraft(shot);
    for (int racer = 0; racer < Library::CRAFT_COUNT; ++racer) {
        for (const int side : {-1, 1}) {
            SceneObjectChunk exhaust = shot.Placed("exhaust", {});
            exhaust.keys[0].value[KeyChannel::POSITION_X] = static_cast<float>(side) * 2.1f;
            exhaust.keys[0].value[KeyChannel::POSITION_Y] = 0.75f;
            exhaust.keys[0].value[KeyChannel::POSITION_Z] = -4.4f;
            exhaust.keys[0].value[KeyChannel::HEADING] = PI;  // faces backward: seen only from behind
            exhaust.parent = craft[racer];
            shot.AddNull(exhaust);
            shot.AddObjectFlare({0, 0x04, 2.6f, 0.0f, 0.0f, Library::GLOW});
        }
    }
    return craft;
}

// A slow crane along the grid from behind the field to above it.
bool Grid(const std::string& root)
{
    Shot shot(2);
    AddPit(shot);
    const Pose hero = AtGrid(Desert::GRID_DISTANCE, 0.0f, 1.5f);
    const Pose start = Looking(AtGrid(Desert::GRID_DISTANCE - 40.0f, -24.0f, 2.0f).position, hero.position);
    const Pose end = Looking(AtGrid(Desert::GRID_DISTANCE - 22.0f, 16.0f, 14.0f).position,
                             AtGrid(Desert::GRID_DISTANCE + 60.0f, 0.0f, 0.0f).position);
    shot.AddCamera(shot.Camera(Glide(start, end, shot.Start(), shot.End()), 2.6f));
    return shot.Write(root);
}

// Round the hero's engines: the exhausts glow when seen from behind.
bool Engines(const std::string& root)
{
    Shot shot(3);
    AddPit(shot);
    const Pose hero = AtGrid(Desert::GRID_DISTANCE, 0.0f, 1.6f);
    shot.AddCamera(shot.Camera(Orbit(hero.position, 11.0f, 1.2f, hero.heading + PI * 0.8f, shot.Start(), -0.35f, 0.3f),
                               2.4f));
    return shot.Write(root);
}

// Low behind the field, looking at the gantry: the lights, and the launch.
bool Lights(const std::string& root)
{
    Shot shot(4);
    AddPit(shot);
    const Pose eye = AtGrid(Desert::GRID_DISTANCE - 16.0f, 3.0f, 1.4f);
    shot.AddCamera(shot.Camera(Still(Looking(eye.position, AtGrid(GANTRY_AT, 0.0f, GANTRY_HEIGHT * 0.45f).position)), 2.2f));
    return shot.Write(root);
}

}  // namespace

bool WriteStartPit(const std::string& root)
{
    return Desert::WriteScenery(root) && WriteSet(root) && Grid(root) && Engines(root) && Lights(root);
}
