// The show of the fault tests: every row of the scene table holds a scene of
// six chunks (a mapped wall, a null object, a light, the camera, two
// envelopes) whose wall wears the picture "WALL.TGA", and the track is
// "THEMUSIC.MP3". Any one entry may be stored corrupt (its checksum no longer
// matches its bytes), and row 5's scene may be cut short.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "image/texture.h"
#include "tests/support/short_mp3.h"
#include "tests/support/show_archive.h"
#include "tools/writers/tgawriter.h"

namespace fault_test {

constexpr int PLAYED_SCENE = 5;  // 2.2 s, the shortest of the show
constexpr const char* MESH = "WALL.VOB";
constexpr const char* PICTURE = "WALL.TGA";
constexpr const char* MUSIC = "THEMUSIC.MP3";

inline std::vector<std::uint8_t> MappedWall()
{
    using mesh_test::Face;
    using mesh_test::Vertex;
    MeshContent content;
    content.vertices = {Vertex(-20, -20, 0), Vertex(20, -20, 0), Vertex(20, 20, 0), Vertex(-20, 20, 0)};
    content.faces = {Face(0, 2, 1), Face(0, 3, 2)};
    VECTOR_FILE_Material paint = mesh_test::MaterialRecord(Material::COLOUR_MAP);
    MeshSetName(paint.colourMapName, PICTURE);
    paint.further0 = 1.0f;
    content.materials = {paint};
    return MeshEncode(MeshLayout(content));
}

inline std::vector<std::uint8_t> Picture()
{
    TgaPicture picture;
    picture.width = picture.height = 8;
    picture.pixels.assign(8 * 8 * 3, 0x80);
    return TgaEncode(picture);
}

// The scene and where each of its chunks begins.
struct SixChunkScene {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> chunkStarts;
};

inline SixChunkScene SceneOfSixChunks()
{
    SceneWriter scene;
    SixChunkScene made;
    const auto mark = [&] { made.chunkStarts.push_back(scene.Bytes().size()); };
    SceneObjectChunk wall;
    wall.name = MESH;
    wall.keys.resize(1);
    mark();
    scene.AddObject(wall);
    SceneObjectChunk pivot;
    pivot.name = "PIVOT";
    pivot.keys.resize(1);
    mark();
    scene.AddNull(pivot);
    SceneLightChunk light;
    light.keys.resize(1);
    mark();
    scene.AddLight(light);
    SceneEnvelopeChunk intensity;
    intensity.keys.resize(1);
    intensity.keys[0].value[0] = 1.0f;
    mark();
    scene.AddEnvelope(SceneFormat::TAG_LINT, intensity);
    SceneCameraChunk camera;
    camera.keys.resize(1);
    camera.keys[0].value[KeyChannel::POSITION_Z] = -10.0f;
    mark();
    scene.AddCamera(camera);
    SceneEnvelopeChunk zoom;
    zoom.keys.resize(1);
    zoom.keys[0].value[0] = 3.2f;
    mark();
    scene.AddEnvelope(SceneFormat::TAG_ZOOM, zoom);
    made.bytes = scene.Bytes();
    return made;
}

// Writes "dovra.kzp". corrupt names the entry stored with a wrong checksum
// (none when empty); a playedSceneLength below the scene's size cuts row 5's scene there.
inline void WriteFaultShow(const std::string& corrupt = "", std::size_t playedSceneLength = SIZE_MAX)
{
    PakWriter archive;
    const std::vector<std::uint8_t> scene = SceneOfSixChunks().bytes;
    for (int i = 0; i < SCENE_COUNT; ++i) {
        std::vector<std::uint8_t> bytes = scene;
        if (i == PLAYED_SCENE && playedSceneLength < bytes.size())
            bytes.resize(playedSceneLength);
        ASSERT_TRUE(archive.Add(test_support::UpperCased(SCENE_TABLE[i]), bytes));
    }
    ASSERT_TRUE(archive.Add(MESH, MappedWall()));
    ASSERT_TRUE(archive.Add(PICTURE, Picture()));
    ASSERT_TRUE(archive.Add(MUSIC, test_support::ShortMp3(1)));
    for (PAK_FILE_Entry& entry : archive.Entries()) {
        if (corrupt == entry.name)
            entry.checksum += 1;
    }
    ASSERT_TRUE(archive.Write("dovra.kzp"));
}

}  // namespace fault_test
