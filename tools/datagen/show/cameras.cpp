// The shared camera moves.
#include "tools/datagen/show/cameras.h"

#include <cmath>

Motion Chase(const Race& race, int racer, float back, float up, float lead)
{
    return [&race, racer, back, up, lead](float s) {
        const float d = race.Distance(racer, s);
        const Vec3 beside = race.Position(racer, s) - race.Course().At(d);
        const Vec3 eye = race.Course().At(d - back) + beside * 0.6f + Vec3{0.0f, up + beside.y * 0.4f, 0.0f};
        return Looking(eye, race.Position(racer, s + lead));
    };
}

Motion Beside(const Race& race, int racer, float side, float up, float ahead)
{
    return [&race, racer, side, up, ahead](float s) {
        const float d = race.Distance(racer, s);
        const Vec3 at = race.Position(racer, s);
        const Vec3 eye = at + race.Course().Side(d) * side + race.Course().Direction(d) * ahead + Vec3{0.0f, up, 0.0f};
        return Looking(eye, at);
    };
}

Motion Watch(const Race& race, int racer, Vec3 eye)
{
    return [&race, racer, eye](float s) { return Looking(eye, race.Position(racer, s)); };
}

Motion Orbit(Vec3 centre, float radius, float height, float angle, float seconds, float rate, float lift)
{
    return [=](float s) {
        const float a = angle + rate * (s - seconds);
        const Vec3 eye = centre + Vec3{std::sin(a) * radius, height, std::cos(a) * radius};
        return Looking(eye, centre + Vec3{0.0f, lift, 0.0f});
    };
}
