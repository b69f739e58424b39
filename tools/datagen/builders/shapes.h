// Closed and open solids the scene sets are made of, each built into a Mesh
// with one material index. Every closed solid is watertight and wound
// outward; map coordinates run once around (lathes) or once per face (boxes)
// times the repeat given.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/datagen/builders/mesh.h"

// A point of a lathe's profile: distance from the y axis, height.
struct ProfilePoint {
    float radius = 0.0f;
    float height = 0.0f;
};

// An axis-aligned box centred on centre, each face with its own four
// vertices so that it lights flat even with a smooth material. Each face
// maps from origin to origin + repeat; a repeat of 0 gives every corner the
// one point origin (a plain colour out of a stacked picture).
void AddBox(Mesh& mesh, Vec3 centre, Vec3 size, std::uint32_t material, Uv repeat = {1.0f, 1.0f}, Uv origin = {});

// The profile turned about the y axis in segments steps, bottom to top. Ends
// of radius 0 close at a pole; ends of another radius are capped with a flat
// disc when capped is set. Neighbouring rings share vertices, so a smooth
// material lights it round.
void AddLathe(Mesh& mesh, const std::vector<ProfilePoint>& profile, int segments, std::uint32_t material,
              bool capped = true, Uv repeat = {1.0f, 1.0f});

// A sphere of radius about centre, as a lathe of rings x 2 rings.
void AddSphere(Mesh& mesh, Vec3 centre, float radius, int rings, std::uint32_t material);

// A ring about the y axis: tube radius minor around a circle of radius major.
void AddTorus(Mesh& mesh, float major, float minor, int segments, int sides, std::uint32_t material);

// A sheet of (columns + 1) x (rows + 1) shared vertices at surface(u, v),
// u and v from 0 to 1; its front is the side that du x dv points to. Map
// coordinates are u and v times repeat.
void AddSheet(Mesh& mesh, int columns, int rows, const std::function<Vec3(float, float)>& surface,
              std::uint32_t material, Uv repeat = {1.0f, 1.0f});

// A flat shape in the x-y plane (y up), pushed along z from z0 to z1 > z0:
// a cap at z0 facing -z, one at z1 facing +z, and the walls between. Outer
// contours run counter-clockwise, holes clockwise; the cap triangles index
// the contours' points in order, wound either way.
struct Outline {
    std::vector<std::vector<Vec3>> contours;  // closed loops; z is ignored
    std::vector<std::uint32_t> capTriangles;   // three indices a triangle
};
void AddExtrusion(Mesh& mesh, const Outline& outline, float z0, float z1, std::uint32_t capMaterial,
                  std::uint32_t sideMaterial);

// A convex polygon's fan of cap triangles, for AddExtrusion.
Outline ConvexOutline(const std::vector<Vec3>& points);

// A copy of mesh with every position moved by shift (position in, position
// out): same atoms, cells and materials, so that the two morph into each other.
Mesh Reshaped(const Mesh& mesh, const std::function<Vec3(Vec3)>& shift);

// count small glowing triangles scattered over a sphere of radius about
// the origin, each about size across, facing the centre.
void AddStarfield(Mesh& mesh, int count, float radius, float size, std::uint32_t material, std::uint32_t seed);
