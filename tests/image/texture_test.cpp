// Textures: sharing by upper-cased name and use, the 15-, 16- and 24-bit
// conversions, failed pictures never handed out, uploads through a recording
// GL library, release by reference count, and the material map checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/error.h"
#include "host/opengllib.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/tgawriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Each test runs in an empty directory of its own with a recording GL
// library loaded, and releases every texture it made.
class TextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        PAK::CloseAll();
        platform::FakeGLReset();
        scoped_.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        scoped_.fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
    }

    void TearDown() override
    {
        while (Texture::First() != nullptr)
            Texture::Release(Texture::First()->FirstField());
        OpenGLLib::Free();
    }

    // Writes an uncompressed top-first picture of the given depth.
    static void Put(const std::string& name, std::uint8_t bits, std::uint16_t width,
                    std::uint16_t height, const Bytes& pixels)
    {
        TgaPicture picture;
        picture.bits = bits;
        picture.width = width;
        picture.height = height;
        picture.topFirst = true;
        picture.pixels = pixels;
        ASSERT_TRUE(WriteBytesFile(name, TgaEncode(picture)));
    }

    static Bytes PixelsOf(const Texture* texture)
    {
        return Bytes(texture->pixels, texture->pixels + texture->width * texture->height * 4);
    }

    test_support::ScratchDirectory scratch_;
    platform::ScopedFakeBackend scoped_;
};

TEST_F(TextureTest, OneRecordPerUpperCasedNameAndUse)
{
    Put("wall.tga", 24, 1, 1, {1, 2, 3});
    Texture* lower = Texture::Load("wall.tga", Texture::USE_COLOUR_MAP);
    ASSERT_NE(lower, nullptr) << Error::Text();
    Texture* upper = Texture::Load("WALL.TGA", Texture::USE_COLOUR_MAP);
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(lower->references, 2u);
    EXPECT_STREQ(lower->name, "WALL.TGA");
    Texture* bump = Texture::Load("Wall.Tga", Texture::USE_BUMP_SOURCE);
    ASSERT_NE(bump, nullptr);
    EXPECT_NE(bump, lower) << "a bump source is rewritten in place, so it is kept apart";
    EXPECT_EQ(bump->references, 1u);
    EXPECT_EQ(Texture::First(), lower);
    EXPECT_EQ(lower->next, bump) << "records are appended at the tail";
}

TEST_F(TextureTest, PicturesBecome32BitBlueGreenRedWithOpaqueAlpha)
{
    Put("c15.tga", 15, 2, 1, {0xFF, 0x7F, 0x1F, 0x00});
    Put("c16.tga", 16, 2, 1, {0x00, 0xF8, 0xE0, 0x07});
    Put("c24.tga", 24, 1, 1, {10, 20, 30});
    const Texture* t15 = Texture::Load("c15.tga", 0);
    const Texture* t16 = Texture::Load("c16.tga", 0);
    const Texture* t24 = Texture::Load("c24.tga", 0);
    ASSERT_TRUE(t15 && t16 && t24) << Error::Text();
    EXPECT_EQ(PixelsOf(t15), (Bytes{248, 248, 248, 255, 248, 0, 0, 255}));
    EXPECT_EQ(PixelsOf(t16), (Bytes{0, 0, 248, 255, 0, 252, 0, 255}));
    EXPECT_EQ(PixelsOf(t24), (Bytes{10, 20, 30, 255}));
    EXPECT_EQ(t15->bits, 32);
}

TEST_F(TextureTest, OnlyTgaAndJpgEndingsAreLoaded)
{
    EXPECT_EQ(Texture::Load("photo.jpeg", 0), nullptr);
    EXPECT_STREQ(Error::Text(), "Texture::Load: Picture type not supported ( photo.jpeg )\n");
}

TEST_F(TextureTest, ANameTooLongForTheRecordIsRefusedWhole)
{
    // Cut to 1023 characters it would end in ".TG" and name another picture.
    const std::string name = std::string(1020, 'a') + ".tga";
    EXPECT_EQ(Texture::Load(name.c_str(), 0), nullptr);
    EXPECT_EQ(std::string(Error::Text()), "Texture::Load: Filename too long. ( " + name + " )\n");
    EXPECT_EQ(Texture::First(), nullptr) << "no record is made";
}

TEST_F(TextureTest, AFailedPictureIsNeverHandedOutAndIsTriedAgain)
{
    EXPECT_EQ(Texture::Load("late.tga", 0), nullptr);
    EXPECT_NE(std::string(Error::Text()).find("Texture::Load: Error loading picture. ( late.tga)\n"),
              std::string::npos)
        << Error::Text();
    ASSERT_NE(Texture::First(), nullptr) << "the record stays in the list without pixels";
    EXPECT_EQ(Texture::First()->pixels, nullptr);
    EXPECT_FALSE(Texture::First()->Upload()) << "no picture ever reaches OpenGL";
    EXPECT_TRUE(platform::FakeGLCalls().empty());

    Put("late.tga", 24, 1, 1, {1, 2, 3});
    Texture* later = Texture::Load("LATE.TGA", 0);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later, Texture::First());
    EXPECT_EQ(later->references, 1u) << "the failed request holds nothing";
}

// A tool that loads a changed picture again retires the old records: later
// loads read the file afresh, holders keep what they hold, and a record
// nobody holds (a failed load) goes at once.
TEST_F(TextureTest, ARetiredPictureIsReadAfreshWhileItsHoldersKeepTheOldOne)
{
    Put("wall.tga", 24, 1, 1, {1, 2, 3});
    Texture* const old = Texture::Load("wall.tga", Texture::USE_COLOUR_MAP);
    ASSERT_NE(old, nullptr) << Error::Text();
    EXPECT_EQ(Texture::Load("gone.tga", Texture::USE_COLOUR_MAP), nullptr);
    Put("wall.tga", 24, 1, 1, {4, 5, 6});

    Texture::Retire("WALL.TGA");
    Texture::Retire("gone.tga");
    Texture* const fresh = Texture::Load("Wall.tga", Texture::USE_COLOUR_MAP);

    ASSERT_NE(fresh, nullptr) << Error::Text();
    EXPECT_NE(fresh, old);
    EXPECT_EQ(PixelsOf(fresh), (Bytes{4, 5, 6, 255}));
    EXPECT_EQ(PixelsOf(old), (Bytes{1, 2, 3, 255})) << "the holder's record is untouched";
    EXPECT_EQ(Texture::First(), old);
    EXPECT_EQ(old->next, fresh) << "the failed record went, the fresh one follows the old";
    EXPECT_EQ(fresh->next, nullptr);
    Texture::Release(old->FirstField());
    EXPECT_EQ(Texture::First(), fresh) << "the retired record goes with its last holder";
}

TEST_F(TextureTest, UploadTakesTheSmallestFreeNamesOnceAndReleaseDeletesAtTheLastReference)
{
    Put("a.tga", 24, 2, 2, Bytes(12, 7));
    Put("b.tga", 24, 1, 1, {1, 2, 3});
    Texture* a = Texture::Load("a.tga", 0);
    Texture* b = Texture::Load("b.tga", 0);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->Upload());
    ASSERT_TRUE(b->Upload());
    EXPECT_EQ(a->glName, 1u);
    EXPECT_EQ(b->glName, 2u);
    EXPECT_TRUE(a->uploaded);
    const std::vector<std::string> expected = {
        "glIsTexture(1)",
        "glBindTexture(0xDE1, 1)",
        "glTexParameteri(0xDE1, 0x2802, 10497)",
        "glTexParameteri(0xDE1, 0x2803, 10497)",
        "glTexParameteri(0xDE1, 0x2800, 9729)",
        "glTexParameteri(0xDE1, 0x2801, 9987)",
        "glTexEnvf(0x2300, 0x2200, 8448)",
    };
    const std::vector<std::string>& calls = platform::FakeGLCalls();
    ASSERT_GE(calls.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 7), expected);
    EXPECT_EQ(calls[7].rfind("gluBuild2DMipmaps(0xDE1, ", 0), 0u) << calls[7];

    const std::size_t before = calls.size();
    EXPECT_TRUE(a->Upload());
    EXPECT_EQ(platform::FakeGLCalls().size(), before) << "a second upload does nothing";

    Texture::Load("A.TGA", 0);
    Texture::Release(1);
    EXPECT_EQ(a->references, 1u);
    EXPECT_EQ(platform::FakeGLTextures().count(1), 1u);
    Texture::Release(1);
    EXPECT_EQ(platform::FakeGLTextures().count(1), 0u);
    EXPECT_EQ(platform::FakeGLCalls().back(), "glDeleteTextures(1, ptr)");
    EXPECT_EQ(Texture::First(), b);
    Texture::Release(1);
    EXPECT_EQ(Texture::First(), b) << "an unknown handle releases nothing";
}

TEST_F(TextureTest, MaterialsReleaseTheirMapsButNotTheBumpMap)
{
    Put("m.tga", 24, 1, 1, {1, 2, 3});
    Texture* shared = Texture::Load("m.tga", 0);
    Texture* bump = Texture::Load("m.tga", 1);
    {
        Material material;
        material.colourMap = Texture::Load("m.tga", 0);
        material.bumpMap = bump;
        EXPECT_EQ(shared->references, 2u);
    }
    EXPECT_EQ(shared->references, 1u);
    EXPECT_EQ(bump->references, 1u);
}

TEST(MaterialTest, DefaultsAndMapMasks)
{
    Error::Reset();
    Material material;
    EXPECT_EQ(material.flags, 0u);
    EXPECT_EQ(material.colour[0], 1.0f);
    EXPECT_EQ(material.fourth, 1.0f);
    EXPECT_EQ(material.further[1], 0.0f);
    material.mapWidth = 256;
    material.mapHeight = 64;
    ASSERT_TRUE(material.SetupMap());
    EXPECT_EQ(material.widthShift, 8u);
    EXPECT_EQ(material.uMask, 0xFF00u);
    EXPECT_EQ(material.vMask, 0x3F00u);

    material.mapWidth = 96;
    EXPECT_FALSE(material.SetupMap());
    EXPECT_STREQ(Error::Text(), "Material::SetupMap: Map doesn't have 2^n width.\n");
    Error::Reset();
    material.mapWidth = 1;
    material.mapHeight = 0;
    EXPECT_FALSE(material.SetupMap()) << "a side of 0 is no map";
    EXPECT_STREQ(Error::Text(), "Material::SetupMap: Map doesn't have 2^n heigth.\n");
}

}  // namespace
