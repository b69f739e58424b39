// Made things the sets are furnished with: gantries, halls with lit windows,
// floodlight masts, arches, stands and pillars. Each takes the material
// indices it is built in; sizes are in world units, y up, standing on y = 0.
#pragma once

#include <cstdint>

#include "tools/datagen/builders/atlas.h"
#include "tools/datagen/builders/mesh.h"

// Two legs span wide apart and a beam across at height, with a housing of
// lamps count wide on the beam's front (-z) face.
void AddGantry(Mesh& mesh, float span, float height, int lamps, std::uint32_t frame, std::uint32_t housing);
// Where lamp i of count sits on a gantry of that span and height, just in
// front of its housing.
Vec3 GantryLamp(float span, float height, int lamp, int lamps);

// A hall in one material of stacked pictures: its walls lay the facade band
// every 8 units across and 6 up, its roof, vaulted across its width, shows
// the roof band once.
void AddHall(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, const Band& facade, const Band& roof);

// A mast of height with a head of lamps facing -z; the mast in the one
// point frame of material's map.
void AddMast(Mesh& mesh, float height, std::uint32_t material, Uv frame, std::uint32_t lamp);

// An arch over a road of width: two towers and a deck at height, the deck's
// front (-z) face in the banner material.
void AddArch(Mesh& mesh, float width, float height, std::uint32_t frame, std::uint32_t banner);

// Tiers of seats rising away from -z, length long, tiers deep, in one
// material: the seats' band every 16 units along, the back wall in the one
// point frame.
void AddStand(Mesh& mesh, float length, int tiers, std::uint32_t material, const Band& seats, Uv frame);

// A flat glowing disc of radius facing -z, centred on centre.
void AddDisc(Mesh& mesh, Vec3 centre, float radius, int segments, std::uint32_t material);

// A stretch of a giant wall along z from 0 to length, its face toward -x at
// x = 0, in one material: the facade band every 40 units across and 60 up,
// buttresses every spacing units standing out of it in the point frame.
void AddWallStretch(Mesh& mesh, float length, float height, float spacing, std::uint32_t material, const Band& facade,
                    Uv frame);

// A flat deck along z from 0 to length, width wide, its top at y = 0: the
// surface band every 20 units, the body and a low barrier on each edge in
// the point frame, a lamp every 20 units on the barriers.
void AddDeck(Mesh& mesh, float length, float width, std::uint32_t material, const Band& surface, Uv frame,
             std::uint32_t lamp);

// A room seen from inside: size wide (x), high (y) and deep (z), its floor
// on y = 0 centred on x = z = 0, in one material of stacked pictures: the
// floor's band laid every 10 units, the walls' every 8, the ceiling's every 12.
void AddRoom(Mesh& mesh, Vec3 size, std::uint32_t material, const Band& floor, const Band& wall, const Band& ceiling);

// A jointed arm's limb: a box length long along +y from its root at the
// origin, its joint a short cylinder about x at the root.
void AddLimb(Mesh& mesh, float length, float thickness, std::uint32_t material, std::uint32_t joint);
