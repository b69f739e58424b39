// Texture uploads into a real OpenGL context: SDL's offscreen driver with
// Mesa's libGL.so.1, loaded at run time as the demo loads it.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/opengllib.h"
#include "image/texture.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/tgawriter.h"

namespace {

void PutPicture(const char* name, std::uint16_t side)
{
    TgaPicture picture;
    picture.width = side;
    picture.height = side;
    picture.pixels.assign(std::size_t{side} * side * 3, 0x80);
    ASSERT_TRUE(WriteBytesFile(name, TgaEncode(picture)));
}

TEST(TextureInRealContext, AFreshContextNamesTheFirstTwoTexturesOneAndTwo)
{
    test_support::ScratchDirectory scratch;
    Error::Reset();
    gAquarium.width = 64;
    gAquarium.height = 64;
    gAquarium.fullScreen = 0;
    ASSERT_TRUE(gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST,
                                     platform::Os().ProgramInstance()))
        << Error::Text();
    PutPicture("one.tga", 8);
    PutPicture("two.tga", 4);
    Texture* one = Texture::Load("one.tga", Texture::USE_COLOUR_MAP);
    Texture* two = Texture::Load("two.tga", Texture::USE_COLOUR_MAP);
    ASSERT_TRUE(one && two) << Error::Text();
    ASSERT_TRUE(one->Upload());
    ASSERT_TRUE(two->Upload());
    EXPECT_EQ(one->glName, 1u);
    EXPECT_EQ(two->glName, 2u);
    EXPECT_TRUE(OpenGLLib::glIsTexture(1));
    EXPECT_TRUE(OpenGLLib::glIsTexture(2));
    EXPECT_EQ(OpenGLLib::glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    Texture::Release(1);
    EXPECT_FALSE(OpenGLLib::glIsTexture(1)) << "the last reference deletes the GL texture";
    Texture::Release(2);
    EXPECT_EQ(Texture::First(), nullptr);
    EXPECT_STREQ(Error::Text(), "");
    Aquarium::GLShutdown();
}

}  // namespace
