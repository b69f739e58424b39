#include "tools/importer/objects.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/importer/meshes.h"
#include "tools/importer/pictures.h"

namespace importer {

namespace {

constexpr double TOLERANCE_SHARE = 0.001;  // of the model's size: how far a fitted position may stray

std::string NodeName(const aiNode& node)
{
    return Printable(node.mName.C_Str());
}

// How far the mesh reaches from its node's origin, in demo units.
double Reach(const MeshContent& content)
{
    double reach = 0.0;
    for (const VECTOR_FILE_Vertex& v : content.vertices)
        reach = std::max(reach, std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z));
    return reach;
}

bool FitNode(const ObjectSources& sources, const NodeCurve& node, double reach, ImportedObject& object,
             std::vector<std::string>& leftOut, std::string& why)
{
    PoseCurve curve;
    curve.pose = [&](double t) { return sources.nodes.PoseAt(node, t); };
    sources.nodes.AddTimes(node, curve.keyTimes, curve.jumpTimes);
    curve.fps = sources.options.framesPerSecond;
    curve.tolerance.length = TOLERANCE_SHARE * sources.modelSize;
    curve.tolerance.reach = reach > 0.0 ? reach : sources.modelSize;
    FittedKeys<ObjectKey> fitted;
    if (!FitObjectKeys(curve, fitted, why)) {
        why = "node \"" + object.nodeName + "\": " + why;
        return false;
    }
    if (!fitted.withinTolerance) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "node \"%s\": at most %zu keys follow its curve, within %.1f times the tolerance",
                      object.nodeName.c_str(), fitted.keys.size(), fitted.worstDeparture);
        leftOut.push_back(line);
    }
    object.chunk.keys = std::move(fitted.keys);
    return true;
}

}  // namespace

Extent ExtentAt(const aiScene& scene, const Nodes& nodes, const Axes& axes, const double t)
{
    const std::vector<aiMatrix4x4> world = nodes.WorldAt(t);
    Vec3 low = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (std::size_t i = 0; i < nodes.All().size(); ++i) {
        const aiNode& node = *nodes.All()[i].node;
        for (unsigned m = 0; m < node.mNumMeshes; ++m) {
            const aiMesh& mesh = *scene.mMeshes[node.mMeshes[m]];
            for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
                const Vec3 p = axes.Position(world[i] * mesh.mVertices[v]);
                if (!std::isfinite(p[0] + p[1] + p[2]))
                    continue;  // the mesh is refused when it is made
                for (int axis = 0; axis < 3; ++axis) {
                    low[axis] = std::min(low[axis], p[axis]);
                    high[axis] = std::max(high[axis], p[axis]);
                }
            }
        }
    }
    Extent extent;
    if (!(low[0] <= high[0]))
        return extent;
    double squared = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        extent.centre[axis] = (low[axis] + high[axis]) / 2.0;
        squared += (high[axis] - low[axis]) * (high[axis] - low[axis]) / 4.0;
    }
    extent.radius = std::sqrt(squared);
    return extent;
}

bool MakeObjects(const ObjectSources& sources, Pictures& pictures, Import& import, std::string& why)
{
    const std::vector<NodeCurve>& nodes = sources.nodes.All();
    if (nodes.size() > MAX_OBJECTS) {
        why = "the model has " + std::to_string(nodes.size()) + " nodes; a scene holds at most " +
              std::to_string(MAX_OBJECTS);
        return false;
    }
    MeshMaker maker(sources.scene, sources.axes, pictures);
    UniqueStems stems;
    for (const NodeCurve& node : nodes) {
        ImportedObject object;
        object.nodeName = NodeName(*node.node);
        object.chunk.parent = node.parent;
        object.chunk.endBehaviour = sources.options.endBehaviour;
        MeshContent content;
        if (!maker.Make(*node.node, content, import.leftOut, why))
            return false;
        object.hasMesh = !content.faces.empty();
        const std::string stem = SafeStem(node.node->mName.C_Str(), object.hasMesh ? "mesh" : "null");
        if (object.hasMesh) {
            const std::string taken = stems.Take((sources.prefix + "_" + stem).substr(0, MAX_STEM));
            object.chunk.name = sources.names.objects + taken + ".vob";
            import.meshes.push_back({object.chunk.name, std::move(content)});
        } else {
            object.chunk.name = stem;
        }
        const double reach = object.hasMesh ? Reach(import.meshes.back().content) : 0.0;
        if (!FitNode(sources, node, reach, object, import.leftOut, why))
            return false;
        import.objects.push_back(std::move(object));
    }
    return true;
}

}  // namespace importer
