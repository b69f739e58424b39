// A mesh being built: positions, triangles with their map coordinates and
// materials, and the file it becomes. Front faces wind so that
// (b - a) x (c - a) points out of the solid, toward the eye that sees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/vector.h"
#include "tools/datagen/builders/vec3.h"

struct Uv {
    float u = 0.0f;
    float v = 0.0f;  // 0 is the picture's top row
};

struct Triangle {
    std::uint32_t corners[3] = {};
    Uv uv[3];
    std::uint32_t material = 0;
};

// An affine placement: scale, then bank, pitch, heading, then translation,
// as the engine places an object.
struct Placement {
    Vec3 position;
    float pitch = 0.0f;
    float heading = 0.0f;
    float bank = 0.0f;
    Vec3 scale{1.0f, 1.0f, 1.0f};

    Vec3 Apply(Vec3 p) const;
};

class Mesh {
public:
    std::uint32_t AddMaterial(const VECTOR_FILE_Material& material);
    std::uint32_t AddVertex(Vec3 position);
    void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, Uv ua, Uv ub, Uv uc,
                     std::uint32_t material);
    // Two triangles a b c and a c d; the corners go round the quad.
    void AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, Uv ua, Uv ub, Uv uc,
                 Uv ud, std::uint32_t material);
    // The same with the map's whole rectangle from (u0, v0) at a to (u1, v1) at c.
    void AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t material,
                 Uv from = {0.0f, 0.0f}, Uv to = {1.0f, 1.0f});

    // Appends other's vertices and triangles placed by placement; other's
    // material i becomes materialMap[i] here (the same index when empty).
    void Append(const Mesh& other, const Placement& placement = {},
                const std::vector<std::uint32_t>& materialMap = {});

    // Reverses the winding of every triangle from index first on.
    void FlipFrom(std::size_t first);

    Vec3 Centre() const;  // middle of the bounding box

    const std::vector<Vec3>& Positions() const { return positions_; }
    std::vector<Vec3>& Positions() { return positions_; }
    const std::vector<Triangle>& Triangles() const { return triangles_; }
    std::vector<Triangle>& Triangles() { return triangles_; }
    const std::vector<VECTOR_FILE_Material>& Materials() const { return materials_; }
    std::vector<VECTOR_FILE_Material>& Materials() { return materials_; }

private:
    std::vector<Vec3> positions_;
    std::vector<Triangle> triangles_;
    std::vector<VECTOR_FILE_Material> materials_;
};

// The tree's path of an archive name: backslashes become folders under root.
std::string TreePath(const std::string& root, const std::string& archiveName);

// Makes the folders of path. False (reported) on failure.
bool MakeParentFolders(const std::string& path);

// Writes mesh as the mesh file archiveName in the tree. False (reported) on failure.
bool WriteMesh(const std::string& root, const std::string& archiveName, const Mesh& mesh);
