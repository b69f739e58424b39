// Pictures of the race for the scenes that show it on a screen or a panel:
// frames of the show's own earlier scenes, drawn from the tree written so far
// by the demo's own renderer, headless, and shrunk to a square map.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/datagen/builders/picture.h"

struct Snapshot {
    int scene;
    float fraction;  // of the scene's slot
};

// Milliseconds into the scene's slot at which the snapshot is drawn.
std::uint32_t SnapshotTime(const Snapshot& snapshot);

// A frame as the renderer reads it back (red, green, blue, rows bottom first)
// shrunk to side x side, each pixel the mean of the frame's pixels it covers.
Picture SquarePicture(const std::uint8_t* frame, int width, int height, int side);

// Each snapshot drawn from the scenes of the tree at root, in order. False
// (reported) when the display cannot be had or a scene cannot be drawn.
bool DrawSnapshots(const std::string& root, const std::vector<Snapshot>& snapshots, int side,
                   std::vector<Picture>& pictures);
