// Made things the sets are furnished with: gantries, halls with lit windows,
// floodlight masts, arches, stands and pillars. Each takes the material
// indices it is built in; sizes are in world units, y up, standing on y = 0.
#pragma once

#include <cstdint>

#include "tools/datagen/builders/mesh.h"

// Two legs span wide apart and a beam across at height, with a housing of
// lamps count wide on the beam's front (-z) face.
void AddGantry(Mesh& mesh, float span, float height, int lamps, std::uint32_t frame, std::uint32_t housing);
// Where lamp i of count sits on a gantry of that span and height, just in
// front of its housing.
Vec3 GantryLamp(float span, float height, int lamp, int lamps);

// A hall: walls in the facade material (windows repeat every 8 units across,
// 6 up), a roof vaulted across its width.
void AddHall(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t facade, std::uint32_t roof);

// A mast of height with a head of lamps facing -z.
void AddMast(Mesh& mesh, float height, std::uint32_t frame, std::uint32_t lamp);

// An arch over a road of width: two towers and a deck at height, the deck's
// front (-z) face in the banner material.
void AddArch(Mesh& mesh, float width, float height, std::uint32_t frame, std::uint32_t banner);

// Tiers of seats rising away from -z, length long, tiers deep.
void AddStand(Mesh& mesh, float length, int tiers, std::uint32_t seats, std::uint32_t frame);

// A flat glowing disc of radius facing -z, centred on centre.
void AddDisc(Mesh& mesh, Vec3 centre, float radius, int segments, std::uint32_t material);

// A stretch of a giant wall along z from 0 to length, its face toward -x at
// x = 0 in the facade material (its picture repeating every 40 units across
// and 60 up), buttresses every spacing units standing out of it.
void AddWallStretch(Mesh& mesh, float length, float height, float spacing, std::uint32_t facade, std::uint32_t frame);

// A flat deck along z from 0 to length, width wide, its top at y = 0, with a
// low barrier on each edge carrying a row of lamps every 20 units.
void AddDeck(Mesh& mesh, float length, float width, std::uint32_t surface, std::uint32_t barrier, std::uint32_t lamp);

// A room seen from inside: size wide (x), high (y) and deep (z), its floor
// on y = 0 centred on x = z = 0; floor pictures repeat every 10 units, walls
// every 8, the ceiling every 12.
void AddRoom(Mesh& mesh, Vec3 size, std::uint32_t floor, std::uint32_t wall, std::uint32_t ceiling);

// A jointed arm's limb: a box length long along +y from its root at the
// origin, its joint a short cylinder about x at the root.
void AddLimb(Mesh& mesh, float length, float thickness, std::uint32_t material, std::uint32_t joint);
