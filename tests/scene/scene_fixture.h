// Shared pieces of the scene tests: key and chunk makers, mesh and picture
// files in the test's own directory, loads from exact heap copies (a memory
// checker then sees any read past the end), and an empty handle table.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "scene/scenerecords.h"
#include "scene/vectorhandle.h"
#include "tests/scene/vector_fixture.h"
#include "tools/writers/scenewriter.h"

namespace scene_test {

using mesh_test::Bytes;

// A key of an object, light or camera track placed at (x, y, z).
template <class Key>
Key KeyAt(float frame, float x, float y, float z)
{
    Key key;
    key.frame = frame;
    key.value[KeyChannel::POSITION_X] = x;
    key.value[KeyChannel::POSITION_Y] = y;
    key.value[KeyChannel::POSITION_Z] = z;
    return key;
}

inline ObjectKey ObjectKeyAt(float frame, float x = 0, float y = 0, float z = 0)
{
    return KeyAt<ObjectKey>(frame, x, y, z);
}

inline MotionKey MotionKeyAt(float frame, float x = 0, float y = 0, float z = 0)
{
    return KeyAt<MotionKey>(frame, x, y, z);
}

inline SceneObjectChunk ObjectChunk(const std::string& name, std::int32_t parent = -1, std::int32_t target = -1)
{
    SceneObjectChunk object;
    object.name = name;
    object.parent = parent;
    object.target = target;
    object.keys = {ObjectKeyAt(0)};
    return object;
}

// A mesh object that morphs toward the object at index target.
inline SceneObjectChunk MorphingChunk(const std::string& name, std::int32_t target, float amount = 0.0f)
{
    SceneObjectChunk object = ObjectChunk(name);
    object.morphTarget = target;
    object.morphAmount = amount;
    return object;
}

inline SceneEnvelopeChunk EnvelopeChunk(float value)
{
    SceneEnvelopeChunk envelope;
    envelope.keys.resize(1);
    envelope.keys[0].value[0] = value;
    return envelope;
}

// A mesh of atoms atoms at (i, 2i, 3i), with one cell of one material when
// it has three or more.
inline void PutMesh(const std::string& name, std::uint32_t atoms, std::uint32_t materialFlags = 0)
{
    MeshContent content;
    for (std::uint32_t i = 0; i < atoms; ++i)
        content.vertices.push_back(mesh_test::Vertex(float(i), 2.0f * i, 3.0f * i));
    if (atoms >= 3) {
        content.faces = {mesh_test::Face(0, 1, 2)};
        content.materials = {mesh_test::MaterialRecord(materialFlags)};
        MeshSetName(content.materials[0].colourMapName, "map.tga");
    }
    ASSERT_TRUE(WriteBytesFile(name, MeshEncode(MeshLayout(content))));
}

// A 2 × 2 picture for maps and flares.
inline void PutMap(const std::string& name) { mesh_test::PutPicture(name, 2, 2, Bytes(12, 200)); }

inline bool LoadBytes(Scene& scene, const Bytes& bytes, std::uint32_t flags = 0, Scene* source = nullptr)
{
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return scene.Load(copy.get(), bytes.size(), flags, source);
}

inline bool Load(Scene& scene, const SceneWriter& writer, std::uint32_t flags = 0, Scene* source = nullptr)
{
    return LoadBytes(scene, writer.Bytes(), flags, source);
}

// Every test starts from an empty handle table and a started ordering table.
class SceneTest : public mesh_test::MeshTest {
protected:
    void SetUp() override
    {
        MeshTest::SetUp();
        gVectorHandles.Clear();
        OrderTableStart(gAquarium.orderTable, &terminator_);
    }

    // The table never destroys its meshes (their plugins go with them).
    void TearDown() override
    {
        for (std::uint32_t i = 0; i < gVectorHandles.count; ++i)
            delete gVectorHandles.entries[i].vector;
        gVectorHandles.Clear();
        MeshTest::TearDown();
    }

    PolygonNode terminator_;
};

}  // namespace scene_test
