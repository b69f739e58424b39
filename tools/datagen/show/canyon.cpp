// The canyon run: the three craft race through the winding gorge, seen by
// ten cameras in turn, from the rim at the gorge's mouth to its far end.
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/cameras.h"
#include "tools/datagen/show/desert.h"
#include "tools/datagen/show/library.h"

namespace {

using Library::HERO;
using Library::RIVAL;

float HeroAt(float seconds) { return Desert::TheRace().Distance(HERO, seconds); }

// A scene of the run: the scenery from a little behind the hero at the cut
// to ahead of it at the next, extended by reach for cameras that see far.
Shot Run(int scene, float reach = 0.0f)
{
    Shot shot(scene);
    Desert::AddScenery(shot, HeroAt(shot.Start()) - 80.0f, HeroAt(shot.End()) + 350.0f + reach);
    return shot;
}

// On a rock at the gorge's mouth, turned toward the hero by the engine.
bool Mouth(const std::string& root)
{
    Shot shot = Run(5);
    const std::vector<int> craft = Desert::AddCraft(shot);
    const Path& course = Desert::Course();
    SceneCameraChunk camera = shot.Camera(Still(Looking(course.At(262.0f) + course.Side(262.0f) * -10.0f + Vec3{0, 2.5f, 0},
                                                        course.At(200.0f))), 3.2f);
    camera.target = craft[HERO];
    shot.AddCamera(camera);
    return shot.Write(root);
}

bool Behind(const std::string& root, int scene, float back, float up)
{
    Shot shot = Run(scene);
    Desert::AddCraft(shot);
    shot.AddCamera(shot.Camera(Chase(Desert::TheRace(), HERO, back, up)));
    return shot.Write(root);
}

bool Alongside(const std::string& root, int scene, int racer, float side, float up, float ahead)
{
    Shot shot = Run(scene);
    Desert::AddCraft(shot);
    shot.AddCamera(shot.Camera(Beside(Desert::TheRace(), racer, side, up, ahead), 2.4f));
    return shot.Write(root);
}

// Low on the floor ahead; the field passes overhead.
bool Floor(const std::string& root)
{
    Shot shot = Run(8);
    Desert::AddCraft(shot);
    const float d = HeroAt(shot.At(0.5f));
    const Path& course = Desert::Course();
    const Vec3 eye = course.At(d) + course.Side(d) * -4.0f + Vec3{0.0f, Desert::Ground(d, -4.0f) + 0.9f, 0.0f};
    shot.AddCamera(shot.Camera(Watch(Desert::TheRace(), HERO, eye), 2.6f));
    return shot.Write(root);
}

// In the hero's seat: the camera rides on the craft.
bool Cockpit(const std::string& root)
{
    Shot shot = Run(9);
    const std::vector<int> craft = Desert::AddCraft(shot);
    SceneCameraChunk camera = shot.Camera(Still(Looking({0.0f, 2.3f, -1.2f}, {0.0f, 1.4f, 12.0f})), 2.2f);
    camera.keys.resize(1);
    camera.parent = craft[HERO];
    shot.AddCamera(camera);
    return shot.Write(root);
}

// High above, looking down on the field.
bool Above(const std::string& root)
{
    Shot shot = Run(10);
    Desert::AddCraft(shot);
    const Race& race = Desert::TheRace();
    shot.AddCamera(shot.Camera([&race](float s) {
        const float d = race.Distance(HERO, s);
        const Vec3 eye = race.Course().At(d - 30.0f) + race.Course().Side(d) * 4.0f + Vec3{0.0f, 30.0f, 0.0f};
        return Looking(eye, race.Position(HERO, s + 0.1f));
    }));
    return shot.Write(root);
}

// A crane beside the course rises over the rim as the field runs away.
bool Crane(const std::string& root)
{
    Shot shot = Run(13, 400.0f);
    Desert::AddCraft(shot);
    const Path& course = Desert::Course();
    const float d = HeroAt(shot.At(0.15f));
    const Vec3 foot = course.At(d) + course.Side(d) * 14.0f;
    const Race& race = Desert::TheRace();
    const float from = shot.Start(), span = shot.Duration();
    shot.AddCamera(shot.Camera([&race, foot, from, span](float s) {
        const float t = (s - from) / span;
        const float rise = t * t * (3.0f - 2.0f * t);
        return Looking(foot + Vec3{0.0f, 2.0f + 115.0f * rise, -30.0f * rise}, race.Position(HERO, s + 0.5f));
    }));
    return shot.Write(root);
}

// The gorge's far end: a long lens from far ahead, drawing back as they come.
bool FarEnd(const std::string& root)
{
    Shot shot = Run(14);
    Desert::AddCraft(shot);
    const Path& course = Desert::Course();
    const float d = HeroAt(shot.End()) + 50.0f;
    shot.AddCamera(shot.Camera(Watch(Desert::TheRace(), HERO, course.At(d) + course.Side(d) * 6.0f + Vec3{0.0f, 12.0f, 0.0f}), 3.2f));
    shot.AddEnvelope(SceneFormat::TAG_ZOOM, Shot::Envelope({{shot.Start(), 6.0f}, {shot.End(), 2.4f}}));
    return shot.Write(root);
}

}  // namespace

bool WriteCanyon(const std::string& root)
{
    return Mouth(root) && Behind(root, 6, 14.0f, 3.5f) && Alongside(root, 7, HERO, 15.0f, 2.5f, 3.0f) &&
           Floor(root) && Cockpit(root) && Above(root) && Alongside(root, 11, RIVAL, -7.0f, 2.0f, -9.0f) &&
           Alongside(root, 12, HERO, 0.0f, 3.0f, 20.0f) && Crane(root) && FarEnd(root);
}
