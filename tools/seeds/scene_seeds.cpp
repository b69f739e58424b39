// Writes the seed corpus of the scene fuzzer into the directory its argument
// names: sound scenes that between them use every chunk kind, every link and
// every plugin, naming the files of fuzz/scene_corpus.h.
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/scene_corpus.h"
#include "tools/writers/scenewriter.h"

namespace {

ObjectKey Key(float frame, float x, float y, float z, float scale = 1.0f)
{
    ObjectKey key;
    key.frame = frame;
    key.tension = 0.25f;
    key.value[KeyChannel::POSITION_X] = x;
    key.value[KeyChannel::POSITION_Y] = y;
    key.value[KeyChannel::POSITION_Z] = z;
    key.value[KeyChannel::BANK] = 0.5f * frame;
    key.value[KeyChannel::SCALE_X] = scale;
    return key;
}

template <class Motion>
std::vector<Motion> MotionKeys()
{
    std::vector<Motion> keys(3);
    for (int i = 0; i < 3; ++i) {
        keys[i].frame = 10.0f * i;
        keys[i].linear = i == 2 ? 1 : 0;
        keys[i].value[0] = float(i);
        keys[i].value[2] = -20.0f + i;
    }
    return keys;
}

SceneEnvelopeChunk Envelope(float from, float to)
{
    SceneEnvelopeChunk envelope;
    envelope.endBehaviour = END_REPEAT;
    envelope.keys.resize(2);
    envelope.keys[0].value[0] = from;
    envelope.keys[1].frame = 20.0f;
    envelope.keys[1].value[0] = to;
    return envelope;
}

SceneObjectChunk Object(const char* name, std::int32_t parent, std::int32_t target)
{
    SceneObjectChunk object;
    object.name = name;
    object.parent = parent;
    object.target = target;
    object.keys = {Key(0, 0, 0, 5), Key(15, 2, 1, 8, 1.5f), Key(30, -1, 0, 6)};
    object.endBehaviour = END_HOLD;
    return object;
}

SceneFlareChunk Flare(std::uint32_t kind, std::uint32_t flags, float trail, float perFrame)
{
    SceneFlareChunk flare;
    flare.kind = kind;
    flare.flags = flags;
    flare.size = 2.0f;
    flare.trailLength = trail;
    flare.spritesPerFrame = perFrame;
    flare.textureName = scene_corpus::PICTURE;
    return flare;
}

// Every chunk kind: a morphing mesh and its target, a dissolving null
// object, the three flares, a spot light with its four envelopes, a camera
// with a target and its zoom, and a tag no loader knows.
SceneWriter Everything()
{
    SceneWriter writer;
    SceneObjectChunk morphing = Object(scene_corpus::MESH_A, -1, -1);
    morphing.morphTarget = 1;
    morphing.pivot[1] = 0.5f;
    writer.AddObject(morphing);
    writer.AddEnvelope(SceneFormat::TAG_MORP, Envelope(0.0f, 1.0f));
    writer.AddObject(Object(scene_corpus::MESH_B, 0, -1));
    writer.AddObjectFlare(Flare(2, 0, 4.0f, 2.0f));
    SceneObjectChunk null = Object("null", 1, 0);
    null.pathLookAhead = 0;
    writer.AddNull(null);
    writer.AddEnvelope(SceneFormat::TAG_ODIS, Envelope(0.0f, 1.0f));
    writer.AddObjectFlare(Flare(0, 0x06, 0.0f, 0.0f));
    SceneLightChunk light;
    light.kind = 3;
    light.parent = 2;
    light.target = 0;
    light.coneAngle = 0.8f;
    light.edgeAngle = 0.1f;
    light.keys = MotionKeys<MotionKey>();
    writer.AddLight(light);
    for (const std::uint32_t tag : {SceneFormat::TAG_LINT, SceneFormat::TAG_LRNG, SceneFormat::TAG_LCON,
                                    SceneFormat::TAG_LEDG})
        writer.AddEnvelope(tag, Envelope(0.5f, 2.0f));
    writer.AddLightFlare(Flare(0, 0, 1.0f, 1.0f));
    SceneCameraChunk camera;
    camera.target = 1;
    camera.keys = MotionKeys<MotionKey>();
    writer.AddCamera(camera);
    writer.AddEnvelope(SceneFormat::TAG_ZOOM, Envelope(3.2f, 6.4f));
    writer.AddChunk(PAK_Tag("NOTE"), {1, 2, 3, 4});
    return writer;
}

// Plain meshes under a moving null object, looking along their paths, and
// a camera with a parent and a look-ahead: the paths that sharing and the
// hierarchy take.
SceneWriter Hierarchy()
{
    SceneWriter writer;
    writer.AddNull(Object("root", -1, -1));
    SceneObjectChunk walker = Object(scene_corpus::MESH_A, 0, -1);
    walker.pathLookAhead = 3;
    writer.AddObject(walker);
    writer.AddObject(Object(scene_corpus::MESH_C, 1, -1));
    SceneLightChunk light;
    light.kind = 1;
    light.parent = 1;
    light.keys = {MotionKey{}};
    writer.AddLight(light);
    SceneCameraChunk camera;
    camera.parent = 0;
    camera.pathLookAhead = 2;
    camera.keys = MotionKeys<MotionKey>();
    writer.AddCamera(camera);
    return writer;
}

// The hierarchy with a light whose range is no number and a camera key
// that is infinite: both refused by the loader.
SceneWriter NotFinite()
{
    SceneWriter writer = Hierarchy();
    SceneLightChunk light;
    light.range = std::numeric_limits<float>::quiet_NaN();
    light.keys = {MotionKey{}};
    writer.AddLight(light);
    SceneCameraChunk camera;
    camera.keys = MotionKeys<MotionKey>();
    camera.keys[1].value[1] = -std::numeric_limits<float>::infinity();
    writer.AddCamera(camera);
    return writer;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: scene_seeds DIR\n", stderr);
        return 2;
    }
    const std::string directory = argv[1];
    const SceneWriter seeds[] = {SceneWriter(), Everything(), Hierarchy(), NotFinite()};
    for (std::size_t i = 0; i < sizeof seeds / sizeof seeds[0]; ++i) {
        if (!seeds[i].Write(directory + "/seed" + std::to_string(i) + ".scn")) {
            std::fputs("scene_seeds: cannot write the seeds\n", stderr);
            return 1;
        }
    }
    return 0;
}
