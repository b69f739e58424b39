// The city at night: out of the tunnel the field races down a boulevard
// between towers of lit windows, under street lamps and the beams of
// searchlights, until the hero turns off toward the pits.
#include <cmath>

#include "tools/datagen/builders/city.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"
#include "tools/datagen/builders/terrain.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/cameras.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/race.h"

namespace {

using Library::HERO;
using Library::RIVAL;
using Library::THIRD;

constexpr float STRETCH = 400.0f;
constexpr int STRETCHES = 6;
constexpr float START_SECONDS = 124.0f;
constexpr float SPEED = 76.0f;
constexpr const char* STREETS = "data\\city1\\pictures\\streets.jpg";  // facades, road and pavement stacked
constexpr const char* ROAD = "data\\city1\\pictures\\road.jpg";          // the road alone, for the pit lane and the finish
constexpr const char* NIGHT = "data\\city1\\pictures\\night.jpg";
constexpr const char* SKY = "data\\city1\\objects\\sky.vob";
constexpr const char* BEAM = "data\\city1\\objects\\beam.vob";
constexpr const char* PORTAL = "data\\city1\\objects\\portal.vob";

std::string StretchName(int i) { return "data\\city1\\objects\\block" + std::to_string(i) + ".vob"; }

// The boulevard: out of the tunnel, a long sweep to the right, straight on.
const Path& Course()
{
    static const Path course({{0.0f, 0.0f, -100.0f}, {0.0f, 0.0f, 300.0f}, {80.0f, 0.0f, 700.0f}, {300.0f, 0.0f, 1000.0f},
                              {600.0f, 0.0f, 1150.0f}, {950.0f, 0.0f, 1250.0f}, {1350.0f, 0.0f, 1350.0f},
                              {1750.0f, 0.0f, 1450.0f}, {2100.0f, 0.0f, 1600.0f}});
    return course;
}

const Race& TheRace()
{
    static const Race race(Course(), Cruise(START_SECONDS, 30.0f, SPEED), 0.0f, [](float, float) { return 0.0f; });
    return race;
}

float HeroAt(float seconds) { return TheRace().Distance(HERO, seconds); }

// The stacked picture of the streets and how a stretch maps into it.
CityLook StreetLook(Mesh& materials, std::vector<Picture>& pictures)
{
    pictures = {Facade(256, 128, 8, 4, 0.5f, 61), Facade(256, 128, 8, 4, 0.3f, 62), Facade(256, 128, 8, 4, 0.65f, 63), Asphalt(256, 64),
                Cropped(Concrete(256, {0.25f, 0.24f, 0.26f}, {0.3f, 0.3f, 0.3f}, 14), 64)};
    CityLook look;
    look.atlas = materials.AddMaterial(Surface::Mapped(STREETS, false, 0.85f));
    look.lamp = materials.AddMaterial(Surface::Shining({1.0f, 0.85f, 0.55f}));
    return look;
}

bool WriteSet(const std::string& root)
{
    Mesh sample;
    std::vector<Picture> pictures;
    CityLook look = StreetLook(sample, pictures);
    std::vector<Band> bands;
    const Picture streets = Stack(pictures, bands);
    look.facades = {bands[0], bands[1], bands[2]};
    look.road = bands[3];
    look.pavement = bands[4];
    look.dark = bands[0].At(0.01f, 0.5f);
    for (int i = 0; i < STRETCHES; ++i) {
        Mesh stretch;
        for (const VECTOR_FILE_Material& material : sample.Materials())
            stretch.AddMaterial(material);
        stretch.Append(BuildCityStretch(Course(), static_cast<float>(i) * STRETCH - 100.0f,
                                        static_cast<float>(i + 1) * STRETCH - 99.0f, look, 40u + static_cast<std::uint32_t>(i)));
        if (!WriteMesh(root, StretchName(i), stretch))
            return false;
    }
    Mesh sky, beam, portal;
    sky.Append(BuildSkyDome({900.0f, -40.0f, 800.0f}, 3000.0f, sky.AddMaterial(Surface::ShiningMapped(NIGHT))));
    AddLathe(beam, {{0.0f, 0.0f}, {0.8f, 0.5f}, {14.0f, 260.0f}, {0.0f, 262.0f}}, 10,
             beam.AddMaterial(Surface::Glow({0.55f, 0.65f, 0.9f}, 0.12f)), false);
    AddArch(portal, 36.0f, 16.0f, portal.AddMaterial(Surface::Flat({0.25f, 0.25f, 0.3f}, 0.2f)),
            portal.AddMaterial(Surface::Shining({0.35f, 0.55f, 1.0f})));
    return WriteMesh(root, SKY, sky) && WriteMesh(root, BEAM, beam) && WriteMesh(root, PORTAL, portal) &&
           WritePicture(root, STREETS, streets, Form::JPEG) && WritePicture(root, ROAD, Asphalt(256, 64), Form::JPEG) &&
           WritePicture(root, NIGHT, Sky(128, 128, {0.0f, 0.0f, 0.04f}, {0.12f, 0.1f, 0.22f}, 0.02f, 6), Form::JPEG);
}

// A searchlight on a roof: its beam sweeps the sky, and its light, a spot
// whose cone opens and closes, sweeps the street.
void AddSearchlight(Shot& shot, float along, float side, float phase)
{
    const Vec3 foot = Course().At(along) + Course().Side(along) * (side * 60.0f) + Vec3{0.0f, 70.0f, 0.0f};
    SceneObjectChunk beam = shot.Moving(BEAM, [foot, phase](float s) {
        Pose pose;
        pose.position = foot;
        pose.pitch = 0.5f * std::sin(0.6f * s + phase);
        pose.bank = 0.45f * std::cos(0.45f * s + phase);
        return pose;
    });
    shot.Add(beam);
    SceneLightChunk spot = Shot::Lamp(3, {0.7f, 0.8f, 1.0f}, 1.8f, 260.0f);
    spot.coneAngle = 0.35f;
    spot.edgeAngle = 0.15f;
    spot.keys = shot.MotionKeys([foot, phase](float s) {
        return Looking(foot, foot + Vec3{30.0f * std::sin(0.7f * s + phase), -70.0f, 30.0f * std::cos(0.5f * s + phase)});
    });
    shot.AddLight(spot);
    shot.AddEnvelope(SceneFormat::TAG_LCON, Shot::Envelope({{0.0f, 0.94f}, {1.5f, 0.8f}, {3.0f, 0.94f}}, false, END_REPEAT));
    shot.AddEnvelope(SceneFormat::TAG_LEDG, Shot::Envelope({{0.0f, 0.98f}, {1.5f, 0.9f}, {3.0f, 0.98f}}, false, END_REPEAT));
}

// The set from near to far along the boulevard, the field, and the light of
// the hero's nose, a spot it carries.
std::vector<int> AddSet(Shot& shot, float near, float far)
{
    shot.Add(shot.Placed(SKY, {}));
    for (int i = 0; i < STRETCHES; ++i) {
        const float from = static_cast<float>(i) * STRETCH - 100.0f;
        if (from + STRETCH >= near && from <= far)
            shot.Add(shot.Placed(StretchName(i), {}));
    }
    if (near < 200.0f)
        shot.Add(shot.Placed(PORTAL, {}));
    std::vector<int> craft;
    for (int racer = 0; racer < Library::CRAFT_COUNT; ++racer)
        craft.push_back(shot.Add(shot.Moving(Library::CRAFT[racer], TheRace().Of(racer), {0.2f, false})));
    SceneLightChunk nose = Shot::Lamp(3, {1.0f, 0.95f, 0.8f}, 2.2f, 90.0f);
    nose.coneAngle = 0.45f;
    nose.edgeAngle = 0.2f;
    nose.keys = {Shot::KeyAt(Looking({0.0f, 1.0f, 3.5f}, {0.0f, -2.0f, 30.0f}))};
    nose.parent = craft[HERO];
    shot.AddLight(nose);
    shot.AddLight(Shot::Sun({0.25f, 0.28f, 0.45f}, 0.7f, {0.3f, 1.0f, 0.2f}));
    const float middle = 0.5f * (near + far);
    AddSearchlight(shot, middle + 60.0f, 1.0f, 0.0f);
    AddSearchlight(shot, middle + 220.0f, -1.0f, 2.0f);
    return craft;
}

Shot Street(int scene, float reach = 0.0f)
{
    Shot shot(scene);
    AddSet(shot, HeroAt(shot.Start()) - 60.0f, HeroAt(shot.End()) + 300.0f + reach);
    return shot;
}

// High over the roofs, sweeping down to the boulevard as the field comes out.
bool Arrival(const std::string& root)
{
    Shot shot = Street(21, 300.0f);
    const Race& race = TheRace();
    const float from = shot.Start(), span = shot.Duration();
    shot.AddCamera(shot.Camera([&race, from, span](float s) {
        const float t = (s - from) / span;
        const float down = t * t * (3.0f - 2.0f * t);
        // Over the boulevard all the way down, clear of the towers.
        const float d = race.Distance(HERO, s) - 30.0f - 60.0f * (1.0f - down);
        const Vec3 eye = race.Course().At(d) + Vec3{0.0f, 8.0f + 130.0f * (1.0f - down), 0.0f};
        return Looking(eye, race.Position(HERO, s + 0.4f));
    }, 2.4f));
    return shot.Write(root);
}

bool Chasing(const std::string& root, int scene, int racer, float back, float up)
{
    Shot shot = Street(scene);
    shot.AddCamera(shot.Camera(Chase(TheRace(), racer, back, up, 0.35f), 2.6f));
    return shot.Write(root);
}

bool Tracking(const std::string& root, int scene, int racer, float side, float up, float ahead, float zoom)
{
    Shot shot = Street(scene);
    shot.AddCamera(shot.Camera(Beside(TheRace(), racer, side, up, ahead), zoom));
    return shot.Write(root);
}

// On a roof's edge: the field passes far below, a searchlight's beam close by.
bool Rooftop(const std::string& root)
{
    Shot shot = Street(23);
    const float d = HeroAt(shot.At(0.7f));
    shot.AddCamera(shot.Camera(Watch(TheRace(), RIVAL, Course().At(d) + Course().Side(d) * 40.0f + Vec3{0.0f, 62.0f, 0.0f}),
                               2.6f));
    return shot.Write(root);
}

// The corner: from the outside of the sweep, the field banks through.
bool Corner(const std::string& root)
{
    Shot shot = Street(27);
    const float d = HeroAt(shot.At(0.5f));
    shot.AddCamera(shot.Camera(Watch(TheRace(), HERO, Course().At(d + 12.0f) + Course().Side(d + 12.0f) * -13.0f + Vec3{0, 7, 0}),
                               2.6f));
    return shot.Write(root);
}

// The hero's last run before the pits, the others far ahead.
bool PitLane(const std::string& root)
{
    Shot shot = Street(28);
    shot.AddCamera(shot.Camera(Beside(TheRace(), THIRD, -6.0f, 1.5f, -14.0f), 2.8f));
    return shot.Write(root);
}

}  // namespace

bool WriteCity(const std::string& root)
{
    return WriteSet(root) && Arrival(root) && Chasing(root, 22, HERO, 16.0f, 4.0f) && Rooftop(root) &&
           Tracking(root, 24, RIVAL, 12.0f, 2.0f, 0.0f, 2.2f) && Tracking(root, 25, HERO, 0.0f, 2.5f, 16.0f, 2.4f) &&
           Chasing(root, 26, THIRD, 40.0f, 28.0f) && Corner(root) && PitLane(root);
}
