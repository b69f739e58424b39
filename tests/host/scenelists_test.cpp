// One scene made ready to play: its object list in frame order (fade or
// clear first, the meshes in record order, the Timeline's carrier last), its
// light list, and a scene that cannot load ending with the loader's message.
#include "host/scenelists.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/error.h"
#include "host/systemobjects.h"
#include "image/screenshot.h"
#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

class SceneListsTest : public SceneTest {
protected:
    // A mesh object, a null object and a light, as a scene file on the disk.
    void PutScene(const char* name)
    {
        PutMesh("ship.vob", 3);
        SceneWriter writer;
        writer.AddObject(ObjectChunk("ship.vob"));
        writer.AddNull(ObjectChunk("pivot"));
        SceneLightChunk light;
        light.keys = {MotionKeyAt(0)};
        writer.AddLight(light);
        ASSERT_TRUE(writer.Write(name));
    }

    static std::vector<Fish*> Items(const Fishes& list)
    {
        return std::vector<Fish*>(list.items, list.items + list.count);
    }

    Scene scene_;
    Fishes objects_;
    Fishes lights_;
};

TEST_F(SceneListsTest, AFrameRunsInItsOrderWithTheMeshesInRecordOrder)
{
    PutScene("cut.scn");
    ASSERT_TRUE(Demo::LoadScene(&scene_, "cut.scn", false, objects_, lights_)) << Error::Text();
    const std::vector<Fish*> expected = {
        &gClearScreen, &gOrderTableReset, &scene_, &gPluginRunner,
        scene_.objects[0].vector, scene_.objects[1].vector,
        &gOrderTableSort, &gOrderTableDraw, &gScreenshot, &gBufferSwap,
        &gClock, &gEscapeKey, &gMessagePump, &gTimelineCarrier};
    EXPECT_EQ(Items(objects_), expected);
    EXPECT_EQ(objects_.items[objects_.count], nullptr);
    EXPECT_EQ(Items(lights_), std::vector<Fish*>{scene_.lights[0].light});
}

TEST_F(SceneListsTest, TheFirstSceneFadesInsteadOfClearing)
{
    PutScene("cut.scn");
    ASSERT_TRUE(Demo::LoadScene(&scene_, "cut.scn", true, objects_, lights_)) << Error::Text();
    EXPECT_EQ(objects_.items[0], &gFadeScreen);
    EXPECT_EQ(objects_.count, 14u);
}

TEST_F(SceneListsTest, AMissingSceneFileFailsWithTheLoadersMessage)
{
    EXPECT_FALSE(Demo::LoadScene(&scene_, "data\\gone.scn", false, objects_, lights_));
    EXPECT_STREQ(Error::Text(), "PAK::ReadFile: File not found. (data\\gone.scn)\n"
                                "Scene::Load: Error reading .scn-file. ( data\\gone.scn )\n");
    EXPECT_EQ(objects_.count, 0u);
}

}  // namespace
