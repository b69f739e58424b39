// The small data files that the scene fuzzer's inputs may name, shared by the
// fuzzer (which writes them into a directory of its own) and the seed writer
// (whose scenes name them): three meshes and one picture.
#pragma once

#include <string>
#include <vector>

#include "tools/writers/meshwriter.h"
#include "tools/writers/tgawriter.h"

namespace scene_corpus {

constexpr const char* MESH_A = "a.vob";   // 3 atoms, one cell of one material
constexpr const char* MESH_B = "b.vob";   // 3 atoms: a morph between a and b works
constexpr const char* MESH_C = "c.vob";   // 4 atoms: a morph with a or b fails
constexpr const char* PICTURE = "f.tga";  // 2 × 2, for flares

inline MeshContent MeshOf(const std::vector<VECTOR_FILE_Vertex>& vertices)
{
    MeshContent content;
    content.vertices = vertices;
    VECTOR_FILE_Face face;
    face.corners[1] = 1;
    face.corners[2] = 2;
    content.faces = {face};
    content.materials = {VECTOR_FILE_Material()};
    return content;
}

// Writes the files into directory, the picture under the upper-cased name
// that textures ask the disk for; false when one cannot be written.
inline bool WriteFiles(const std::string& directory)
{
    TgaPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.pixels.assign(2 * 2 * 3, 128);
    const std::string at = directory + "/";
    return WriteBytesFile(at + MESH_A, MeshEncode(MeshLayout(MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})))) &&
           WriteBytesFile(at + MESH_B, MeshEncode(MeshLayout(MeshOf({{0, 0, 2}, {3, 0, 0}, {0, 5, 1}})))) &&
           WriteBytesFile(at + MESH_C, MeshEncode(MeshLayout(MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}})))) &&
           WriteBytesFile(at + "F.TGA", TgaEncode(picture));
}

}  // namespace scene_corpus
