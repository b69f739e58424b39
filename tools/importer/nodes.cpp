#include "tools/importer/nodes.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

#include "tools/importer/names.h"

namespace importer {

namespace {

constexpr double DEFAULT_TICKS_PER_SECOND = 25.0;  // when the library cannot say

std::array<double, 3> ArrayOf(const aiVector3D& v)
{
    return {v.x, v.y, v.z};
}
std::array<double, 4> ArrayOf(const aiQuaternion& q)
{
    return {q.x, q.y, q.z, q.w};
}

// T × R × S. (The library's own constructor from the three scales R's rows,
// which is S × R.)
aiMatrix4x4 MatrixOf(const std::array<double, 3>& t, const std::array<double, 4>& q, const std::array<double, 3>& s)
{
    const std::array<double, 9> r = RotationMatrix(q);
    aiMatrix4x4 m;
    for (unsigned row = 0; row < 3; ++row) {
        for (unsigned column = 0; column < 3; ++column)
            m[row][column] = static_cast<float>(r[3 * row + column] * s[column]);
        m[row][3] = static_cast<float>(t[row]);
    }
    return m;
}

VectorTrack LibraryTrack(const aiVectorKey* keys, unsigned count, double ticks)
{
    VectorTrack track;
    for (unsigned i = 0; i < count; ++i)
        track.keys.push_back({keys[i].mTime / ticks, ArrayOf(keys[i].mValue), {}, {}});
    return track;
}

RotationTrack LibraryTrack(const aiQuatKey* keys, unsigned count, double ticks)
{
    RotationTrack track;
    for (unsigned i = 0; i < count; ++i)
        track.keys.push_back({keys[i].mTime / ticks, ArrayOf(keys[i].mValue), {}, {}});
    return track;
}

template <class Track>
void SpanOf(const Track& track, double& first, double& last, bool& any)
{
    if (track.keys.empty())
        return;
    first = any ? std::min(first, track.keys.front().time) : track.keys.front().time;
    last = any ? std::max(last, track.keys.back().time) : track.keys.back().time;
    any = true;
}

}  // namespace

Nodes::Nodes(const aiScene& scene, const GltfAnimations* gltf, const Axes& axes, std::vector<std::string>& leftOut)
    : axes_(axes)
{
    Add(*scene.mRootNode, -1);
    if (gltf != nullptr)
        TakeGltfTracks(*gltf, leftOut);
    else
        TakeLibraryTracks(scene, leftOut);
}

void Nodes::Add(const aiNode& node, const int parent)
{
    NodeCurve curve;
    curve.node = &node;
    curve.parent = parent;
    aiVector3D scale, translation;
    aiQuaternion rotation;
    node.mTransformation.Decompose(scale, rotation, translation);
    curve.restTranslation = ArrayOf(translation);
    curve.restRotation = ArrayOf(rotation);
    curve.restScale = ArrayOf(scale);
    const int index = static_cast<int>(nodes_.size());
    indices_[&node] = index;
    nodes_.push_back(curve);
    for (unsigned i = 0; i < node.mNumChildren; ++i)
        Add(*node.mChildren[i], index);
}

int Nodes::IndexOf(const aiNode* node) const
{
    const auto found = indices_.find(node);
    return found == indices_.end() ? -1 : found->second;
}

// The library names a glTF node as the file does, or "nodes[i]" when the
// file gives none; a name the file gives twice cannot tell its nodes apart.
void Nodes::TakeGltfTracks(const GltfAnimations& gltf, std::vector<std::string>& leftOut)
{
    std::map<std::string, int> uses;
    for (const NodeTracks& tracks : gltf.nodes)
        ++uses[tracks.name];
    for (std::size_t i = 0; i < gltf.nodes.size(); ++i) {
        const NodeTracks& tracks = gltf.nodes[i];
        if (!tracks.moved)
            continue;
        const std::string name = tracks.name.empty() ? "nodes[" + std::to_string(i) + "]" : tracks.name;
        const auto node = std::find_if(nodes_.begin(), nodes_.end(),
                                       [&](const NodeCurve& c) { return name == c.node->mName.C_Str(); });
        if (node == nodes_.end() || (!tracks.name.empty() && uses[tracks.name] > 1)) {
            leftOut.push_back("animation of node \"" + Printable(name) + "\": its name does not tell its node");
            continue;
        }
        node->translation = tracks.translation;
        node->rotation = tracks.rotation;
        node->scale = tracks.scale;
    }
    leftOut.insert(leftOut.end(), gltf.leftOut.begin(), gltf.leftOut.end());
}

// The first animation that moves a node moves it; its keys are followed as
// the library gives them, straight or by slerp.
void Nodes::TakeLibraryTracks(const aiScene& scene, std::vector<std::string>& leftOut)
{
    for (unsigned a = 0; a < scene.mNumAnimations; ++a) {
        const aiAnimation& animation = *scene.mAnimations[a];
        const double ticks = animation.mTicksPerSecond > 0.0 ? animation.mTicksPerSecond : DEFAULT_TICKS_PER_SECOND;
        for (unsigned c = 0; c < animation.mNumChannels; ++c) {
            const aiNodeAnim& channel = *animation.mChannels[c];
            const std::string name = Printable(channel.mNodeName.C_Str());
            const aiNode* const node = scene.mRootNode->FindNode(channel.mNodeName);
            NodeCurve* const curve = node == nullptr ? nullptr : &nodes_[IndexOf(node)];
            if (curve == nullptr || !curve->translation.keys.empty() || !curve->rotation.keys.empty() ||
                !curve->scale.keys.empty()) {
                leftOut.push_back("animation " + std::to_string(a) + " of node \"" + name +
                                  "\": no node of that name, or another animation moves it");
                continue;
            }
            NodeCurve moved = *curve;
            moved.translation = LibraryTrack(channel.mPositionKeys, channel.mNumPositionKeys, ticks);
            moved.rotation = LibraryTrack(channel.mRotationKeys, channel.mNumRotationKeys, ticks);
            moved.scale = LibraryTrack(channel.mScalingKeys, channel.mNumScalingKeys, ticks);
            std::string why;
            if (!CheckTrack(moved.translation, why) || !CheckTrack(moved.rotation, why) ||
                !CheckTrack(moved.scale, why))
                leftOut.push_back("animation " + std::to_string(a) + " of node \"" + name + "\": " + why);
            else
                *curve = moved;
        }
        if (animation.mNumMorphMeshChannels + animation.mNumMeshChannels != 0)
            leftOut.push_back("animation " + std::to_string(a) + ": its morph and mesh channels are not followed");
    }
}

LocalPose Nodes::PoseAt(const NodeCurve& node, const double t) const
{
    LocalPose pose;
    pose.position = axes_.Position(Sample(node.translation, t, node.restTranslation));
    pose.rotation = Axes::Mirrored(RotationMatrix(Sample(node.rotation, t, node.restRotation)));
    pose.scale = Sample(node.scale, t, node.restScale);
    return pose;
}

void Nodes::AddTimes(const NodeCurve& node, std::vector<double>& keyTimes, std::vector<double>& jumpTimes) const
{
    importer::AddTimes(node.translation, keyTimes, jumpTimes);
    importer::AddTimes(node.rotation, keyTimes, jumpTimes);
    importer::AddTimes(node.scale, keyTimes, jumpTimes);
}

bool Nodes::TimeSpan(double& first, double& last) const
{
    bool any = false;
    for (const NodeCurve& node : nodes_) {
        SpanOf(node.translation, first, last, any);
        SpanOf(node.rotation, first, last, any);
        SpanOf(node.scale, first, last, any);
    }
    return any;
}

namespace {

aiMatrix4x4 LocalAt(const NodeCurve& node, const double t)
{
    return MatrixOf(Sample(node.translation, t, node.restTranslation), Sample(node.rotation, t, node.restRotation),
                    Sample(node.scale, t, node.restScale));
}

}  // namespace

std::vector<aiMatrix4x4> Nodes::WorldAt(const double t) const
{
    std::vector<aiMatrix4x4> world(nodes_.size());
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const NodeCurve& node = nodes_[i];
        world[i] = node.parent < 0 ? LocalAt(node, t) : world[node.parent] * LocalAt(node, t);
    }
    return world;
}

aiMatrix4x4 Nodes::WorldOf(const int index, const double t) const
{
    aiMatrix4x4 world;
    for (int i = index; i >= 0; i = nodes_[i].parent)
        world = LocalAt(nodes_[i], t) * world;
    return world;
}

void Nodes::AddChainTimes(const int index, std::vector<double>& keyTimes, std::vector<double>& jumpTimes) const
{
    for (int i = index; i >= 0; i = nodes_[i].parent)
        AddTimes(nodes_[i], keyTimes, jumpTimes);
}

}  // namespace importer
