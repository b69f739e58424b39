#include "tools/importer/meshes.h"

#include <assimp/scene.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "tools/importer/materials.h"
#include "tools/importer/names.h"

namespace importer {

namespace {

constexpr double FLAT_COSINE = 0.999;  // a corner normal within 2.5° of its face's is flat
constexpr double FLAT_SHARE = 0.9;     // of the corners, for a flat mesh

using PositionKey = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;

std::uint32_t Bits(float value)
{
    if (value == 0.0f)
        value = 0.0f;  // -0 and +0 are one position
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

// The atoms of one mesh file, each position once.
class MeshMaker::Atoms {
public:
    explicit Atoms(std::vector<VECTOR_FILE_Vertex>& vertices) : vertices_(vertices) {}

    std::uint32_t IndexOf(const VECTOR_FILE_Vertex& v)
    {
        const auto [at, added] = indices_.emplace(PositionKey{Bits(v.x), Bits(v.y), Bits(v.z)},
                                                  static_cast<std::uint32_t>(vertices_.size()));
        if (added)
            vertices_.push_back(v);
        return at->second;
    }

private:
    std::vector<VECTOR_FILE_Vertex>& vertices_;
    std::map<PositionKey, std::uint32_t> indices_;
};

namespace {

bool Finite(const VECTOR_FILE_Vertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

aiVector3D FaceNormal(const aiMesh& mesh, const aiFace& face)
{
    const aiVector3D& a = mesh.mVertices[face.mIndices[0]];
    aiVector3D n = (mesh.mVertices[face.mIndices[1]] - a) ^ (mesh.mVertices[face.mIndices[2]] - a);
    const float length = n.Length();
    return length > 0.0f ? n / length : n;
}

}  // namespace

bool SmoothNormals(const aiMesh& mesh)
{
    if (!mesh.HasNormals())
        return false;
    std::size_t corners = 0, flat = 0;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3)
            continue;
        const aiVector3D n = FaceNormal(mesh, face);
        for (unsigned k = 0; k < 3; ++k, ++corners) {
            aiVector3D corner = mesh.mNormals[face.mIndices[k]];
            const float length = corner.Length();
            flat += length > 0.0f && (corner / length) * n >= FLAT_COSINE;
        }
    }
    return corners > 0 && flat < FLAT_SHARE * static_cast<double>(corners);
}

// Each triangle with its corners the other way round (the mirror), its map
// coordinates per corner, its material the mesh's; one that collapses onto
// fewer than three atoms draws nothing and is dropped.
bool MeshMaker::AddMesh(const aiMesh& mesh, MeshContent& content, Atoms& atoms)
{
    const auto material = static_cast<std::uint32_t>(content.materials.size());
    content.materials.push_back(
        MakeMaterial(*scene_.mMaterials[mesh.mMaterialIndex], SmoothNormals(mesh), pictures_, *leftOut_));
    constexpr unsigned ORDER[3] = {0, 2, 1};
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3)
            continue;
        VECTOR_FILE_Face cell;
        cell.material = material;
        for (unsigned k = 0; k < 3; ++k) {
            const unsigned index = face.mIndices[ORDER[k]];
            const VECTOR_FILE_Vertex vertex = axes_.Vertex(mesh.mVertices[index]);
            if (mesh.HasTextureCoords(0)) {
                cell.uv[2 * k] = mesh.mTextureCoords[0][index].x;
                cell.uv[2 * k + 1] = mesh.mTextureCoords[0][index].y;
            }
            if (!Finite(vertex) || !std::isfinite(cell.uv[2 * k]) || !std::isfinite(cell.uv[2 * k + 1]))
                return false;
            cell.corners[k] = atoms.IndexOf(vertex);
        }
        if (cell.corners[0] != cell.corners[1] && cell.corners[1] != cell.corners[2] &&
            cell.corners[0] != cell.corners[2])
            content.faces.push_back(cell);
    }
    return true;
}

bool MeshMaker::Make(const aiNode& node, MeshContent& content, std::vector<std::string>& leftOut, std::string& why)
{
    leftOut_ = &leftOut;
    Atoms atoms(content.vertices);
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene_.mMeshes[node.mMeshes[i]];
        const std::string name = "mesh \"" + Printable(mesh.mName.C_Str()) + "\"";
        if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) {
            leftOut.push_back(name + ": points and lines are not drawn");
            continue;
        }
        if (mesh.HasBones())
            leftOut.push_back(name + ": its skin is left out; it is drawn as it rests");
        if (mesh.mNumAnimMeshes != 0)
            leftOut.push_back(name + ": its morph targets are left out");
        if (!AddMesh(mesh, content, atoms)) {
            why = name + ": a corner's position or map coordinates are not finite numbers";
            return false;
        }
    }
    return true;
}

}  // namespace importer
