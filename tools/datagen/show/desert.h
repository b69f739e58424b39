// The desert of the first half of the race, shared by the start pit and the
// canyon: one course from the start grid into and through the gorge, the
// race along it, and the scenery a scene carries for a stretch of it.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/show/race.h"

namespace Desert {

constexpr float GRID_DISTANCE = 150.0f;   // the start line, along the course
constexpr float LAUNCH_SECONDS = 50.6f;   // the start lights go out
constexpr float SPEED = 72.0f;

const Path& Course();
const Race& TheRace();
// The ground's height at a distance along the course and an offset across it.
float Ground(float along, float across);

// The sky, the plain and the mountains, every stretch of gorge that lies
// between distances near and far along the course, and the sun. Returns
// nothing; the craft are added by the scene.
void AddScenery(Shot& shot, float near, float far);
// The three craft racing; their object indices.
std::vector<int> AddCraft(Shot& shot);

bool WriteScenery(const std::string& root);

}  // namespace Desert
