// The race along the great wall: a causeway runs beside a wall four hundred
// units high over a deep valley at dusk; fans turn in the wall and beacons
// blink on its buttresses; at its end a gate swallows the field.
#include <cmath>

#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/structures.h"
#include "tools/datagen/builders/terrain.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/bigwall.h"
#include "tools/datagen/show/cameras.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/race.h"

namespace {

using BigWall::SURFACES;
using BigWall::WALL_X;
using Library::HERO;
using Library::RIVAL;

constexpr float WALL_HEIGHT = 400.0f;
constexpr float STRETCH = 500.0f;
constexpr int STRETCHES = 4;
constexpr float START_SECONDS = 97.4f;
constexpr float SPEED = 88.0f;
constexpr float GATE_AT = 1880.0f;
constexpr int FACADE_BAND = 0, DECK_BAND = 1, FRAME_BAND = 2;
constexpr const char* SKY_PICTURE = "data\\podrace_bigwall\\pictures\\sky.tga";
constexpr const char* SKY = "data\\podrace_bigwall\\objects\\sky.vob";
constexpr const char* VALLEY = "data\\podrace_bigwall\\objects\\valley.vob";
constexpr const char* FAN = "data\\podrace_bigwall\\objects\\fan.vob";
constexpr const char* GATE = "data\\podrace_bigwall\\objects\\gate.vob";

std::string StretchName(int i) { return "data\\podrace_bigwall\\objects\\wall" + std::to_string(i) + ".vob"; }

// The causeway runs straight along +z; the wall stands on its right.
const Path& Course()
{
    static const Path course({{0.0f, 0.0f, -200.0f}, {0.0f, 0.0f, 2200.0f}});
    return course;
}

const Race& TheRace()
{
    static const Race race(Course(), Cruise(START_SECONDS, 80.0f, SPEED), 0.0f, [](float, float) { return 0.0f; });
    return race;
}

Picture WallPicture()
{
    Picture plates = Plates(256, {0.5f, 0.48f, 0.52f}, {0.18f, 0.17f, 0.2f}, 31);
    // Rows of slit windows, a few of them lit.
    Random random(5);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool lit = random.Unit() < 0.45f;
            const Colour glass = lit ? Colour{1.0f, 0.75f, 0.35f} : Colour{0.05f, 0.06f, 0.1f};
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 20; ++x)
                    plates.At(column * 32 + 6 + x, row * 64 + 30 + y) = glass;
            }
        }
    }
    return plates;
}

Picture DeckPaint() { return Cropped(Concrete(256, {0.55f, 0.55f, 0.58f}, {0.9f, 0.8f, 0.2f}, 12), 128); }

}  // namespace

Picture BigWall::Surfaces(std::vector<Band>& bands)
{
    Picture frame(256, 128);
    frame.Paint([](float, float) { return Colour{0.42f, 0.4f, 0.45f}; });
    return Stack({WallPicture(), DeckPaint(), frame}, bands);
}

Mesh BigWall::Stretch()
{
    Mesh mesh;
    std::vector<Band> bands;
    Surfaces(bands);
    const std::uint32_t surfaces = mesh.AddMaterial(Surface::Mapped(SURFACES, false, 0.45f));
    const std::uint32_t lamp = mesh.AddMaterial(Surface::Shining({1.0f, 0.8f, 0.4f}));
    const Uv frame = bands[FRAME_BAND].At(0.5f, 0.5f);
    Mesh wall;
    AddWallStretch(wall, STRETCH, WALL_HEIGHT, 100.0f, surfaces, bands[FACADE_BAND], frame);
    Placement place;
    place.position = {WALL_X, -60.0f, 0.0f};
    mesh.Append(wall, place);
    Mesh causeway;
    AddDeck(causeway, STRETCH, 40.0f, surfaces, bands[DECK_BAND], frame, lamp);
    place.position = {0.0f, 0.0f, 0.0f};
    mesh.Append(causeway, place);
    return mesh;
}

Picture BigWall::SkyPicture() { return Sky(64, 64, {0.08f, 0.06f, 0.25f}, {0.95f, 0.45f, 0.35f}, 0.02f, 4); }

namespace {

using BigWall::Stretch;
using BigWall::Surfaces;

bool WriteSet(const std::string& root)
{
    std::vector<Band> bands;
    Mesh stretch = Stretch();
    for (int i = 0; i < STRETCHES; ++i) {
        Mesh placed;
        for (const VECTOR_FILE_Material& material : stretch.Materials())
            placed.AddMaterial(material);
        Placement at;
        at.position = {0.0f, 0.0f, -200.0f + static_cast<float>(i) * STRETCH};
        placed.Append(stretch, at);
        if (!WriteMesh(root, StretchName(i), placed))
            return false;
    }
    Mesh sky, valley, fan, gate;
    sky.Append(BuildSkyDome({0.0f, -300.0f, 900.0f}, 3500.0f, sky.AddMaterial(Surface::ShiningMapped(SKY_PICTURE))));
    valley.Append(BuildGround({-600.0f, -320.0f, 900.0f}, 3200.0f, 12, 60.0f, valley.AddMaterial(Surface::Smooth({0.24f, 0.2f, 0.3f}, 0.3f)),
                              10.0f, 8));
    AddTorus(fan, 16.0f, 2.5f, 16, 5, fan.AddMaterial(Surface::Smooth({0.45f, 0.45f, 0.5f}, 0.25f)));
    for (int blade = 0; blade < 6; ++blade) {
        Mesh vane;
        AddBox(vane, {0.0f, 0.0f, 8.0f}, {0.6f, 3.0f, 16.0f}, fan.AddMaterial(Surface::Flat({0.3f, 0.3f, 0.34f})));
        Placement turn;
        turn.heading = TWO_PI * static_cast<float>(blade) / 6.0f;
        fan.Append(vane, turn);
    }
    const std::uint32_t frame = gate.AddMaterial(Surface::Flat({0.35f, 0.33f, 0.38f}, 0.3f));
    const std::uint32_t mouth = gate.AddMaterial(Surface::Glow({1.0f, 0.55f, 0.2f}, 0.85f));
    AddArch(gate, 44.0f, 30.0f, frame, frame);
    AddDisc(gate, {0.0f, 15.0f, 1.0f}, 22.0f, 16, mouth);
    return WriteMesh(root, SKY, sky) && WriteMesh(root, VALLEY, valley) && WriteMesh(root, FAN, fan) &&
           WriteMesh(root, GATE, gate) && WritePicture(root, SURFACES, Surfaces(bands), Form::JPEG) &&
           WritePicture(root, SKY_PICTURE, BigWall::SkyPicture(), Form::TGA24_TOP);
}

// The set: sky, valley, the wall's stretches, fans turning in the wall,
// beacons on the buttresses, the gate, the light of dusk, the field (turned
// along their paths by the engine).
void AddSet(Shot& shot)
{
    shot.Add(shot.Placed(SKY, {}));
    shot.Add(shot.Placed(VALLEY, {}));
    for (int i = 0; i < STRETCHES; ++i)
        shot.Add(shot.Placed(StretchName(i), {}));
    for (int i = 0; i < 5; ++i) {
        Pose fan;
        fan.position = {WALL_X - 0.5f, 150.0f + 40.0f * static_cast<float>(i % 2), 100.0f + 400.0f * static_cast<float>(i)};
        fan.bank = PI / 2.0f;
        fan.pitch = PI / 2.0f;
        shot.Add(Shot::Spinning(FAN, fan, 4.0f + static_cast<float>(i % 3)));
    }
    for (int i = 0; i < 4; ++i) {
        Pose beacon;
        beacon.position = {WALL_X - 10.5f, 60.0f, 250.0f + 500.0f * static_cast<float>(i)};
        beacon.heading = -PI / 2.0f;  // faces the causeway
        shot.AddNull(shot.Placed("beacon", beacon));
        shot.AddObjectFlare({0, 0x04, 14.0f, 0.0f, 0.0f, Library::STAR});
    }
    Pose gate;
    gate.position = {0.0f, 0.0f, GATE_AT};
    shot.Add(shot.Placed(GATE, gate));
    shot.AddLight(Shot::Sun({1.0f, 0.6f, 0.45f}, 0.9f, {-0.8f, 0.35f, 0.5f}));
    for (int racer = 0; racer < Library::CRAFT_COUNT; ++racer) {
        SceneObjectChunk craft = shot.Moving(Library::CRAFT[racer], TheRace().PositionOf(racer), {0.2f, false});
        craft.pathLookAhead = 8;
        const int index = shot.Add(craft);
        // A streak behind each craft, so that the field shows against the wall from afar.
        SceneObjectChunk exhaust = shot.Placed("exhaust", {{0.0f, 0.8f, -4.0f}});
        exhaust.parent = index;
        shot.AddNull(exhaust);
        shot.AddObjectFlare({2, 0, 4.0f, 40.0f, 0.5f, Library::EMBER});
    }
}

float HeroAt(float seconds) { return TheRace().Distance(HERO, seconds); }

// Out over the valley, sinking toward the causeway: the field is a row of
// sparks under the wall.
bool Overlook(const std::string& root)
{
    Shot shot(16);
    AddSet(shot);
    const Race& race = TheRace();
    shot.AddCamera(shot.Camera([&race](float s) {
        const float t = (s - START_SECONDS) / 5.0f;
        return Looking({-130.0f + 40.0f * t, 90.0f - 50.0f * t, race.Position(HERO, s).z - 150.0f + 40.0f * t},
                       race.Position(HERO, s) + Vec3{0.0f, 25.0f * (1.0f - t), 0.0f});
    }, 2.6f));
    return shot.Write(root);
}

bool Deck(const std::string& root)
{
    Shot shot(17);
    AddSet(shot);
    const float d = HeroAt(shot.At(0.55f));
    shot.AddCamera(shot.Camera(Watch(TheRace(), RIVAL, Course().At(d) + Vec3{-16.0f, 1.2f, 0.0f}), 2.0f));
    return shot.Write(root);
}

// Up the wall's face, then looking down on the field far below.
bool Climb(const std::string& root)
{
    Shot shot(18);
    AddSet(shot);
    const Race& race = TheRace();
    const float from = shot.Start(), span = shot.Duration();
    const float z = HeroAt(shot.At(0.6f));
    shot.AddCamera(shot.Camera([&race, from, span, z](float s) {
        const float t = (s - from) / span;
        const float rise = t * t * (3.0f - 2.0f * t);
        const Vec3 eye{WALL_X - 40.0f - 20.0f * rise, 8.0f + 230.0f * rise, z - 60.0f + 40.0f * rise};
        return Looking(eye, race.Position(HERO, s) + Vec3{0.0f, 30.0f * (1.0f - rise), 0.0f});
    }, 2.2f));
    return shot.Write(root);
}

bool Gate(const std::string& root)
{
    Shot shot(19);
    AddSet(shot);
    shot.AddCamera(shot.Camera(Chase(TheRace(), HERO, 18.0f, 4.5f, 0.4f)));
    return shot.Write(root);
}

}  // namespace

bool WriteBigWall(const std::string& root)
{
    return WriteSet(root) && Overlook(root) && Deck(root) && Climb(root) && Gate(root);
}
