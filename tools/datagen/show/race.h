// The race as one story over the acts: the craft move along an act's course
// as functions of music time, so that every scene of the act, whatever its
// camera, sees them where the story has them.
#pragma once

#include <array>
#include <functional>
#include <limits>

#include "tools/datagen/builders/path.h"
#include "tools/datagen/show/shot.h"

// How far along its course the field's leader is at a moment.
using Progress = std::function<float(float seconds)>;

// Steady speed: at distance at the moment seconds.
Progress Cruise(float seconds, float distance, float speed);
// Waiting at distance until launch, then accelerating to speed.
Progress Launch(float launch, float distance, float acceleration, float speed);

class Race {
public:
    // The field follows progress along course; until calmUntil the racers
    // keep their grid places, then they weave and swap places now and then.
    // ground gives the height of the ground at a distance along the course
    // and an offset across it.
    Race(const Path& course, Progress progress, float calmUntil, std::function<float(float, float)> ground);
    // Each racer with a progress of its own, keeping to its lane.
    Race(const Path& course, std::array<Progress, 3> progress, std::function<float(float, float)> ground);

    float Distance(int racer, float seconds) const;
    // The racer's place: its lane beside the course, hovering.
    Vec3 Position(int racer, float seconds) const;
    // Its place turned along its motion and banked into its turns.
    Pose At(int racer, float seconds) const;
    // The racer as a Motion, for Shot::Moving; or only its position, for the
    // engine to turn along its path.
    Motion Of(int racer) const;
    Motion PositionOf(int racer) const;
    const Path& Course() const { return course_; }

private:
    float Calm(float seconds) const;  // 0 on the grid, 1 racing
    Vec3 Track(int racer, float seconds) const;  // the place without the hovering's bob

    const Path& course_;
    std::array<Progress, 3> progress_;
    float calmUntil_;
    std::function<float(float, float)> ground_;
};
