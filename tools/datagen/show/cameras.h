// Camera moves the scene descriptions share: following a racer from behind,
// beside or ahead, watching it from a fixed place, circling a point. Each is
// a Motion of music time.
#pragma once

#include "tools/datagen/show/race.h"

// From back units behind the racer along the course and up above it, looking
// at where the racer will be lead seconds later.
Motion Chase(const Race& race, int racer, float back, float up, float lead = 0.3f);
// Level with the racer, side units to its right (negative: left), up above,
// ahead units in front, looking at it.
Motion Beside(const Race& race, int racer, float side, float up, float ahead);
// From a fixed place, turning to keep the racer in view.
Motion Watch(const Race& race, int racer, Vec3 eye);
// Around centre at radius and height, from angle at seconds, turning at rate
// (radians a second), looking at centre raised by lift.
Motion Orbit(Vec3 centre, float radius, float height, float angle, float seconds, float rate, float lift = 0.0f);
