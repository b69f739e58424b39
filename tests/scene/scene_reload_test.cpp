// A scene loaded again beside the one that plays, as aqtool preview loads a
// scene whose files changed: the old scene's meshes are withheld, the new
// one loads, and the old one gives back what it held to the handle table
// and the texture list. Nothing it held stays behind, what another scene
// shares stays with that scene, and a changed picture is read afresh.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "image/texture.h"
#include "scene/vector.h"
#include "tests/scene/scene_fixture.h"

namespace {

using scene_test::Bytes;

// What the handle table and the texture list hold: meshes, pictures and
// the pictures' references.
using Held = std::array<std::uint32_t, 3>;

Held WhatIsHeld()
{
    Held held{};
    for (std::uint32_t i = 0; i < gVectorHandles.count; ++i)
        held[0] += gVectorHandles.entries[i].vector != nullptr ? 1 : 0;
    for (const Texture* record = Texture::First(); record != nullptr; record = record->next) {
        ++held[1];
        held[2] += record->references;
    }
    return held;
}

void PutMap(std::uint8_t grey) { mesh_test::PutPicture("map.tga", 2, 2, Bytes(12, grey)); }

// The played scene shows two mapped meshes and a null object; the other
// scene, loaded first, shows one of the meshes too.
class SceneReload : public scene_test::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        scene_test::PutMesh("a.vob", 3, Material::COLOUR_MAP);
        scene_test::PutMesh("b.vob", 3, Material::COLOUR_MAP);
        PutMap(0x20);
        SceneWriter played;
        played.AddObject(scene_test::ObjectChunk("a.vob"));
        played.AddObject(scene_test::ObjectChunk("b.vob"));
        played.AddNull(scene_test::ObjectChunk("pivot"));
        ASSERT_TRUE(WriteBytesFile("played.scn", played.Bytes()));
        SceneWriter other;
        other.AddObject(scene_test::ObjectChunk("a.vob"));
        ASSERT_TRUE(WriteBytesFile("other.scn", other.Bytes()));
        ASSERT_TRUE(other_.LoadFile("other.scn", 0)) << Error::Text();
        played_ = Load();
        ASSERT_EQ(played_->objects[0].vector, other_.objects[0].vector) << "the scenes share the mesh";
    }

    void TearDown() override
    {
        VectorHandle::GiveBack(*played_);
        VectorHandle::GiveBack(other_);
        SceneTest::TearDown();
    }

    static std::unique_ptr<Scene> Load()
    {
        auto scene = std::make_unique<Scene>();
        EXPECT_TRUE(scene->LoadFile("played.scn", 0)) << Error::Text();
        return scene;
    }

    void Replace()
    {
        for (std::uint32_t i = 0; i < played_->objectCount; ++i)
            VectorHandle::Withhold(played_->objects[i].vector);
        std::unique_ptr<Scene> fresh = Load();
        VectorHandle::GiveBack(*played_);
        played_ = std::move(fresh);
    }

    static const Texture* MapOf(const Scene& scene, std::uint32_t object)
    {
        return scene.objects[object].vector->materials[0].colourMap;
    }

    Scene other_;
    std::unique_ptr<Scene> played_;
};

// The first reload reads the shared mesh again (the other scene's copy is
// withheld with the old scene's); from then on every reload holds as much.
TEST_F(SceneReload, AgainAndAgainItHoldsWhatItsFirstReloadHeldAndNothingOnceGivenBack)
{
    EXPECT_EQ(WhatIsHeld(), (Held{2, 1, 2}));
    const Vector* const shared = other_.objects[0].vector;
    Replace();
    EXPECT_EQ(WhatIsHeld(), (Held{3, 1, 3}));
    for (int i = 0; i < 4; ++i)
        Replace();
    EXPECT_EQ(WhatIsHeld(), (Held{3, 1, 3}));
    EXPECT_EQ(other_.objects[0].vector, shared);
    EXPECT_EQ(other_.objects[0].vector->atoms[1].position[1], 2.0f) << "the other scene's mesh is whole";

    VectorHandle::GiveBack(*played_);
    VectorHandle::GiveBack(other_);
    EXPECT_EQ(WhatIsHeld(), (Held{0, 0, 0}));
    EXPECT_EQ(played_->objects[2].vector->type, NULL_OBJECT_TYPE) << "the null object stays the scene's";
}

TEST_F(SceneReload, AChangedPictureIsReadAfreshAndTheOldOneGoesWithItsLastHolder)
{
    const Texture* const old = MapOf(*played_, 1);
    PutMap(0x80);
    Texture::Retire("MAP.TGA");
    Replace();

    const Texture* const fresh = MapOf(*played_, 1);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(fresh->pixels[0], 0x80);
    EXPECT_EQ(MapOf(*played_, 0), fresh);
    EXPECT_EQ(MapOf(other_, 0), old) << "the other scene keeps the picture it shows";
    EXPECT_EQ(old->pixels[0], 0x20);
    VectorHandle::GiveBack(other_);
    EXPECT_EQ(Texture::First(), fresh);
    EXPECT_EQ(fresh->next, nullptr);
}

}  // namespace
