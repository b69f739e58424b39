// The model's nodes with their curves: each node's rest transform, and the
// tracks that move it, read from a glTF file itself where the model is one
// (tools/importer/gltfanimation.h) and otherwise from the library's keys,
// which move linearly between keys. From them: a node's local pose at any
// time in the demo's axes (what the key fitter follows), the world matrices
// of every node at a time, and the model's extent.
#pragma once

#include <assimp/matrix4x4.h>

#include <map>
#include <string>
#include <vector>

#include "tools/importer/axes.h"
#include "tools/importer/gltfanimation.h"
#include "tools/importer/keyfit.h"

struct aiNode;
struct aiScene;

namespace importer {

struct NodeCurve {
    const aiNode* node = nullptr;
    int parent = -1;  // index in the list, parents first
    std::array<double, 3> restTranslation = {};
    std::array<double, 4> restRotation = {0.0, 0.0, 0.0, 1.0};
    std::array<double, 3> restScale = {1.0, 1.0, 1.0};
    VectorTrack translation;  // empty: the rest value throughout
    RotationTrack rotation;
    VectorTrack scale;
};

class Nodes {
public:
    // Every node of scene, parents before children. gltf holds the file's own
    // tracks when the model is a glTF file (null otherwise); what cannot be
    // followed is noted in leftOut.
    Nodes(const aiScene& scene, const GltfAnimations* gltf, const Axes& axes, std::vector<std::string>& leftOut);

    const std::vector<NodeCurve>& All() const { return nodes_; }
    int IndexOf(const aiNode* node) const;
    // The node's local transform at t (seconds), in the demo's axes.
    LocalPose PoseAt(const NodeCurve& node, double t) const;
    // The node's key times and jumps, for the fitter.
    void AddTimes(const NodeCurve& node, std::vector<double>& keyTimes, std::vector<double>& jumpTimes) const;
    // The earliest and latest key time of all nodes; false when nothing moves.
    bool TimeSpan(double& first, double& last) const;
    // Every node's world matrix at t, in the model's own axes and units.
    std::vector<aiMatrix4x4> WorldAt(double t) const;
    // The world matrix of the node at index alone.
    aiMatrix4x4 WorldOf(int index, double t) const;
    // The key times and jumps of the node at index and of every node above it.
    void AddChainTimes(int index, std::vector<double>& keyTimes, std::vector<double>& jumpTimes) const;

private:
    void Add(const aiNode& node, int parent);
    void TakeGltfTracks(const GltfAnimations& gltf, std::vector<std::string>& leftOut);
    void TakeLibraryTracks(const aiScene& scene, std::vector<std::string>& leftOut);

    const Axes& axes_;
    std::vector<NodeCurve> nodes_;
    std::map<const aiNode*, int> indices_;
};

}  // namespace importer
