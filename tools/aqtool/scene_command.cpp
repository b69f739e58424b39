// aqtool scene: shows a data maker what one frame of the demo makes of a scene
// file, without a window: the scene loaded as the demo loads it, animated at
// a chosen frame, its light list's plugins run, printed as one JSON object.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/aquarium.h"
#include "host/mainloop.h"
#include "host/ordertable.h"
#include "render/animation.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/json_output.h"

namespace aqtool {

namespace {

constexpr std::int32_t DEMO_WIDTH = 640;
constexpr std::int32_t DEMO_HEIGHT = 480;
constexpr std::uint32_t DEMO_LOAD_FLAGS = 0;  // a full load, as the demo's start-up makes it
constexpr int MATRIX_SIZE = 16;

// The whole of text as a finite float of 0 or more: the frames a scene
// plays (the matrix caches start at negative frames, which never play).
bool ParseFrame(const char* text, float& frame)
{
    char* end = nullptr;
    errno = 0;
    frame = std::strtof(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(frame) && frame >= 0.0f;
}

Json MatrixValue(const Matrix& matrix) { return FloatArray(matrix.m, MATRIX_SIZE); }

Json ObjectValue(const SceneObject& object)
{
    const Vector* const vector = object.vector;
    Json value = {{"name", static_cast<const char*>(object.name)}};
    if (vector != nullptr) {
        value["type"] = static_cast<int>(vector->type);
        value["static"] = static_cast<unsigned>(vector->isStatic);
    }
    value["deformed"] = static_cast<unsigned>(object.deformed);
    value["world"] = MatrixValue(object.worldMatrix);
    if (vector != nullptr)
        value["model_view"] = MatrixValue(vector->matrix);
    return value;
}

Json LightValue(const SceneLight& record)
{
    const Light& light = *record.light;
    const float direction[] = {light.directionX, light.directionY, light.directionZ};
    return {{"kind", static_cast<int>(light.type)},
            {"static", static_cast<unsigned>(light.isStatic)},
            {"world", MatrixValue(record.matrix)},
            {"matrix", MatrixValue(light.matrix)},
            {"intensity", FloatValue(light.intensity)},
            {"range", FloatValue(light.range)},
            {"falloff", FloatValue(light.falloff)},
            {"inner_cone", FloatValue(light.innerConeCosine)},
            {"outer_cone", FloatValue(light.outerConeCosine)},
            {"direction", FloatArray(direction, 3)}};
}

// The value an envelope wrote; null for one that drives nothing.
Json EnvelopeValue(const SceneEnvelope& envelope)
{
    if (envelope.target == nullptr)
        return nullptr;
    return FloatValue(*envelope.target);
}

Json SceneValue(const Scene& scene)
{
    return {{"frame", FloatValue(scene.currentFrame)},
            {"x_scale", FloatValue(gAquarium.xScale)},
            {"y_scale", FloatValue(gAquarium.yScale)},
            {"objects", ArrayOf(scene.objects, scene.objectCount, ObjectValue)},
            {"lights", ArrayOf(scene.lights, scene.lightCount, LightValue)},
            {"camera", {{"view", MatrixValue(scene.camera->matrix)}, {"zoom", FloatValue(scene.camera->zoom)}}},
            {"envelopes", ArrayOf(scene.envelopes, scene.envelopeCount, EnvelopeValue)}};
}

// What a frame of the demo runs before its meshes: the scene's animation,
// then the plugins of its light list, as the plugin runner calls them.
void RunFrame(Scene& scene, const float frame, PolygonNode& terminator)
{
    OrderTableStart(gAquarium.orderTable, &terminator);
    AnimateScene(scene, frame);
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        Light* const light = scene.lights[i].light;
        if (light != nullptr && light->active)
            RunPlugins(light);
    }
}

}  // namespace

int ShowScene(char* const* arguments)
{
    const std::string name = DemoName(arguments[0]);
    float frame = 0.0f;
    if (!ParseFrame(arguments[1], frame)) {
        std::fprintf(stderr, "aqtool scene: FRAME is not a number of 0 or more: %s\n", arguments[1]);
        return EXIT_USAGE;
    }
    if (!OpenDemoArchive())
        return Fail();
    gAquarium.width = DEMO_WIDTH;
    gAquarium.height = DEMO_HEIGHT;
    gAquarium.SetViewFromSize();
    Scene scene;
    if (!scene.LoadFile(name.c_str(), DEMO_LOAD_FLAGS))
        return Fail();
    PolygonNode terminator;
    RunFrame(scene, frame, terminator);
    return PrintJson(SceneValue(scene)) ? EXIT_OK : EXIT_FAILED;
}

}  // namespace aqtool
