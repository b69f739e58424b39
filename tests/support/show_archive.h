// A small show for tests that run the whole demo: one scene file stored under
// every path of the scene table (a red wall filling the view of a camera that
// looks at it), and a track as "themusic.mp3", packed as "dovra.kzp".
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "platform/uppercase.h"
#include "tests/scene/vector_fixture.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/pakwriter.h"
#include "tools/writers/scenewriter.h"

namespace test_support {

// A 40 x 40 wall at z = 0 facing -z, lit by its own ambient value alone.
inline std::vector<std::uint8_t> RedWallMesh()
{
    using mesh_test::Face;
    using mesh_test::Vertex;
    MeshContent content;
    content.vertices = {Vertex(-20, -20, 0), Vertex(20, -20, 0), Vertex(20, 20, 0), Vertex(-20, 20, 0)};
    content.faces = {Face(0, 2, 1), Face(0, 3, 2)};
    VECTOR_FILE_Material red = mesh_test::MaterialRecord(0);
    red.colour[1] = red.colour[2] = 0.0f;
    red.further0 = 1.0f;
    content.materials = {red};
    return MeshEncode(MeshLayout(content));
}

// The camera ten units before the wall, looking at it.
inline std::vector<std::uint8_t> WallScene()
{
    SceneWriter scene;
    SceneObjectChunk wall;
    wall.name = "WALL.VOB";
    wall.keys.resize(1);
    scene.AddObject(wall);
    SceneCameraChunk camera;
    camera.keys.resize(1);
    camera.keys[0].value[KeyChannel::POSITION_Z] = -10.0f;
    scene.AddCamera(camera);
    return scene.Bytes();
}

inline std::string UpperCased(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), platform::UpperCaseAscii);
    return name;
}

inline void WriteShowArchive(const std::string& path, const std::vector<std::uint8_t>& track)
{
    PakWriter archive;
    ASSERT_TRUE(archive.Add("WALL.VOB", RedWallMesh()));
    const std::vector<std::uint8_t> scene = WallScene();
    for (const char* scenePath : SCENE_TABLE)
        ASSERT_TRUE(archive.Add(UpperCased(scenePath), scene));
    ASSERT_TRUE(archive.Add("THEMUSIC.MP3", track));
    ASSERT_TRUE(archive.Write(path));
}

}  // namespace test_support
