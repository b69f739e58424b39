// The first interlude's panels show the race: each panel's picture in the
// build's archive is, within what JPEG keeps, the frame of the earlier scene
// it names, drawn now from the same archive by the demo's own renderer, and
// far from the frames of the other panels' scenes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/timeline.h"
#include "image/texture.h"
#include "tests/datagen/show_demo.h"
#include "tools/aqtool/render_frame.h"
#include "tools/datagen/show/interlude.h"

namespace {

constexpr double LIKE = 12.0;     // mean difference of a channel, out of 255, that JPEG may leave
constexpr double UNLIKE = 25.0;

// Mean difference of the channels of a picture of the texture's size and the texture.
double Difference(const Picture& picture, const Texture& texture)
{
    double sum = 0.0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* const p = texture.pixels + (static_cast<std::size_t>(y) * texture.width + x) * 4;
            const Colour& c = picture.At(x, y);
            sum += std::fabs(c.b * 255.0 - p[0]) + std::fabs(c.g * 255.0 - p[1]) + std::fabs(c.r * 255.0 - p[2]);
        }
    }
    return sum / (3.0 * picture.width * picture.height);
}

TEST(Interlude, EachPanelShowsTheFrameOfTheEarlierSceneItNames)
{
    show_test::PrepareDemo();
    const std::vector<Snapshot>& snapshots = Interlude::PanelSnapshots();
    std::vector<Picture> frames;
    std::vector<std::uint8_t> frame(aqtool::FrameBufferSize());
    for (const Snapshot& snapshot : snapshots) {
        ASSERT_LT(snapshot.scene, Interlude::SCENE);
        aqtool::SceneFrames scene;
        ASSERT_TRUE(scene.Load(SCENE_TABLE[snapshot.scene]) && scene.Render(SnapshotTime(snapshot), frame.data()))
            << Error::Text();
        frames.push_back(SquarePicture(frame.data(), gAquarium.width, gAquarium.height, Interlude::PICTURE_SIDE));
    }
    for (std::size_t i = 0; i < snapshots.size(); ++i) {
        const std::string name = Interlude::PanelPicture(static_cast<int>(i));
        Texture* const picture = Texture::Load(name.c_str(), Texture::USE_COLOUR_MAP);
        ASSERT_NE(picture, nullptr) << Error::Text();
        ASSERT_EQ(picture->width, Interlude::PICTURE_SIDE);
        ASSERT_EQ(picture->height, Interlude::PICTURE_SIDE);
        for (std::size_t j = 0; j < snapshots.size(); ++j) {
            const double difference = Difference(frames[j], *picture);
            if (i == j)
                EXPECT_LT(difference, LIKE) << "panel " << i << " and the frame of scene " << snapshots[j].scene;
            else
                EXPECT_GT(difference, UNLIKE) << "panel " << i << " and the frame of scene " << snapshots[j].scene;
        }
        Texture::Release(picture->FirstField());
    }
}

}  // namespace
