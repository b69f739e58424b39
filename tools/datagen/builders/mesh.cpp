// The mesh builder and its file. Building happens once, in the generator.
#include "tools/datagen/builders/mesh.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "host/error.h"
#include "tools/writers/meshwriter.h"

Vec3 Placement::Apply(Vec3 p) const
{
    p = {p.x * scale.x, p.y * scale.y, p.z * scale.z};
    return TurnedY(TurnedX(TurnedZ(p, bank), pitch), heading) + position;
}

std::uint32_t Mesh::AddMaterial(const VECTOR_FILE_Material& material)
{
    materials_.push_back(material);
    return static_cast<std::uint32_t>(materials_.size() - 1);
}

std::uint32_t Mesh::AddVertex(Vec3 position)
{
    positions_.push_back(position);
    return static_cast<std::uint32_t>(positions_.size() - 1);
}

void Mesh::AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, Uv ua, Uv ub, Uv uc,
                       std::uint32_t material)
{
    Triangle triangle;
    triangle.corners[0] = a;
    triangle.corners[1] = b;
    triangle.corners[2] = c;
    triangle.uv[0] = ua;
    triangle.uv[1] = ub;
    triangle.uv[2] = uc;
    triangle.material = material;
    triangles_.push_back(triangle);
}

void Mesh::AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, Uv ua, Uv ub, Uv uc,
                   Uv ud, std::uint32_t material)
{
    AddTriangle(a, b, c, ua, ub, uc, material);
    AddTriangle(a, c, d, ua, uc, ud, material);
}

void Mesh::AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t material,
                   Uv from, Uv to)
{
    AddQuad(a, b, c, d, from, {from.u, to.v}, to, {to.u, from.v}, material);
}

void Mesh::Append(const Mesh& other, const Placement& placement, const std::vector<std::uint32_t>& materialMap)
{
    const auto base = static_cast<std::uint32_t>(positions_.size());
    for (const Vec3& p : other.positions_)
        positions_.push_back(placement.Apply(p));
    for (Triangle triangle : other.triangles_) {
        for (std::uint32_t& corner : triangle.corners)
            corner += base;
        if (!materialMap.empty())
            triangle.material = materialMap[triangle.material];
        triangles_.push_back(triangle);
    }
    // A mirroring scale turns the winding inside out; put it right.
    if (placement.scale.x * placement.scale.y * placement.scale.z < 0.0f)
        FlipFrom(triangles_.size() - other.triangles_.size());
}

void Mesh::FlipFrom(std::size_t first)
{
    for (std::size_t i = first; i < triangles_.size(); ++i) {
        std::swap(triangles_[i].corners[1], triangles_[i].corners[2]);
        std::swap(triangles_[i].uv[1], triangles_[i].uv[2]);
    }
}

Vec3 Mesh::Centre() const
{
    if (positions_.empty())
        return {};
    Vec3 low = positions_[0], high = positions_[0];
    for (const Vec3& p : positions_) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    return (low + high) * 0.5f;
}

std::string TreePath(const std::string& root, const std::string& archiveName)
{
    std::string path = archiveName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return root + "/" + path;
}

bool MakeParentFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error)
        Error::Report(3, "MakeParentFolders: Couldn't make the folder of (", path.c_str(), ")\n");
    return !error;
}

bool WriteMesh(const std::string& root, const std::string& archiveName, const Mesh& mesh)
{
    MeshContent content;
    for (const Vec3& p : mesh.Positions()) {
        VECTOR_FILE_Vertex vertex;
        vertex.x = p.x;
        vertex.y = p.y;
        vertex.z = p.z;
        content.vertices.push_back(vertex);
    }
    for (const Triangle& triangle : mesh.Triangles()) {
        VECTOR_FILE_Face face;
        for (int k = 0; k < 3; ++k) {
            face.corners[k] = triangle.corners[k];
            face.uv[2 * k] = triangle.uv[k].u;
            face.uv[2 * k + 1] = triangle.uv[k].v;
        }
        face.material = triangle.material;
        content.faces.push_back(face);
    }
    content.materials = mesh.Materials();
    const std::string path = TreePath(root, archiveName);
    return MakeParentFolders(path) && WriteBytesFile(path, MeshEncode(MeshLayout(content)));
}
