// The vector handle table: private loads, sharing between scenes, freed
// entries and their reuse, failed loads and the bound of 20000 entries. Each
// test starts from an empty table in its own directory of mesh files.
#include "scene/vectorhandle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "host/error.h"
#include "pak/pak.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/meshwriter.h"

namespace {

class VectorHandles : public ::testing::Test {
protected:
    void SetUp() override
    {
        PAK::CloseAll();
        Error::Reset();
        gVectorHandles.Clear();
    }

    // The table never destroys meshes; the test does, once it is done.
    void TearDown() override
    {
        gVectorHandles.Clear();
        for (Vector* const vector : loaded_)
            delete vector;
        Error::Reset();
    }

    // A one-atom mesh file whose atom lies at (x, 0, 0), so that the mesh
    // tells which version of the file it was read from.
    static void WriteMesh(const std::string& path, const float x)
    {
        MeshContent content;
        content.vertices.push_back(VECTOR_FILE_Vertex{x, 0.0f, 0.0f});
        ASSERT_TRUE(WriteBytesFile(path, MeshEncode(MeshLayout(content)))) << Error::Text();
    }

    Vector* Funkyload(const char* name, Scene* scene, const std::uint8_t isPrivate)
    {
        Vector* const vector = VectorHandle::Funkyload(name, scene, isPrivate);
        if (vector != nullptr)
            loaded_.insert(vector);
        return vector;
    }

    static const VectorHandle& Entry(const std::uint32_t index) { return gVectorHandles.entries[index]; }

    test_support::ScratchDirectory directory;
    Scene first;
    Scene second;

private:
    std::set<Vector*> loaded_;
};

// Private loads never share: every load reads the file again into a new entry.

TEST_F(VectorHandles, LoadingTheSameNameTwicePrivatelyReadsTheFileTwiceIntoTwoEntries)
{
    WriteMesh("ship.vob", 1.0f);
    Vector* const a = Funkyload("Ship.vob", &first, 1);
    WriteMesh("ship.vob", 2.0f);
    Vector* const b = Funkyload("ship.VOB", &first, 1);

    ASSERT_NE(a, nullptr) << Error::Text();
    ASSERT_NE(b, nullptr) << Error::Text();
    EXPECT_NE(a, b);
    EXPECT_EQ(a->atoms[0].position[0], 1.0f);
    EXPECT_EQ(b->atoms[0].position[0], 2.0f);
    ASSERT_EQ(gVectorHandles.count, 2u);
    for (std::uint32_t i = 0; i < 2; ++i) {
        EXPECT_STREQ(Entry(i).name, "SHIP.VOB");
        EXPECT_EQ(Entry(i).owner, &first);
        EXPECT_EQ(Entry(i).isPrivate, 1);
    }
    EXPECT_EQ(Entry(0).vector, a);
    EXPECT_EQ(Entry(1).vector, b);
    EXPECT_STREQ(Error::Text(), "");
}

// Shared meshes move from scene to scene; private ones stay where they are.

TEST_F(VectorHandles, TakeHandsOnlySharedMeshesOfOtherScenesToTheTakingScene)
{
    WriteMesh("ship.vob", 1.0f);
    Vector* const a = Funkyload("ship.vob", &first, 1);
    Vector* const b = Funkyload("ship.vob", &first, 1);
    ASSERT_NE(b, nullptr) << Error::Text();

    EXPECT_EQ(VectorHandle::Take("ship.vob", &second), nullptr) << "nothing is shared yet";

    VectorHandle::Share(a);
    EXPECT_EQ(Entry(0).isPrivate, 0);
    EXPECT_EQ(VectorHandle::Take("ship.vob", &first), nullptr) << "a scene cannot take its own mesh";
    EXPECT_EQ(VectorHandle::Take("ship.vob", &second), a);
    EXPECT_EQ(Entry(0).owner, &second);

    EXPECT_EQ(VectorHandle::Take("ship.vob", &second), nullptr) << "the second mesh is still private";
    VectorHandle::Share(b);
    EXPECT_EQ(VectorHandle::Take("sHiP.vob", &second), b);
    EXPECT_EQ(Entry(1).owner, &second);

    EXPECT_EQ(VectorHandle::Take("ship.vob", &first), a) << "shared meshes stay shareable";
    EXPECT_EQ(gVectorHandles.count, 2u);
}

TEST_F(VectorHandles, ASharedLoadHandsOverAMeshAnotherSceneSharesInsteadOfLoading)
{
    WriteMesh("ship.vob", 1.0f);
    Vector* const a = Funkyload("ship.vob", &first, 1);
    ASSERT_NE(a, nullptr) << Error::Text();
    VectorHandle::Share(a);

    EXPECT_EQ(Funkyload("SHIP.VOB", &second, 0), a);
    EXPECT_EQ(Entry(0).owner, &second);
    EXPECT_EQ(gVectorHandles.count, 1u);

    Vector* const own = Funkyload("ship.vob", &second, 0);
    ASSERT_NE(own, nullptr) << "the scene already holds the only shared one, so it loads";
    EXPECT_NE(own, a);
    EXPECT_EQ(gVectorHandles.count, 2u);
    EXPECT_EQ(Entry(1).isPrivate, 0);
}

// Freed entries: reused by the next load, never handed out.

TEST_F(VectorHandles, AReleasedEntryKeepsItsNameAndIsReusedWithoutRaisingTheCount)
{
    WriteMesh("ship.vob", 1.0f);
    WriteMesh("rock.vob", 2.0f);
    Funkyload("ship.vob", &first, 1);
    Vector* const freed = Funkyload("ship.vob", &first, 1);
    Funkyload("ship.vob", &first, 1);
    ASSERT_EQ(gVectorHandles.count, 3u) << Error::Text();

    VectorHandle::Release(freed);
    EXPECT_EQ(Entry(1).vector, nullptr);
    EXPECT_STREQ(Entry(1).name, "SHIP.VOB");
    EXPECT_EQ(Entry(1).owner, &first);
    EXPECT_EQ(gVectorHandles.count, 3u);

    Vector* const rock = Funkyload("rock.vob", &second, 1);
    ASSERT_NE(rock, nullptr) << Error::Text();
    EXPECT_EQ(rock->atoms[0].position[0], 2.0f);
    EXPECT_EQ(Entry(1).vector, rock);
    EXPECT_STREQ(Entry(1).name, "ROCK.VOB");
    EXPECT_EQ(Entry(1).owner, &second);
    EXPECT_EQ(gVectorHandles.count, 3u);
}

TEST_F(VectorHandles, AFreedSharedEntryIsNeverHandedOut)
{
    WriteMesh("ship.vob", 1.0f);
    Vector* const a = Funkyload("ship.vob", &first, 1);
    ASSERT_NE(a, nullptr) << Error::Text();
    VectorHandle::Share(a);
    VectorHandle::Release(a);

    EXPECT_EQ(VectorHandle::Take("ship.vob", &second), nullptr);
    Vector* const loaded = Funkyload("ship.vob", &second, 0);
    ASSERT_NE(loaded, nullptr) << Error::Text();
    EXPECT_NE(loaded, a);
    EXPECT_EQ(Entry(0).vector, loaded);
}

TEST_F(VectorHandles, ReleasingOrSharingNullOrAnUnknownMeshChangesNothing)
{
    WriteMesh("ship.vob", 1.0f);
    Vector* const a = Funkyload("ship.vob", &first, 1);
    ASSERT_NE(a, nullptr) << Error::Text();
    VectorHandle::Release(a);
    Vector stranger;

    VectorHandle::Share(nullptr);
    VectorHandle::Share(&stranger);
    VectorHandle::Release(&stranger);
    VectorHandle::Release(nullptr);

    EXPECT_EQ(Entry(0).isPrivate, 1) << "the freed entry must not be marked through a null mesh";
    EXPECT_EQ(Entry(0).vector, nullptr);
    EXPECT_EQ(gVectorHandles.count, 1u);
}

// Failures are reported, inner message first, and leave the table as it was.

TEST_F(VectorHandles, AMeshThatCannotBeLoadedIsReportedAndTakesNoEntry)
{
    EXPECT_EQ(Funkyload("missing.vob", &first, 1), nullptr);
    EXPECT_EQ(gVectorHandles.count, 0u);
    const std::string text = Error::Text();
    const std::string own = "VectorHandle::Funkyload: Fukc. ( missing.vob )\n";
    ASSERT_GT(text.size(), own.size()) << "Vector::Load reports first";
    EXPECT_EQ(text.substr(text.size() - own.size()), own);
}

TEST_F(VectorHandles, ANameLongerThanAnEntryHoldsIsRefusedWithoutLoading)
{
    const std::string name(VectorHandle::NAME_SIZE, 'a');
    EXPECT_EQ(Funkyload(name.c_str(), &first, 1), nullptr);
    EXPECT_EQ(Error::Text(), "VectorHandle::Funkyload: Fukc. ( " + name + " )\n");
    EXPECT_EQ(VectorHandle::Take(name.c_str(), &second), nullptr);
    EXPECT_EQ(gVectorHandles.count, 0u);
}

// The bound: once 20000 entries were used, no load succeeds, even into a
// freed entry. The first 19999 entries are filled through the global table.

TEST_F(VectorHandles, AfterTwentyThousandEntriesEveryLoadFails)
{
    WriteMesh("ship.vob", 1.0f);
    Vector placeholder;
    const std::uint32_t filled = VectorHandleTable::LIMIT - 1;
    for (std::uint32_t i = 0; i < filled; ++i) {
        gVectorHandles.entries[i].vector = &placeholder;
        gVectorHandles.entries[i].isPrivate = 1;
    }
    gVectorHandles.count = filled;

    Vector* const last = Funkyload("ship.vob", &first, 1);
    ASSERT_NE(last, nullptr) << Error::Text();
    EXPECT_EQ(gVectorHandles.count, VectorHandleTable::LIMIT);

    VectorHandle::Release(last);
    for (const std::uint8_t isPrivate : {1, 0}) {
        Error::Reset();
        EXPECT_EQ(Funkyload("ship.vob", &second, isPrivate), nullptr);
        EXPECT_STREQ(Error::Text(), "VectorHandle::Funkyload: Fukc i fleng og fres. ( ship.vob )\n");
    }
    EXPECT_EQ(gVectorHandles.count, VectorHandleTable::LIMIT);
    EXPECT_EQ(Entry(filled).vector, nullptr);
}

}  // namespace
