// aqtool scene: one frame of a scene as the demo computes it before drawing,
// printed as one JSON object whose floats read back exactly; bad scenes and
// frames fail with a message and a status, never a signal.
#include <gtest/gtest.h>

#include "tests/scene/scene_fixture.h"
#include "tests/support/aqtool_run.h"

namespace {

using namespace scene_test;
using test_support::Aqtool;
using test_support::AqtoolOutcome;

class SceneCommand : public ::testing::Test {
protected:
    test_support::ScratchDirectory scratch_;
};

TEST_F(SceneCommand, PrintsTheAnimatedFrameWithTheLightListsWork)
{
    SceneWriter writer;
    SceneObjectChunk null = ObjectChunk("Null \"one\"");
    null.keys = {ObjectKeyAt(0, 1, 2, 3)};
    writer.AddNull(null);
    SceneLightChunk light;
    light.kind = 1;
    light.range = 4;
    light.keys = {MotionKeyAt(0, 0, 0, 1)};
    writer.AddLight(light);
    writer.AddEnvelope(SceneFormat::TAG_LINT, EnvelopeChunk(0.5f));
    SceneCameraChunk camera;
    camera.zoom = 6.4f;
    camera.keys = {MotionKeyAt(0, 0, 0, -10)};
    writer.AddCamera(camera);
    ASSERT_TRUE(writer.Write("s.scn"));
    const AqtoolOutcome outcome = Aqtool({"scene", "s.scn", "2.5"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // The falloff is the envelope's intensity over the range: the envelope
    // ran before the light's plugins.
    EXPECT_EQ(outcome.out,
              "{\"frame\": 2.5, \"x_scale\": 1536, \"y_scale\": -1536, \"objects\": [{\"name\": \"Null \\\"one\\\"\", "
              "\"type\": 16, \"static\": 1, \"deformed\": 1, \"world\": [1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1], "
              "\"model_view\": [1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 13, 0, 0, 0, 1]}], \"lights\": [{\"kind\": 1, "
              "\"static\": 1, \"world\": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1], \"matrix\": [1, 0, 0, 0, 0, "
              "1, 0, 0, 0, 0, 1, 11, 0, 0, 0, 1], \"intensity\": 0.5, \"range\": 4, \"falloff\": 0.125, \"inner_cone\": "
              "1, \"outer_cone\": 1, \"direction\": [-0, -0, -1]}], \"camera\": {\"view\": [1, 0, 0, 0, 0, 1, 0, 0, 0, "
              "0, 1, 10, 0, 0, 0, 1], \"zoom\": 6.4000001}, \"envelopes\": [0.5]}\n");
}

TEST_F(SceneCommand, FailsWithAMessageOnBadScenesAndFrames)
{
    SceneWriter writer;
    writer.AddNull(ObjectChunk("loop", 0));
    ASSERT_TRUE(writer.Write("loop.scn"));
    const struct {
        const char* name;
        const char* frame;
        int status;
        const char* message;
    } cases[] = {
        {"missing.scn", "1", 1, "Scene::Load: Error reading .scn-file. ( missing.scn )\n"},
        {"loop.scn", "1", 1, "Scene::Load: Parent or target links form a cycle.\n"},
        {"loop.scn", "soon", 2, "FRAME is not a number"},
        {"loop.scn", "-1", 2, "FRAME is not a number of 0 or more"},
    };
    for (const auto& c : cases) {
        const AqtoolOutcome outcome = Aqtool({"scene", c.name, c.frame});
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out, "");
    }
}

}  // namespace
