// The desert set. The course runs straight from behind the grid toward +z,
// then winds; the gorge's walls rise from nothing a little after the start.
#include "tools/datagen/show/desert.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/terrain.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/library.h"

namespace Desert {
namespace {

constexpr float STRETCH = 300.0f;
constexpr const char* GORGE = "data\\canyon\\pictures\\gorge.jpg";
constexpr const char* SKY = "data\\canyon\\pictures\\sky.tga";
constexpr const char* DOME = "data\\canyon\\objects\\sky.vob";
constexpr const char* PLAIN = "data\\canyon\\objects\\plain.vob";
constexpr const char* MOUNTAINS = "data\\canyon\\objects\\mountains.vob";

CanyonShape Shape()
{
    CanyonShape shape;
    shape.openUntil = GRID_DISTANCE + 150.0f;
    shape.fullFrom = GRID_DISTANCE + 450.0f;
    return shape;
}

std::string StretchName(int i) { return "data\\canyon\\objects\\gorge" + std::to_string(i) + ".vob"; }

Path MakeCourse()
{
    Random random(1234);
    std::vector<Vec3> points{{0.0f, 0.0f, -GRID_DISTANCE}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 200.0f}};
    float heading = 0.0f;
    Vec3 p = points.back();
    for (int i = 0; i < 22; ++i) {
        heading = std::clamp(heading + random.Range(-0.55f, 0.55f), -0.9f, 0.9f);
        p = p + Vec3{std::sin(heading), 0.0f, std::cos(heading)} * 160.0f + Vec3{0.0f, random.Range(-5.0f, 5.0f), 0.0f};
        points.push_back(p);
    }
    return Path(points);
}

int StretchCount() { return static_cast<int>(Course().Length() / STRETCH); }

Mesh Mountains()
{
    Mesh mesh;
    const std::uint32_t rock = mesh.AddMaterial(Surface::Flat({0.55f, 0.35f, 0.25f}, 0.3f));
    Random random(77);
    for (int i = 0; i < 26; ++i) {
        const float angle = TWO_PI * static_cast<float>(i) / 26.0f + random.Range(-0.1f, 0.1f);
        const float distance = random.Range(1300.0f, 1700.0f), height = random.Range(120.0f, 330.0f);
        const float width = random.Range(200.0f, 380.0f);
        Mesh peak;
        AddLathe(peak, {{width, -20.0f}, {width * 0.55f, height * 0.45f}, {width * 0.2f, height * 0.85f}, {0.0f, height}}, 7,
                 rock, true);
        Placement place;
        place.position = {std::sin(angle) * distance, 0.0f, std::cos(angle) * distance};
        place.heading = random.Range(0.0f, TWO_PI);
        place.scale = {1.0f, 1.0f, random.Range(0.5f, 1.0f)};
        mesh.Append(peak, place);
    }
    return mesh;
}

}  // namespace

const Path& Course()
{
    static const Path course = MakeCourse();
    return course;
}

float Ground(float along, float across)
{
    static const CanyonShape shape = Shape();
    return CanyonHeight(shape, across, along);
}

const Race& TheRace()
{
    static const Race race(Course(), Launch(LAUNCH_SECONDS, GRID_DISTANCE, 55.0f, SPEED), LAUNCH_SECONDS, Ground);
    return race;
}

void AddScenery(Shot& shot, float near, float far)
{
    shot.Add(shot.Placed(DOME, {}));
    if (near < GRID_DISTANCE + 700.0f) {
        shot.Add(shot.Placed(PLAIN, {}));
        shot.Add(shot.Placed(MOUNTAINS, {}));
    }
    const int first = std::max(0, static_cast<int>(near / STRETCH));
    const int last = std::min(StretchCount() - 1, static_cast<int>(far / STRETCH));
    for (int i = first; i <= last; ++i)
        shot.Add(shot.Placed(StretchName(i), {}));
    shot.AddLight(Shot::Sun({1.0f, 0.9f, 0.78f}, 0.95f, {-0.45f, 0.7f, -0.35f}));
}

std::vector<int> AddCraft(Shot& shot)
{
    std::vector<int> craft;
    for (int racer = 0; racer < Library::CRAFT_COUNT; ++racer)
        craft.push_back(shot.Add(shot.Moving(Library::CRAFT[racer], TheRace().Of(racer), {0.2f, false})));
    return craft;
}

bool WriteScenery(const std::string& root)
{
    Mesh dome;
    dome.Append(BuildSkyDome(Course().At(Course().Length() * 0.4f), 4000.0f, dome.AddMaterial(Surface::ShiningMapped(SKY))));
    Mesh plain = BuildGround({0.0f, -0.6f, 0.0f}, 3000.0f, 10, 0.0f, 0, 1.0f, 5);
    plain.AddMaterial(Surface::Smooth({0.78f, 0.56f, 0.36f}, 0.25f));
    const Picture rock = Rock(256, {0.85f, 0.55f, 0.35f}, {0.35f, 0.18f, 0.1f}, 3, 5);
    const Picture sand = Sand(256, {0.9f, 0.7f, 0.45f}, {0.6f, 0.4f, 0.25f}, 4);
    if (!WritePicture(root, GORGE, Banded(rock, sand, 0.4f, 0.6f), Form::JPEG) ||
        !WritePicture(root, SKY, Sky(64, 64, {0.2f, 0.35f, 0.7f}, {0.95f, 0.7f, 0.5f}, 0.0f, 9), Form::TGA15) ||
        !WriteMesh(root, DOME, dome) || !WriteMesh(root, PLAIN, plain) || !WriteMesh(root, MOUNTAINS, Mountains()))
        return false;
    const CanyonShape shape = Shape();
    for (int i = 0; i < StretchCount(); ++i) {
        Mesh gorge;
        const std::uint32_t material = gorge.AddMaterial(Surface::Mapped(GORGE, true, 0.3f));
        gorge.Append(BuildCanyon(Course(), static_cast<float>(i) * STRETCH, static_cast<float>(i + 1) * STRETCH + 1.0f,
                                 shape, material));
        if (!WriteMesh(root, StretchName(i), gorge))
            return false;
    }
    return true;
}

}  // namespace Desert
