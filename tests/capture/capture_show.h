// A show for the capture tests: every row of the scene table holds a wall
// that slides across the view for ten seconds, red in the even rows and green
// in the odd ones, so that the time of a frame and the scene it belongs to
// both show in its pixels. Packed with a track as "dovra.kzp".
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "tests/support/short_mp3.h"
#include "tests/support/show_archive.h"

namespace capture_test {

constexpr float SLIDE_FRAMES = 250.0f;  // scene frames (25 a second) the wall takes to cross
constexpr float SLIDE_EXTENT = 10.0f;   // units either side of the axis
constexpr float CAMERA_DISTANCE = -20.0f;

inline std::vector<std::uint8_t> WallMesh(int colour)
{
    using mesh_test::Face;
    using mesh_test::Vertex;
    MeshContent content;
    content.vertices = {Vertex(-5, -5, 0), Vertex(5, -5, 0), Vertex(5, 5, 0), Vertex(-5, 5, 0)};
    content.faces = {Face(0, 2, 1), Face(0, 3, 2)};
    VECTOR_FILE_Material paint = mesh_test::MaterialRecord(0);
    for (int channel = 0; channel < 3; ++channel)
        paint.colour[channel] = channel == colour ? 1.0f : 0.0f;
    paint.further0 = 1.0f;
    content.materials = {paint};
    return MeshEncode(MeshLayout(content));
}

inline std::vector<std::uint8_t> SlidingWallScene(const char* mesh)
{
    SceneWriter scene;
    SceneObjectChunk wall;
    wall.name = mesh;
    wall.keys.resize(2);
    wall.keys[0].value[KeyChannel::POSITION_X] = -SLIDE_EXTENT;
    wall.keys[1].frame = SLIDE_FRAMES;
    wall.keys[1].linear = 1;
    wall.keys[1].value[KeyChannel::POSITION_X] = SLIDE_EXTENT;
    scene.AddObject(wall);
    SceneCameraChunk camera;
    camera.keys.resize(1);
    camera.keys[0].value[KeyChannel::POSITION_Z] = CAMERA_DISTANCE;
    scene.AddCamera(camera);
    return scene.Bytes();
}

// The track: seconds long enough for any scene the tests capture.
inline const std::vector<std::uint8_t>& Track()
{
    static const std::vector<std::uint8_t> track = test_support::ShortMp3(56);
    return track;
}

inline void WriteCaptureShow(const std::string& path)
{
    PakWriter archive;
    ASSERT_TRUE(archive.Add("RED.VOB", WallMesh(0)));
    ASSERT_TRUE(archive.Add("GREEN.VOB", WallMesh(1)));
    const std::vector<std::uint8_t> scenes[2] = {SlidingWallScene("RED.VOB"), SlidingWallScene("GREEN.VOB")};
    for (int i = 0; i < SCENE_COUNT; ++i)
        ASSERT_TRUE(archive.Add(test_support::UpperCased(SCENE_TABLE[i]), scenes[i % 2]));
    ASSERT_TRUE(archive.Add("THEMUSIC.MP3", Track()));
    ASSERT_TRUE(archive.Write(path));
}

}  // namespace capture_test
