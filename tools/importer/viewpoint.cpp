#include "tools/importer/viewpoint.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

#include "tools/importer/names.h"

namespace importer {

namespace {

constexpr double FOUR_THIRDS = 4.0 / 3.0;
constexpr double DEFAULT_ZOOM = 3.2;
constexpr double LEAST_ZOOM = 0.05;
constexpr double MOST_ZOOM = 100.0;
constexpr double MOST_INTENSITY = 4.0;
constexpr Vec3 FRAMING_DIRECTION = {0.6, 0.45, -1.0};  // from the model's middle to the eye: front, right, above
constexpr double FRAMING_MARGIN = 1.15;
constexpr double TOLERANCE_SHARE = 0.001;  // of the model's size, as for the objects

double Length(const Vec3& v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

Vec3 Normalised(const Vec3& v)
{
    const double length = Length(v);
    return length > 0.0 ? Vec3{v[0] / length, v[1] / length, v[2] / length} : Vec3{0.0, 0.0, 1.0};
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The rotation that turns +z to forward and keeps +y as near up as it can.
Rotation Facing(const Vec3& forward, const Vec3& up)
{
    const Vec3 f = Normalised(forward);
    Vec3 right = Cross(up, f);
    if (Length(right) < 1e-9)
        right = Cross(std::abs(f[1]) < 0.9 ? Vec3{0.0, 1.0, 0.0} : Vec3{1.0, 0.0, 0.0}, f);
    right = Normalised(right);
    const Vec3 u = Cross(f, right);
    return {right[0], u[0], f[0], right[1], u[1], f[1], right[2], u[2], f[2]};
}

// One key holding pose for a light or the camera.
bool StillKeys(const LocalPose& pose, const ImportOptions& options, std::vector<MotionKey>& keys, std::string& why)
{
    PoseCurve curve;
    curve.pose = [pose](double) { return pose; };
    curve.fps = options.framesPerSecond;
    FittedKeys<MotionKey> fitted;
    if (!FitMotionKeys(curve, fitted, why))
        return false;
    keys = std::move(fitted.keys);
    return true;
}

// Where a camera or a light looking along forward (in its node's space, with
// up) is at t: the demo's camera and lights are rigid, so they follow their
// node's world matrix without its scale, and have no parent.
LocalPose WorldPose(const ViewSources& sources, int node, const aiVector3D& at, const aiVector3D& forward,
                    const aiVector3D& up, double t)
{
    const aiMatrix4x4 world = sources.nodes.WorldOf(node, t);
    const aiMatrix3x3 turn(world);
    LocalPose pose;
    pose.position = sources.axes.Position(world * at);
    pose.rotation = Facing(Axes::Direction(turn * forward), Axes::Direction(turn * up));
    return pose;
}

bool FollowNode(const ViewSources& sources, int node, const aiVector3D& at, const aiVector3D& forward,
                const aiVector3D& up, std::vector<MotionKey>& keys, std::string& why)
{
    PoseCurve curve;
    curve.pose = [&](double t) { return WorldPose(sources, node, at, forward, up, t); };
    sources.nodes.AddChainTimes(node, curve.keyTimes, curve.jumpTimes);
    curve.fps = sources.options.framesPerSecond;
    curve.tolerance.length = TOLERANCE_SHARE * 2.0 * std::max(sources.extent.radius, 0.5);
    FittedKeys<MotionKey> fitted;
    if (!FitMotionKeys(curve, fitted, why))
        return false;
    keys = std::move(fitted.keys);
    return true;
}

bool Perspective(const aiCamera& camera)
{
    return camera.mOrthographicWidth == 0.0f;
}

// The library's glTF cameras give yfov × aspect as their horizontal field;
// other formats give the whole horizontal angle, at 4:3 where they give no
// aspect.
double VerticalField(const aiCamera& camera, bool gltf)
{
    const double aspect = camera.mAspect > 0.0f ? camera.mAspect : 0.0;
    if (gltf)
        return aspect > 0.0 ? camera.mHorizontalFOV / aspect : camera.mHorizontalFOV;
    return 2.0 * std::atan(std::tan(camera.mHorizontalFOV / 2.0) / (aspect > 0.0 ? aspect : FOUR_THIRDS));
}

// The camera to use, or null for one that frames the model; false when the
// user named one the model does not have.
bool ChooseCamera(const ViewSources& sources, Import& import, const aiCamera*& chosen, std::string& why)
{
    chosen = nullptr;
    for (unsigned i = 0; i < sources.scene.mNumCameras; ++i) {
        const aiCamera& camera = *sources.scene.mCameras[i];
        const std::string name = camera.mName.C_Str();
        const bool wanted =
            sources.options.camera.empty() ? Perspective(camera) && chosen == nullptr : name == sources.options.camera;
        if (wanted && Perspective(camera))
            chosen = &camera;
        else
            import.leftOut.push_back(
                "camera \"" + Printable(name) +
                "\": " + (Perspective(camera) ? "only one camera is used" : "orthographic cameras are not drawn"));
    }
    if (chosen != nullptr || sources.options.camera.empty())
        return true;
    why = "the model has no perspective camera called \"" + Printable(sources.options.camera) + "\"";
    return false;
}

// A camera a little way off the model's middle, far enough to see all of it.
void FramingCamera(const ViewSources& sources, LocalPose& pose, double& zoom)
{
    zoom = DEFAULT_ZOOM;
    const Vec3 direction = Normalised(FRAMING_DIRECTION);
    const double radius = sources.extent.radius > 0.0 ? sources.extent.radius : 1.0;
    const double distance = FRAMING_MARGIN * radius / std::sin(std::atan(1.0 / zoom));
    for (int axis = 0; axis < 3; ++axis)
        pose.position[axis] = sources.extent.centre[axis] + distance * direction[axis];
    pose.rotation = Facing({-direction[0], -direction[1], -direction[2]}, {0.0, 1.0, 0.0});
}

int KindOf(const aiLightSourceType type)
{
    switch (type) {
        case aiLightSource_DIRECTIONAL:
            return 1;
        case aiLightSource_POINT:
            return 2;
        case aiLightSource_SPOT:
            return 3;
        default:
            return 0;
    }
}

// A light as the model places it, before its intensity is scaled.
struct PlacedLight {
    SceneLightChunk chunk;
    double illuminance;  // at the model's middle, in the model's own measure
    double reached;      // share of the light left at the middle by the demo's falloff
};

enum class Placing { PLACED, LEFT_OUT, FAILED };

Placing PlaceLight(const ViewSources& sources, const aiLight& light, const std::vector<aiMatrix4x4>& world,
                   PlacedLight& placed, Import& import, std::string& why)
{
    const std::string name = "light \"" + Printable(light.mName.C_Str()) + "\": ";
    const aiNode* const node = sources.scene.mRootNode->FindNode(light.mName);
    const int kind = KindOf(light.mType);
    const double peak = std::max({light.mColorDiffuse.r, light.mColorDiffuse.g, light.mColorDiffuse.b});
    if (node == nullptr || kind == 0 || !(peak > 0.0) || !std::isfinite(peak)) {
        import.leftOut.push_back(name + (kind == 0 ? "only directional, point and spot lights are drawn"
                                                   : "it has no node or gives no light"));
        return Placing::LEFT_OUT;
    }
    SceneLightChunk& chunk = placed.chunk;
    chunk.kind = static_cast<std::uint32_t>(kind);
    chunk.red = static_cast<float>(light.mColorDiffuse.r / peak);
    chunk.green = static_cast<float>(light.mColorDiffuse.g / peak);
    chunk.blue = static_cast<float>(light.mColorDiffuse.b / peak);
    const int index = sources.nodes.IndexOf(node);
    chunk.endBehaviour = sources.options.endBehaviour;
    const Vec3 at = sources.axes.Position(world[index] * light.mPosition);
    const Vec3 to = {sources.extent.centre[0] - at[0], sources.extent.centre[1] - at[1],
                     sources.extent.centre[2] - at[2]};
    const double distance = std::max(Length(to), 1e-3);
    float range = 0.0f;
    if (node->mMetaData == nullptr || !node->mMetaData->Get("PBR_LightRange", range) || !(range > 0.0f))
        range = static_cast<float>(2.0 * (distance + sources.extent.radius) / sources.axes.Scale());
    chunk.range = static_cast<float>(range * sources.axes.Scale());
    placed.illuminance =
        kind == 1 ? peak : peak / (distance * distance / (sources.axes.Scale() * sources.axes.Scale()));
    placed.reached = kind == 1 ? 1.0 : std::max(0.05, 1.0 - distance / chunk.range);
    if (kind == 3) {
        chunk.coneAngle = std::clamp(light.mAngleOuterCone, 0.0f, 1.5f);
        chunk.edgeAngle = std::clamp(light.mAngleOuterCone - light.mAngleInnerCone, 0.0f, chunk.coneAngle);
    }
    const aiVector3D up = light.mUp.SquareLength() > 0.0f ? light.mUp : aiVector3D(0.0f, 1.0f, 0.0f);
    const aiVector3D forward =
        light.mDirection.SquareLength() > 0.0f ? light.mDirection : aiVector3D(0.0f, 0.0f, -1.0f);
    if (!FollowNode(sources, index, light.mPosition, forward, up, chunk.keys, why)) {
        why = name + why;
        return Placing::FAILED;
    }
    return Placing::PLACED;
}

}  // namespace

double ZoomOf(const double yfov)
{
    const double zoom = 1.0 / std::tan(yfov / 2.0);
    return std::isfinite(zoom) ? std::clamp(zoom, LEAST_ZOOM, MOST_ZOOM) : DEFAULT_ZOOM;
}

bool MakeCamera(const ViewSources& sources, Import& import, std::string& why)
{
    const aiCamera* camera = nullptr;
    if (!ChooseCamera(sources, import, camera, why))
        return false;
    SceneCameraChunk& chunk = import.camera;
    chunk.endBehaviour = sources.options.endBehaviour;
    LocalPose pose;
    double zoom = DEFAULT_ZOOM;
    const aiNode* const node = camera == nullptr ? nullptr : sources.scene.mRootNode->FindNode(camera->mName);
    if (node != nullptr) {
        // The library repeats the node's translation as some formats' camera
        // position (glTF, 3DS) and gives none for others: the node alone places it.
        chunk.zoom = static_cast<float>(ZoomOf(VerticalField(*camera, sources.gltf)));
        import.cameraSource = "the model's camera \"" + Printable(camera->mName.C_Str()) + "\"";
        return FollowNode(sources, sources.nodes.IndexOf(node), aiVector3D(), camera->mLookAt, camera->mUp, chunk.keys,
                          why);
    }
    FramingCamera(sources, pose, zoom);
    import.cameraSource = "a camera that frames the whole model";
    chunk.zoom = static_cast<float>(zoom);
    return StillKeys(pose, sources.options, chunk.keys, why);
}

bool MakeLights(const ViewSources& sources, Import& import, std::string& why)
{
    const std::vector<aiMatrix4x4> world = sources.nodes.WorldAt(sources.start);
    std::vector<PlacedLight> placed;
    double brightest = 0.0;
    for (unsigned i = 0; i < sources.scene.mNumLights; ++i) {
        PlacedLight light;
        const Placing placing = PlaceLight(sources, *sources.scene.mLights[i], world, light, import, why);
        if (placing == Placing::FAILED)
            return false;
        if (placing == Placing::PLACED) {
            brightest = std::max(brightest, light.illuminance);
            placed.push_back(std::move(light));
        }
    }
    for (PlacedLight& light : placed) {
        const double share = light.illuminance / brightest / light.reached;
        light.chunk.intensity = static_cast<float>(std::min(share, MOST_INTENSITY));
        import.lights.push_back(std::move(light.chunk));
    }
    if (!import.lights.empty())
        return true;
    SceneLightChunk fromCamera;
    fromCamera.kind = 1;
    fromCamera.parent = import.camera.parent;
    fromCamera.keys = import.camera.keys;
    fromCamera.endBehaviour = import.camera.endBehaviour;
    import.lights.push_back(fromCamera);
    return true;
}

}  // namespace importer
