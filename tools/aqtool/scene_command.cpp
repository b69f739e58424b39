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

void PrintMatrix(const char* key, const Matrix& matrix)
{
    std::printf(", \"%s\": ", key);
    PrintFloats(matrix.m, MATRIX_SIZE);
}

void PrintObject(const SceneObject& object)
{
    const Vector* const vector = object.vector;
    std::fputs("{\"name\": ", stdout);
    PrintString(object.name);
    if (vector != nullptr)
        std::printf(", \"type\": %d, \"static\": %u", static_cast<int>(vector->type),
                    static_cast<unsigned>(vector->isStatic));
    std::printf(", \"deformed\": %u", static_cast<unsigned>(object.deformed));
    PrintMatrix("world", object.worldMatrix);
    if (vector != nullptr)
        PrintMatrix("model_view", vector->matrix);
    std::fputc('}', stdout);
}

void PrintNamedFloat(const char* key, const float value)
{
    std::printf(", \"%s\": ", key);
    PrintFloat(value);
}

void PrintLight(const SceneLight& record)
{
    const Light& light = *record.light;
    std::printf("{\"kind\": %d, \"static\": %u", static_cast<int>(light.type), static_cast<unsigned>(light.isStatic));
    PrintMatrix("world", record.matrix);
    PrintMatrix("matrix", light.matrix);
    PrintNamedFloat("intensity", light.intensity);
    PrintNamedFloat("range", light.range);
    PrintNamedFloat("falloff", light.falloff);
    PrintNamedFloat("inner_cone", light.innerConeCosine);
    PrintNamedFloat("outer_cone", light.outerConeCosine);
    const float direction[] = {light.directionX, light.directionY, light.directionZ};
    std::fputs(", \"direction\": ", stdout);
    PrintFloats(direction, 3);
    std::fputc('}', stdout);
}

// The value an envelope wrote; null for one that drives nothing.
void PrintValue(const SceneEnvelope& envelope)
{
    if (envelope.target != nullptr)
        PrintFloat(*envelope.target);
    else
        std::fputs("null", stdout);
}

void PrintScene(const Scene& scene)
{
    std::fputs("{\"frame\": ", stdout);
    PrintFloat(scene.currentFrame);
    PrintNamedFloat("x_scale", gAquarium.xScale);
    PrintNamedFloat("y_scale", gAquarium.yScale);
    std::fputs(", \"objects\": ", stdout);
    PrintEach(scene.objects, scene.objectCount, PrintObject);
    std::fputs(", \"lights\": ", stdout);
    PrintEach(scene.lights, scene.lightCount, PrintLight);
    std::fputs(", \"camera\": {\"view\": ", stdout);
    PrintFloats(scene.camera->matrix.m, MATRIX_SIZE);
    PrintNamedFloat("zoom", scene.camera->zoom);
    std::fputs("}, \"envelopes\": ", stdout);
    PrintEach(scene.envelopes, scene.envelopeCount, PrintValue);
    std::fputs("}\n", stdout);
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
    PrintScene(scene);
    return std::fflush(stdout) == 0 ? EXIT_OK : EXIT_FAILED;
}

}  // namespace aqtool
