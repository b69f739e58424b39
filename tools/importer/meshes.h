// A node's meshes as one mesh file of the demo. The model's triangles keep
// their corners' map coordinates, but corners at the same position share one
// atom, so that smooth shading is smooth across the model's seams (the demo
// makes its atom normals from the cells around them). Each model mesh gets
// a material of its own: flat or smooth as the model's normals are.
#pragma once

#include <string>
#include <vector>

#include "tools/importer/axes.h"
#include "tools/writers/meshwriter.h"

struct aiMesh;
struct aiNode;
struct aiScene;

namespace importer {

class Pictures;

// Whether the mesh's normals depart from its faces' own: smooth shading.
bool SmoothNormals(const aiMesh& mesh);

class MeshMaker {
public:
    MeshMaker(const aiScene& scene, const Axes& axes, Pictures& pictures)
        : scene_(scene), axes_(axes), pictures_(pictures)
    {
    }

    // The triangles of the node's meshes into content, which stays without
    // faces for a node that has none. What a mesh holds that the demo cannot
    // draw (a skin, morph targets) is noted in leftOut, the mesh drawn as it
    // rests. False, with why, for a mesh with a number that is not finite.
    bool Make(const aiNode& node, MeshContent& content, std::vector<std::string>& leftOut, std::string& why);

private:
    class Atoms;
    bool AddMesh(const aiMesh& mesh, MeshContent& content, Atoms& atoms);

    const aiScene& scene_;
    const Axes& axes_;
    Pictures& pictures_;
    std::vector<std::string>* leftOut_ = nullptr;
};

}  // namespace importer
