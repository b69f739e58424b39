// The racers' motion. Orientation comes from the motion itself: heading and
// pitch from the velocity, bank from the rate of turn.
#include "tools/datagen/show/race.h"

#include <cmath>

namespace {

constexpr float HOVER = 1.6f;
constexpr float LANES[3] = {0.0f, -7.0f, 7.0f};
constexpr float LEAD_AMOUNT[3] = {6.0f, 9.0f, 7.0f};
constexpr float LEAD_RATE[3] = {0.23f, 0.17f, 0.29f};
constexpr float LEAD_PHASE[3] = {0.0f, 2.1f, 4.0f};
constexpr float BEHIND[3] = {0.0f, -9.0f, -18.0f};
constexpr float BANK_PER_TURN = 0.45f;
constexpr float CALMING_SECONDS = 3.0f;
constexpr float WEAVE_APART = 1.5f;  // lanes 7 apart, craft 5.2 wide at the wing

}  // namespace

Progress Cruise(float seconds, float distance, float speed)
{
    return [=](float t) { return distance + speed * (t - seconds); };
}

Progress Launch(float launch, float distance, float acceleration, float speed)
{
    const float rampTime = speed / acceleration;
    return [=](float t) {
        const float run = t - launch;
        if (run <= 0.0f)
            return distance;
        if (run < rampTime)
            return distance + 0.5f * acceleration * run * run;
        return distance + 0.5f * acceleration * rampTime * rampTime + speed * (run - rampTime);
    };
}

Race::Race(const Path& course, Progress progress, float calmUntil, std::function<float(float, float)> ground)
    : course_(course), calmUntil_(calmUntil), ground_(std::move(ground))
{
    for (int racer = 0; racer < 3; ++racer)
        progress_[racer] = [progress, racer](float t) { return progress(t) + BEHIND[racer]; };
}

Race::Race(const Path& course, std::array<Progress, 3> progress, std::function<float(float, float)> ground)
    : course_(course), progress_(std::move(progress)), calmUntil_(std::numeric_limits<float>::max()),
      ground_(std::move(ground))
{
}

float Race::Calm(float seconds) const
{
    if (seconds <= calmUntil_)
        return 0.0f;
    const float t = (seconds - calmUntil_) / CALMING_SECONDS;
    return t <= 0.0f ? 0.0f : (t >= 1.0f ? 1.0f : t * t * (3.0f - 2.0f * t));
}

float Race::Distance(int racer, float seconds) const
{
    const float lead = LEAD_AMOUNT[racer] * std::sin(LEAD_RATE[racer] * seconds + LEAD_PHASE[racer]);
    return progress_[racer](seconds) + Calm(seconds) * lead;
}

Vec3 Race::Track(int racer, float seconds) const
{
    const float d = Distance(racer, seconds);
    // The field weaves together, each craft a little on its own: never more
    // than WEAVE_APART out of step, so neighbouring lanes stay a craft apart.
    const float weave =
        2.0f * std::sin(0.7f * seconds) + 0.5f * WEAVE_APART * std::sin(1.3f * seconds + static_cast<float>(racer) * 1.9f);
    const float across = LANES[racer] + Calm(seconds) * weave;
    Vec3 p = course_.At(d) + course_.Side(d) * across;
    p.y += ground_(d, across) + HOVER;
    return p;
}

Vec3 Race::Position(int racer, float seconds) const
{
    return Track(racer, seconds) + Vec3{0.0f, 0.3f * std::sin(3.1f * seconds + static_cast<float>(racer)), 0.0f};
}

Pose Race::At(int racer, float seconds) const
{
    constexpr float DT = 0.1f;
    // Turned by the track, not by the hovering's bob.
    const Vec3 before = Track(racer, seconds - DT), here = Track(racer, seconds), after = Track(racer, seconds + DT);
    Pose pose;
    pose.position = Position(racer, seconds);
    const float d = Distance(racer, seconds);
    const Vec3 step = after - before;
    if (step.x * step.x + step.z * step.z < 0.25f) {
        // Standing still: along the course, level.
        pose.heading = LookAngles(course_.Direction(d)).heading;
        return pose;
    }
    const Angles now = LookAngles(after - before);
    const Angles earlier = LookAngles(here - before), later = LookAngles(after - here);
    const float turn = std::remainder(later.heading - earlier.heading, TWO_PI);
    pose.pitch = now.pitch;
    pose.heading = now.heading;
    pose.bank = -BANK_PER_TURN * turn / DT;
    return pose;
}

Motion Race::Of(int racer) const
{
    return [this, racer](float seconds) { return At(racer, seconds); };
}

Motion Race::PositionOf(int racer) const
{
    return [this, racer](float seconds) {
        Pose pose;
        pose.position = Position(racer, seconds);
        return pose;
    };
}
